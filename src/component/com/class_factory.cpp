#include "component/com/class_factory.h"

#include <new>

#include "component/com/account_manager_object.h"
#include "component/com/component_services.h"
#include "component/com/module_state.h"

namespace orv::com {

ClassFactory::ClassFactory() { objectCreated(); }
ClassFactory::~ClassFactory() { objectDestroyed(); }

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() { return ++references_; }

ULONG ClassFactory::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  AccountManagerObject* created = nullptr;
  try {
    created = new AccountManagerObject(componentServices());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  const HRESULT hr = created->QueryInterface(iid, object);
  created->Release();  // the caller's reference, if any, keeps it alive
  return hr;
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  lockServer(lock != FALSE);
  return S_OK;
}

}  // namespace orv::com
