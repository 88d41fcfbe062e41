// The four entry points of the in-process server (exported by name through OrvAcctMan.def).
// No DllMain of its own: the runtime's serves, and the module finds itself by address.
#include <windows.h>

#include <new>

#include "com/class_factory.h"
#include "com/module_state.h"
#include "com/registration.h"
#include "orvacctman_idl.h"

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_clsOrvAcctMan)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) orv::com::ClassFactory();
  if (factory == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(iid, object);
  factory->Release();
  return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return orv::com::moduleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return orv::com::registerServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return orv::com::unregisterServer(); }
