# Installed documents and the Debian package (built by scripts/package.sh with cpack).
set(KESTREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kestrel)
set(KESTREL_MAINTAINER "Kestrel developers <maintainers@kestrel-sdof.example.org>")

# Debian keeps the licence in a machine-readable copyright file and the history in a
# compressed changelog, both beside the README. The package's version has no Debian
# revision (the package is built from this tree), so the changelog is changelog.gz.
execute_process(COMMAND date -u -R -d "${KESTREL_RELEASE_DATE}"
                OUTPUT_VARIABLE KESTREL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set(KESTREL_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${KESTREL_CHANGELOG} @ONLY)
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${KESTREL_CHANGELOG}.gz
                   COMMAND ${GZIP} -9nf -k ${KESTREL_CHANGELOG}
                   DEPENDS ${KESTREL_CHANGELOG}
                   VERBATIM)
add_custom_target(kestrel_changelog ALL DEPENDS ${KESTREL_CHANGELOG}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/copyright
              ${KESTREL_CHANGELOG}.gz
        DESTINATION ${KESTREL_DOC_DIR})
# lintian's hint about fortified functions cannot see the compile flags (see the file).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kestrel)

# The installed programs carry no .comment section: it holds only the version strings of
# the compiler that built them and the C library's start files, and Debian's programs
# leave it out. The install rules of the programs (src/app) run before this one.
set(KESTREL_INSTALLED_PROGRAMS)
foreach(program kestrel kestrel-batch)
    if(TARGET ${program})
        list(APPEND KESTREL_INSTALLED_PROGRAMS ${program})
    endif()
endforeach()
install(CODE "
    foreach(program ${KESTREL_INSTALLED_PROGRAMS})
        set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${file}\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR "Kestrel developers")
set(CPACK_PACKAGE_CONTACT "${KESTREL_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "structural dynamics teaching program (linear acceleration method)")
# Debian shows the long description as it is written: lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Kestrel teaches structural dynamics with a one-storey building. The student"
    "types the building's stiffness, mass and damping and picks an excitation: an"
    "initial displacement or velocity, a steady sine of ground acceleration or"
    "displacement, or a recorded earthquake (K-NET, KiK-net, JMA and PEER files are"
    "read as downloaded). The program computes the response by the linear"
    "acceleration method, plays it back as an animation beside four time-history"
    "graphs, and saves the results as Shift_JIS CSV files."
    "The screen text is Japanese.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KESTREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KESTREL_HOMEPAGE})
# Beyond the libraries dpkg-shlibdeps finds: Qt's platform plugins load at run time, the
# windows are drawn with a Japanese font, and Qt's own dialogs and buttons take their
# Japanese texts from Qt's translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
