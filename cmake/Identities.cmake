# The component's identifiers, each written here and nowhere else in the sources. The IDL, the
# resource script's interface list, the interface list of the server and the side-by-side
# manifest are made from them (orvacct_identity_texts below and configure_file); README.txt
# names the class from here too. Stored clients depend on every one of them.
set(ORVACCT_LIBRARY_ID 2B7521CF-AD3F-4FED-9777-1FBBD4994E23)  # OrvAcctMan
set(ORVACCT_LIBRARY_VERSION 4.6)
set(ORVACCT_CLASS_ID 85391336-700C-4414-9D10-8DB84C045EAA)    # clsOrvAcctMan, of the interface's version
set(ORVACCT_HKEYHIVE_ID 44398D50-87AD-45D2-A483-EEA1EFFD0211) # HKeyHive 1.0
# _clsOrvAcctMan under its earlier identifiers, versions 1.0 to 1.5, then its current one, 1.6.
# An interface once published never changes: a new method is a new version, whose identifier is
# appended here (the one before it becomes an earlier identifier), with the library's version
# raised above. The versions of the interface and the class follow from the list.
set(ORVACCT_INTERFACE_IDS
    1AFEC0CF-D954-4F97-9E52-3B76377ADFAB
    83168BB1-11E2-4FD9-AF8B-3147CA2D42E2
    B7C07C26-ADBF-4E5E-84E4-DD55F1A71361
    3DA81B64-4F54-47D3-9861-19BB365498ED
    A80962FA-5A56-4A9D-9091-8EC893E4E78D
    F4CFC0A3-528F-4533-8C4C-12ACB305B966
    3D795EF2-BBF3-40FE-8990-BE402A115AD7)
list(GET ORVACCT_INTERFACE_IDS -1 ORVACCT_INTERFACE_ID)
list(LENGTH ORVACCT_INTERFACE_IDS ORVACCT_INTERFACE_ID_COUNT)
math(EXPR ORVACCT_INTERFACE_MINOR "${ORVACCT_INTERFACE_ID_COUNT} - 1")
set(ORVACCT_INTERFACE_VERSION 1.${ORVACCT_INTERFACE_MINOR})

# orvacct_identity_texts(): the interface list in the forms the generated files take, as
# variables for configure_file:
#   ORVACCT_INTERFACE_ID_INITIALIZERS  C++ GUID initializers, one a line
#   ORVACCT_INTERFACE_ID_RESOURCE      the RCDATA words: Data1 as a long, Data2, Data3, then Data4
#                                      as little-endian 16-bit words (the resource's binary form)
#   ORVACCT_INTERFACE_ALIASES          the IDL's hidden aliases of the earlier identifiers
#   ORVACCT_INTERFACE_PROXY_STUBS      the manifest's proxy-stub entries, current identifier first
#   ORVACCT_INTERFACE_ID_WORDS         the identifiers separated by spaces (a shell's list)
#   ORVACCT_TYPELIB_ALIASES            the aliases as the type library's dump shows them
#   ORVACCT_TYPELIB_TYPES              the count of its types: the enum, the interface, the class
#                                      and an alias for each earlier identifier
function(orvacct_identity_texts)
  set(dump_aliases "")
  set(initializers "")
  set(resource "")
  set(aliases "")
  set(stubs "")
  list(LENGTH ORVACCT_INTERFACE_IDS count)
  math(EXPR last "${count} - 1")
  foreach(index RANGE ${last})
    list(GET ORVACCT_INTERFACE_IDS ${index} id)
    string(SUBSTRING ${id} 0 8 data1)
    string(SUBSTRING ${id} 9 4 data2)
    string(SUBSTRING ${id} 14 4 data3)
    string(SUBSTRING ${id} 19 4 data4a)
    string(SUBSTRING ${id} 24 12 data4b)
    set(bytes "")
    set(words "")
    foreach(at 0 2 4 6 8 10 12 14)
      string(SUBSTRING "${data4a}${data4b}" ${at} 2 byte)
      list(APPEND bytes "0x${byte}")
    endforeach()
    foreach(pair 0 2 4 6)
      math(EXPR high "${pair} + 1")
      list(GET bytes ${pair} low_byte)
      list(GET bytes ${high} high_byte)
      string(REPLACE "0x" "" high_digits ${high_byte})
      string(REPLACE "0x" "" low_digits ${low_byte})
      list(APPEND words "0x${high_digits}${low_digits}")
    endforeach()
    list(JOIN bytes ", " byte_text)
    list(JOIN words ", " word_text)
    string(APPEND initializers "    {0x${data1}, 0x${data2}, 0x${data3}, {${byte_text}}},\n")
    set(separator ",")
    if(index EQUAL last)
      set(separator "")
    endif()
    string(APPEND resource "  0x${data1}L, 0x${data2}, 0x${data3}, ${word_text}${separator}\n")
    set(stub "  <comInterfaceExternalProxyStub name=\"_clsOrvAcctMan\" iid=\"{${id}}\"\n")
    string(APPEND stub "      proxyStubClsid32=\"{00020424-0000-0000-C000-000000000046}\" tlbid=\"{${ORVACCT_LIBRARY_ID}}\"\n")
    string(APPEND stub "      baseInterface=\"{00020400-0000-0000-C000-000000000046}\"/>\n")
    if(index EQUAL last)
      set(stubs "${stub}${stubs}")
    else()
      string(APPEND stubs "${stub}")
      string(APPEND aliases "  typedef [uuid(${id}), version(1.${index}), hidden, public] _clsOrvAcctMan clsOrvAcctMan___v${index};\n")
      string(APPEND dump_aliases "  alias clsOrvAcctMan___v${index} {${id}} version 1.${index} flags 0x10 funcs 0 vars 0 impltypes 0 vtable 0\n")
      string(APPEND dump_aliases "    alias of OrvAcctMan._clsOrvAcctMan\n")
    endif()
  endforeach()
  set(ORVACCT_INTERFACE_ID_INITIALIZERS "${initializers}" PARENT_SCOPE)
  set(ORVACCT_INTERFACE_ID_RESOURCE "${resource}" PARENT_SCOPE)
  set(ORVACCT_INTERFACE_ALIASES "${aliases}" PARENT_SCOPE)
  set(ORVACCT_INTERFACE_PROXY_STUBS "${stubs}" PARENT_SCOPE)
  list(JOIN ORVACCT_INTERFACE_IDS " " words)
  set(ORVACCT_INTERFACE_ID_WORDS "${words}" PARENT_SCOPE)
  string(REGEX REPLACE "\n$" "" dump_aliases "${dump_aliases}")  # the template ends the line
  set(ORVACCT_TYPELIB_ALIASES "${dump_aliases}" PARENT_SCOPE)
  math(EXPR types "${count} + 2")
  set(ORVACCT_TYPELIB_TYPES ${types} PARENT_SCOPE)
endfunction()

# The Windows Installer packages' identities (packaging/windows/msi). Each bitness's package keeps
# its UpgradeCode in every release, so that a newer package replaces an older one; its components'
# identifiers are made from it (orvacct_msi_component_id), and the one component both packages
# share from the library's identifier, so that it is the same in both.
set(ORVACCT_PUBLISHER "Orv Software")
set(ORVACCT_MSI_UPGRADE_CODE_X86 1889ADDE-7D21-4FD9-9561-08513182A72D)
set(ORVACCT_MSI_UPGRADE_CODE_X64 8AD0890C-9429-4F08-82FC-33AC8EF06ED0)

# orvacct_msi_component_id(out namespace name): a component's identifier, the same every time for
# the same namespace and name (a name-based UUID).
function(orvacct_msi_component_id out namespace name)
  string(UUID id NAMESPACE ${namespace} NAME "${name}" TYPE SHA1 UPPER)
  set(${out} ${id} PARENT_SCOPE)
endfunction()
