// The five entry points of the in-process server (exported by name through OrvAcctMan.def), and
// the DLL's own DllMain. The module finds itself by address.
#include <windows.h>

#include "about/about_box.h"
#include "com/class_factory.h"
#include "com/com_call.h"
#include "com/module_state.h"
#include "com/registration.h"
#include "orvacctman_idl.h"

// A client thread may end with its About box open. The system then takes the window without a
// message to it, and the box's form, artwork, hook and open-box count would stay behind for
// good, so the DLL could never unload: the box is unloaded while its thread is still here.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_THREAD_DETACH) orv::about::unloadThisThreadsBox();
  return TRUE;
}

using orv::com::comEntry;

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_clsOrvAcctMan)) return CLASS_E_CLASSNOTAVAILABLE;
  return comEntry([&] {
    auto* factory = new orv::com::ClassFactory();
    const HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
  });
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return comEntry([] { return orv::com::moduleInUse() ? S_FALSE : S_OK; });
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return comEntry([] { return orv::com::registerServer(); });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return comEntry([] { return orv::com::unregisterServer(); });
}

// regsvr32 /n /i:user registers for the current user alone and /u /n /i:user removes that;
// "machine" (or no text) does what DllRegisterServer and DllUnregisterServer do.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, PCWSTR commandLine) {
  return comEntry([&] {
    const auto scope = orv::com::installScope(commandLine);
    if (!scope) return E_INVALIDARG;
    return install ? orv::com::registerServer(*scope) : orv::com::unregisterServer(*scope);
  });
}
