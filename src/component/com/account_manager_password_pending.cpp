// EnCrypt_Pwd and DeCrypt_Pwd are wired when the cipher lands; until then they keep their
// vtable and DISPID places, change nothing and return empty text.
#include "component/com/account_manager_object.h"
#include "component/com/com_call.h"

namespace orv::com {

HRESULT AccountManagerObject::DeCrypt_Pwd(BSTR*, BSTR*, BSTR* result) {
  clearOut(result);
  return S_OK;
}

HRESULT AccountManagerObject::EnCrypt_Pwd(BSTR*, BSTR*, BSTR* result) {
  clearOut(result);
  return S_OK;
}

}  // namespace orv::com
