# Runs lupdate on a copy of the English catalogue: every text of the windows' code must be
# in it and translated (no "unfinished" entry), and it must hold no text the code no longer
# has (no "vanished" or "obsolete" entry).
# cmake -DLUPDATE=... -DSOURCES=<src> -DCATALOGUE=<.ts> -DWORK=<folder> -P CheckTranslations.cmake
file(MAKE_DIRECTORY ${WORK})
configure_file(${CATALOGUE} ${WORK}/kestrel_en.ts COPYONLY)
execute_process(COMMAND ${LUPDATE} -locations none -I ${SOURCES} ${SOURCES}/ui
                        -ts ${WORK}/kestrel_en.ts
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lupdate failed:\n${output}")
endif()
file(READ ${WORK}/kestrel_en.ts updated)
string(REGEX MATCHALL "<source>[^<]*</source>[ \n\r\t]*<translation type=\"(unfinished|vanished|obsolete)\""
       stale "${updated}")
if(stale)
    list(JOIN stale "\n" shown)
    message(FATAL_ERROR "translations/kestrel_en.ts is not up to date with the code "
                        "(run the target update_translations and translate):\n${shown}")
endif()
