#include "com/account_manager_object.h"

#include <utility>

#include "com/com_call.h"
#include "com/interface_ids.h"

namespace orv::com {

AccountManagerObject::AccountManagerObject(Services services) : core_(std::move(services)) {}

bool AccountManagerObject::answersTo(REFIID iid) const { return IsEqualIID(iid, IID_IDispatch) || isInterfaceId(iid); }

HRESULT AccountManagerObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT AccountManagerObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return comEntry([&] { return dispatch_.dispatchTypeInfo(info); });
}

HRESULT AccountManagerObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return comEntry([&] { return dispatch_.idsOfNames(names, count, ids); });
}

HRESULT AccountManagerObject::Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argumentError) {
  return comEntry([&] {
    return dispatch_.invoke(static_cast<_clsOrvAcctMan*>(this), id, locale, flags, params, result, argumentError);
  });
}

}  // namespace orv::com
