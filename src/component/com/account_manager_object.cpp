#include "component/com/account_manager_object.h"

#include <utility>

#include "component/com/interface_ids.h"
#include "component/com/module_state.h"

namespace orv::com {

AccountManagerObject::AccountManagerObject(Services services) : core_(std::move(services)) { objectCreated(); }

// The portable class's destructor runs Close_Session and swallows whatever escapes it.
AccountManagerObject::~AccountManagerObject() { objectDestroyed(); }

HRESULT AccountManagerObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || isInterfaceId(iid)) {
    *object = static_cast<_clsOrvAcctMan*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG AccountManagerObject::AddRef() { return ++references_; }

ULONG AccountManagerObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT AccountManagerObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT AccountManagerObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return dispatch_.dispatchTypeInfo(info);
}

HRESULT AccountManagerObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return dispatch_.idsOfNames(names, count, ids);
}

HRESULT AccountManagerObject::Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argumentError) {
  return dispatch_.invoke(static_cast<_clsOrvAcctMan*>(this), id, locale, flags, params, result, argumentError);
}

}  // namespace orv::com
