// The nine Reg_ methods of _clsOrvAcctMan: the root travels as its 32-bit value, unchecked.
#include "com/account_manager_object.h"
#include "com/bstr.h"
#include "com/com_call.h"
#include "com/out_values.h"

namespace orv::com {
namespace {

orv::HKeyHive rootOf(const ::HKeyHive* hKey) {
  return hKey == nullptr ? orv::HKeyHive{} : static_cast<orv::HKeyHive>(static_cast<std::int32_t>(*hKey));
}

}  // namespace

HRESULT AccountManagerObject::Reg_DeleteValue(::HKeyHive* hKey, BSTR strPath, BSTR strValue) {
  return comCall([&] { core_.Reg_DeleteValue(rootOf(hKey), fromBstr(strPath), fromBstr(strValue)); });
}

HRESULT AccountManagerObject::Reg_DeleteKey(::HKeyHive* hKey, BSTR strPath) {
  return comCall([&] { core_.Reg_DeleteKey(rootOf(hKey), fromBstr(strPath)); });
}

HRESULT AccountManagerObject::Reg_CreateKey(::HKeyHive* hKey, BSTR* strPath) {
  return comCall([&] { core_.Reg_CreateKey(rootOf(hKey), fromBstrRef(strPath)); });
}

HRESULT AccountManagerObject::Reg_GetSettingString(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, BSTR* Default,
                                                   BSTR* result) {
  clearOut(result);
  return comCall([&] {
    setResult(result, core_.Reg_GetSettingString(rootOf(hKey), fromBstrRef(strPath), fromBstrRef(strValue),
                                                 fromBstrRef(Default)));
  });
}

HRESULT AccountManagerObject::Reg_SaveSettingString(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, BSTR* strData) {
  return comCall([&] {
    core_.Reg_SaveSettingString(rootOf(hKey), fromBstrRef(strPath), fromBstrRef(strValue), fromBstrRef(strData));
  });
}

HRESULT AccountManagerObject::Reg_GetSettingDWord(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, LONG* Default,
                                                  LONG* result) {
  clearOut(result);
  return comCall([&] {
    setResult(result,
              core_.Reg_GetSettingDWord(rootOf(hKey), fromBstrRef(strPath), fromBstrRef(strValue), valueOf(Default)));
  });
}

HRESULT AccountManagerObject::Reg_SaveSettingDWord(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, LONG* lngData) {
  return comCall([&] {
    core_.Reg_SaveSettingDWord(rootOf(hKey), fromBstrRef(strPath), fromBstrRef(strValue), valueOf(lngData));
  });
}

HRESULT AccountManagerObject::Reg_GetSettingBinary(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, BSTR* result) {
  clearOut(result);
  return comCall([&] {
    setResult(result, core_.Reg_GetSettingBinary(rootOf(hKey), fromBstrRef(strPath), fromBstrRef(strValue)));
  });
}

HRESULT AccountManagerObject::Reg_SaveSettingBinary(::HKeyHive* hKey, BSTR* strPath, BSTR* strValue, BSTR* strData) {
  return comCall([&] {
    core_.Reg_SaveSettingBinary(rootOf(hKey), fromBstrRef(strPath), fromBstrRef(strValue), fromBstrRef(strData));
  });
}

}  // namespace orv::com
