#include "com/class_factory.h"

#include "com/account_manager_object.h"
#include "com/com_call.h"
#include "com/component_services.h"
#include "com/module_state.h"

namespace orv::com {

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return comEntry([&] {
    auto* created = new AccountManagerObject(componentServices());
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();  // the caller's reference, if any, keeps it alive
    return hr;
  });
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  return comEntry([&] {
    lockServer(lock != FALSE);
    return S_OK;
  });
}

}  // namespace orv::com
