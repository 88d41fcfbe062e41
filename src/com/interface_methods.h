#pragma once
// The methods of _clsOrvAcctMan in vtable order, each once: its name, DISPID, the arguments a
// caller passes (the [out, retval] result not counted) and the vtable entry's parameters. The
// object declares its entries from this list and the Wine suites walk the interface by it; the
// IDL gives the same methods their attributes, and the type library's dump holds the two together.
// Clients are compiled against the order and the DISPIDs: a method is only ever appended.
#define ORVACCT_INTERFACE_METHODS(METHOD)                                                                           \
  METHOD(DeCrypt_Pwd, 0x6003000A, 2, (BSTR * sPwd, BSTR * sKey, BSTR * result))                                   \
  METHOD(EnCrypt_Pwd, 0x6003000B, 2, (BSTR * sPwd, BSTR * sKey, BSTR * result))                                   \
  METHOD(CreateGUID, 0x6003000C, 0, (BSTR * result))                                                              \
  METHOD(Reg_DeleteValue, 0x6003000F, 3, (::HKeyHive * hKey, BSTR strPath, BSTR strValue))                        \
  METHOD(Reg_DeleteKey, 0x60030010, 2, (::HKeyHive * hKey, BSTR strPath))                                         \
  METHOD(Reg_CreateKey, 0x60030011, 2, (::HKeyHive * hKey, BSTR * strPath))                                       \
  METHOD(Reg_GetSettingString, 0x60030012, 4,                                                                     \
         (::HKeyHive * hKey, BSTR * strPath, BSTR * strValue, BSTR * Default, BSTR * result))                     \
  METHOD(Reg_SaveSettingString, 0x60030013, 4, (::HKeyHive * hKey, BSTR * strPath, BSTR * strValue, BSTR * strData)) \
  METHOD(DeTick, 0x60030014, 1, (BSTR * sTicked, BSTR * result))                                                  \
  METHOD(LogErrors, 0x60030015, 9,                                                                                \
         (BSTR * sAppPath, BSTR * sAppExeName, LONG * lngErrNumber, BSTR * strErrDescription, BSTR * strErrModule, \
          BSTR * strErrProcedure, BSTR * sMajor, BSTR * sMinor, BSTR * sRevision))                                \
  METHOD(PurgeLogs, 0x60030016, 2, (BSTR * sAppPath, BSTR * sAppExeName))                                         \
  METHOD(Create_Session, 0x60030019, 0, (VARIANT_BOOL * result))                                                  \
  METHOD(Close_Session, 0x6003001A, 0, ())                                                                        \
  METHOD(ShowAbout, 0x6003001B, 2, (BSTR * sAppName, BSTR * sVer))                                                \
  METHOD(Reg_GetSettingDWord, 0x6003001C, 4,                                                                      \
         (::HKeyHive * hKey, BSTR * strPath, BSTR * strValue, LONG * Default, LONG * result))                     \
  METHOD(Reg_SaveSettingDWord, 0x6003001D, 4, (::HKeyHive * hKey, BSTR * strPath, BSTR * strValue, LONG * lngData)) \
  METHOD(Reg_GetSettingBinary, 0x6003001E, 3, (::HKeyHive * hKey, BSTR * strPath, BSTR * strValue, BSTR * result)) \
  METHOD(Reg_SaveSettingBinary, 0x6003001F, 4, (::HKeyHive * hKey, BSTR * strPath, BSTR * strValue, BSTR * strData)) \
  METHOD(CheckState, 0x60030020, 0, (VARIANT_BOOL * result))
