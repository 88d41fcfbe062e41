# The keys that register the component, written once here: DllRegisterServer writes them
# (src/com/registration_rows.h.in) and the Windows Installer packages carry them as their own
# registry rows (packaging/windows/msi), so that the installer can repair and remove every one.
#
# A row is SCOPE|KEY|NAME|VALUE, KEY below the classes root with / between its parts, NAME empty
# for the key's default value. A VALUE of [DLL] stands for the DLL's full path, [FOLDER] for its
# folder with the closing backslash (as Windows Installer writes a folder). SCOPE says who owns the row on 64-bit Windows:
#   own     each bitness its own: the class and interface keys (Windows keeps a 32-bit view of
#           them apart) and the type library's entry that names the bitness (win32 or win64);
#   shared  one for both bitnesses: the ProgID and the type library's version key with its FLAGS
#           and HELPDIR, which stay while either DLL is registered.
# The type library's rows are what RegisterTypeLib writes for it: its name (it has no
# documentation string), FLAGS = its library flags (LIBFLAG_FHASDISKIMAGE, which widl sets) and
# the folder as HELPDIR (RegisterTypeLib writes it without the closing backslash).

# orvacct_registration_rows(platform): platform is win32 or win64. Sets ORVACCT_REGISTRATION_ROWS
# (a list of rows as above) and, for configure_file, ORVACCT_REGISTRATION_ROWS_CXX (initializers
# of RegistrationRow, one a line) and ORVACCT_REGISTRATION_ROWS_WXS_OWN and _SHARED (wixl's
# RegistryValue elements, [DLL] as the DLL's file and [FOLDER] as INSTALLDIR).
function(orvacct_registration_rows platform)
  set(class "CLSID/{${ORVACCT_CLASS_ID}}")
  set(library_id "{${ORVACCT_LIBRARY_ID}}")
  set(library "TypeLib/${library_id}/${ORVACCT_LIBRARY_VERSION}")
  set(progid OrvAcctMan.clsOrvAcctMan)
  # The automation marshaler, which serves every dual interface from its type library.
  set(automation_proxy "{00020424-0000-0000-C000-000000000046}")
  set(rows
      "own|${class}||${progid}"
      "own|${class}/InprocServer32||[DLL]"
      "own|${class}/InprocServer32|ThreadingModel|Apartment"
      "own|${class}/ProgID||${progid}"
      "own|${class}/TypeLib||${library_id}"
      "own|${class}/VERSION||${ORVACCT_LIBRARY_VERSION}"
      "shared|${progid}||${progid}"
      "shared|${progid}/CLSID||{${ORVACCT_CLASS_ID}}"
      "shared|${library}||OrvAcctMan"
      "shared|${library}/FLAGS||8"
      "shared|${library}/HELPDIR||[FOLDER]"
      "own|${library}/409/${platform}||[DLL]")
  foreach(id IN LISTS ORVACCT_INTERFACE_IDS)
    list(APPEND rows
         "own|Interface/{${id}}||_clsOrvAcctMan"
         "own|Interface/{${id}}/ProxyStubClsid||${automation_proxy}"
         "own|Interface/{${id}}/ProxyStubClsid32||${automation_proxy}"
         "own|Interface/{${id}}/TypeLib||${library_id}"
         "own|Interface/{${id}}/TypeLib|Version|${ORVACCT_LIBRARY_VERSION}")
  endforeach()

  set(cxx "")
  set(wxs_own "")
  set(wxs_shared "")
  foreach(row IN LISTS rows)
    string(REGEX MATCH "^([^|]*)[|]([^|]*)[|]([^|]*)[|](.*)$" fields "${row}")
    set(scope "${CMAKE_MATCH_1}")
    set(key "${CMAKE_MATCH_2}")
    set(name "${CMAKE_MATCH_3}")
    set(value "${CMAKE_MATCH_4}")
    string(REPLACE "/" "\\\\" cxx_key "${key}")
    string(REPLACE "/" "\\" msi_key "${key}")
    string(APPEND cxx "    {L\"${cxx_key}\", L\"${name}\", L\"${value}\"},\n")
    string(REPLACE "[DLL]" "[#OrvAcctMan.dll]" msi_value "${value}")
    string(REPLACE "[FOLDER]" "[INSTALLDIR]" msi_value "${msi_value}")
    set(element "            <RegistryValue Root=\"HKCR\" Key=\"${msi_key}\"")
    if(NOT name STREQUAL "")
      string(APPEND element " Name=\"${name}\"")
    endif()
    string(APPEND element " Value=\"${msi_value}\" Type=\"string\"")
    # A component made of registry rows alone is there when its first row is.
    if(scope STREQUAL "shared" AND wxs_shared STREQUAL "")
      string(APPEND element " KeyPath=\"yes\"")
    endif()
    string(APPEND element "/>\n")
    if(scope STREQUAL "shared")
      string(APPEND wxs_shared "${element}")
    else()
      string(APPEND wxs_own "${element}")
    endif()
  endforeach()
  set(ORVACCT_REGISTRATION_ROWS "${rows}" PARENT_SCOPE)
  set(ORVACCT_REGISTRATION_ROWS_CXX "${cxx}" PARENT_SCOPE)
  set(ORVACCT_REGISTRATION_ROWS_WXS_OWN "${wxs_own}" PARENT_SCOPE)
  set(ORVACCT_REGISTRATION_ROWS_WXS_SHARED "${wxs_shared}" PARENT_SCOPE)
endfunction()
