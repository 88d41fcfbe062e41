// The Reg_ methods are wired when the registry lands; until then they keep their vtable and
// DISPID places, change nothing and return empty results.
#include "component/com/account_manager_object.h"
#include "component/com/com_call.h"

namespace orv::com {

HRESULT AccountManagerObject::Reg_DeleteValue(::HKeyHive*, BSTR, BSTR) { return S_OK; }

HRESULT AccountManagerObject::Reg_DeleteKey(::HKeyHive*, BSTR) { return S_OK; }

HRESULT AccountManagerObject::Reg_CreateKey(::HKeyHive*, BSTR*) { return S_OK; }

HRESULT AccountManagerObject::Reg_GetSettingString(::HKeyHive*, BSTR*, BSTR*, BSTR*, BSTR* result) {
  clearOut(result);
  return S_OK;
}

HRESULT AccountManagerObject::Reg_SaveSettingString(::HKeyHive*, BSTR*, BSTR*, BSTR*) { return S_OK; }

HRESULT AccountManagerObject::Reg_GetSettingDWord(::HKeyHive*, BSTR*, BSTR*, LONG*, LONG* result) {
  clearOut(result);
  return S_OK;
}

HRESULT AccountManagerObject::Reg_SaveSettingDWord(::HKeyHive*, BSTR*, BSTR*, LONG*) { return S_OK; }

HRESULT AccountManagerObject::Reg_GetSettingBinary(::HKeyHive*, BSTR*, BSTR*, BSTR* result) {
  clearOut(result);
  return S_OK;
}

HRESULT AccountManagerObject::Reg_SaveSettingBinary(::HKeyHive*, BSTR*, BSTR*, BSTR*) { return S_OK; }

}  // namespace orv::com
