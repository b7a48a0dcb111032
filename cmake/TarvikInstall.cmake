# Installation and the Debian package.
#
#   bin/tarvik, bin/regsvr32                 the host and the registration tool
#   <libdir>/libtarvikftp.so                 the control library
#   libexec/tarvikftp/tarvinst               the setup program, beside what it installs:
#   libexec/tarvikftp/tarvikftp.ocx          -> the control library
#   libexec/tarvikftp/regsvr32               -> bin/regsvr32 (started by tarvinst)
#   bin/tarvinst                             -> libexec/tarvikftp/tarvinst
#
# The setup program looks for tarvikftp.ocx in the folder where its file really is, so users start
# it from bin/ through the link. Links are relative, so that the tree can be moved as a whole.
include(GNUInstallDirs)

# Installing (and packaging) takes what is built and builds nothing more: build the four targets
# above first. Otherwise cpack would build every test and benchmark before it packs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TARVIK_SETUP_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tarvikftp)

install(TARGETS tarvik regsvr32 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tarvikftp LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS tarvinst RUNTIME DESTINATION ${TARVIK_SETUP_DIR})

# tarvik_install_link(<folder> <name> <target path below the prefix>)
function(tarvik_install_link folder name target)
  set(staging ${PROJECT_BINARY_DIR}/install-links/${folder})
  file(MAKE_DIRECTORY ${staging})
  file(RELATIVE_PATH relative /${folder} /${target})
  file(CREATE_LINK ${relative} ${staging}/${name} SYMBOLIC)
  install(FILES ${staging}/${name} DESTINATION ${folder})
endfunction()

set(library_name ${CMAKE_SHARED_LIBRARY_PREFIX}tarvikftp${CMAKE_SHARED_LIBRARY_SUFFIX})
tarvik_install_link(${TARVIK_SETUP_DIR} tarvikftp.ocx ${CMAKE_INSTALL_LIBDIR}/${library_name})
tarvik_install_link(${TARVIK_SETUP_DIR} regsvr32 ${CMAKE_INSTALL_BINDIR}/regsvr32)
tarvik_install_link(${CMAKE_INSTALL_BINDIR} tarvinst ${TARVIK_SETUP_DIR}/tarvinst)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvik-ftp)
set(CPACK_PACKAGE_VENDOR "Tarvik FTP")
set(CPACK_PACKAGE_CONTACT "Tarvik FTP maintainers <maintainers@tarvik.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "FTP client control library with its command-line host and setup program")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_STRIP_FILES ON)
# The dependencies are read from the installed programs and library.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
