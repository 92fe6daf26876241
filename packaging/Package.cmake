# Installed documents and the Debian package (cpack -G DEB, see scripts/package.sh).
set(KESTREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kestrel)
