# What goes into a release (scripts/package.sh makes it):
# - native build: the orvacct tool as a Debian package through CPack, with its manual page, a
#   README for those who installed it and the change log;
# - Windows builds: the files of the Windows zip, installed as the component windows_zip, each
#   build its own DLL, manifest and orvacct.exe into x86/ or x64/, and the same common files
#   from either.

if(NOT CMAKE_CROSSCOMPILING AND ORVACCT_BUILD_TOOL)
  include(GNUInstallDirs)
  set(docs ${PROJECT_BINARY_DIR}/package_docs)
  # Debian keeps manual pages and change logs compressed. The README is written for someone who
  # installed the package (packaging/debian/README.in), not the repository's.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/README.in ${docs}/README @ONLY)
  add_custom_command(
    OUTPUT ${docs}/orvacct.1.gz ${docs}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${docs}
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/tools/orvacct/orvacct.1 -DOUT=${docs}/orvacct.1.gz
            -P ${CMAKE_CURRENT_LIST_DIR}/gzip_file.cmake
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DOUT=${docs}/changelog.gz
            -P ${CMAKE_CURRENT_LIST_DIR}/gzip_file.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/orvacct/orvacct.1 ${PROJECT_SOURCE_DIR}/CHANGELOG.md
            ${CMAKE_CURRENT_LIST_DIR}/gzip_file.cmake
    COMMENT "orvacct: manual page and change log for the package"
    VERBATIM)
  add_custom_target(orvacct_package_docs ALL DEPENDS ${docs}/orvacct.1.gz ${docs}/changelog.gz)

  install(TARGETS orvacct RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  install(FILES ${docs}/orvacct.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
  install(FILES ${docs}/README ${docs}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/orvacct COMPONENT tool)
  # lnav finds formats installed for all users under /etc/lnav/formats; it is a configuration file,
  # so a change made there survives an upgrade.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lnav/orvacct_log.json DESTINATION /etc/lnav/formats/orvacct
          COMPONENT tool)
  file(WRITE ${docs}/conffiles "/etc/lnav/formats/orvacct/orvacct_log.json\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${docs}/conffiles)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME orvacct)
  set(CPACK_PACKAGE_VERSION ${ORVACCT_VERSION})
  set(CPACK_PACKAGE_VENDOR "${ORVACCT_PUBLISHER}")
  set(ORVACCT_MAINTAINER "Orv Software <support@orvsoftware.com>" CACHE STRING "The .deb's Maintainer field")
  set(CPACK_PACKAGE_CONTACT "${ORVACCT_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVACCT_MAINTAINER}")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "OrvAcctMan logs, password cipher and helpers from the command line")
  # The first line of the Description field is the summary above; this is the rest.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "orvacct does on Linux what the OrvAcctMan COM component does for Windows\n"
      "client applications, with the same code: it writes and purges their error\n"
      "logs, encrypts and decrypts their passwords and files with the component's\n"
      "own cipher, makes identifiers and quotes SQL text, so that their stored data\n"
      "can be read and moved away from Windows.")
  string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # orvacct_<version>_<architecture>.deb; Depends from the libraries the binary links (dpkg-shlibdeps).
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_COMPONENTS_ALL tool)
  include(CPack)
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ORVACCT_ASSEMBLY_ARCHITECTURE amd64)
    set(folder x64)
    set(ORVACCT_MSI_PROGRAM_FILES ProgramFiles64Folder)
    set(ORVACCT_MSI_WIN64 yes)
    set(ORVACCT_MSI_CLIENTS 64-bit)
    set(ORVACCT_MSI_UPGRADE_CODE ${ORVACCT_MSI_UPGRADE_CODE_X64})
    orvacct_registration_rows(win64)
  else()
    set(ORVACCT_ASSEMBLY_ARCHITECTURE x86)
    set(folder x86)
    set(ORVACCT_MSI_PROGRAM_FILES ProgramFilesFolder)
    set(ORVACCT_MSI_WIN64 no)
    set(ORVACCT_MSI_CLIENTS 32-bit)
    set(ORVACCT_MSI_UPGRADE_CODE ${ORVACCT_MSI_UPGRADE_CODE_X86})
    orvacct_registration_rows(win32)
  endif()
  set(windows ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(zip ${PROJECT_BINARY_DIR}/windows_zip)
  # The manifest's identifiers. configure_file writes the template's line ends as CR LF, but a
  # value's own line breaks as they are.
  orvacct_identity_texts()
  string(REPLACE "\n" "\r\n" ORVACCT_INTERFACE_PROXY_STUBS "${ORVACCT_INTERFACE_PROXY_STUBS}")

  # Text files go out with Windows line ends: cmd.exe misreads labels in a file with bare LFs.
  # orvacct_windows_text(source destination): the source, with @VARIABLES@ filled in, as the
  # destination in the zip.
  function(orvacct_windows_text source destination)
    configure_file(${source} ${zip}/${destination} @ONLY NEWLINE_STYLE CRLF)
  endfunction()

  orvacct_windows_text(${windows}/OrvAcctMan.sxs.manifest.in ${folder}/OrvAcctMan.sxs.manifest)
  orvacct_windows_text(${windows}/README.txt.in README.txt)
  orvacct_windows_text(${windows}/register.cmd register.cmd)
  orvacct_windows_text(${windows}/unregister.cmd unregister.cmd)
  orvacct_windows_text(${windows}/samples/vbscript/OrvAcctManSample.vbs samples/vbscript/OrvAcctManSample.vbs)
  orvacct_windows_text(${windows}/samples/vba/OrvAcctManSample.bas samples/vba/OrvAcctManSample.bas)
  orvacct_windows_text(${windows}/samples/cpp/client.cpp samples/cpp/client.cpp)
  orvacct_windows_text(${windows}/samples/cpp/client.rc samples/cpp/client.rc)
  orvacct_windows_text(${windows}/samples/cpp/client.exe.manifest.in samples/cpp/client.exe.manifest)
  orvacct_windows_text(${PROJECT_SOURCE_DIR}/CHANGELOG.md CHANGELOG.txt)

  # The Windows Installer package of this bitness, made by build_msi.sh from the zip's files.
  set(ORVACCT_MSI_ARCH ${folder})
  foreach(part Server Tool Include VBScript VBA Cpp)
    string(TOUPPER ${part} name)
    orvacct_msi_component_id(ORVACCT_MSI_COMPONENT_${name} ${ORVACCT_MSI_UPGRADE_CODE} ${part})
  endforeach()
  orvacct_msi_component_id(ORVACCT_MSI_COMPONENT_SHARED ${ORVACCT_LIBRARY_ID} SharedRegistration)
  configure_file(${windows}/msi/OrvAcctMan.wxs.in ${PROJECT_BINARY_DIR}/msi/OrvAcctMan-${folder}.wxs @ONLY)

  install(TARGETS OrvAcctMan RUNTIME DESTINATION ${folder} COMPONENT windows_zip)
  # For lnav on the machine the logs are read on (lnav -i lnav/orvacct_log.json installs it).
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lnav/orvacct_log.json DESTINATION lnav COMPONENT windows_zip)
  if(TARGET orvacct)
    install(TARGETS orvacct RUNTIME DESTINATION ${folder} COMPONENT windows_zip)
  endif()
  install(DIRECTORY ${zip}/ DESTINATION . COMPONENT windows_zip)
  # The interface for C and C++ clients, as widl made it from the IDL, under MIDL's usual names.
  get_target_property(interface_folder orvacctman_idl INTERFACE_INCLUDE_DIRECTORIES)
  install(FILES ${interface_folder}/orvacctman_idl.h DESTINATION include RENAME OrvAcctMan.h COMPONENT windows_zip)
  install(FILES ${interface_folder}/orvacctman_idl_i.c DESTINATION include RENAME OrvAcctMan_i.c
          COMPONENT windows_zip)
endif()
