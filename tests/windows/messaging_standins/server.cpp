// The stand-in DLL's COM entry points: one class factory per class, registration of the three
// class identifiers under HKLM (Wine's lookups ignore HKCU classes), and the count of live
// objects for the tests.
#include <olectl.h>

#include <string>

#include "standins.h"

namespace orv::standins {
namespace {

HMODULE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&thisModule), &module);
  return module;
}

std::atomic<long> serverLocks{0};

struct StandInClass {
  const CLSID* id;
  const Kind* kind;
  const wchar_t* description;
};

const StandInClass kClasses[] = {
    {&kApplicationClass, &kApplication, L"Outlook Application stand-in (tests)"},
    {&kSessionClass, &kSession, L"CDO Session stand-in (tests)"},
    {&kCurrentUserClass, &kCurrentUser, L"Current-user stand-in (tests)"},
};

// Static: not counted among the live objects.
class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const StandInClass& standIn) : class_(standIn) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    const std::string point = class_.kind->name + ".create";
    if (currentSteering().fails(point)) return failWithResult(point);
    return create(*class_.kind, iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    serverLocks += lock ? 1 : -1;
    return S_OK;
  }

 private:
  const StandInClass& class_;
};

ClassFactory factories[] = {ClassFactory(kClasses[0]), ClassFactory(kClasses[1]), ClassFactory(kClasses[2])};

std::wstring classKey(const CLSID& id) {
  wchar_t text[40] = {};
  StringFromGUID2(id, text, 40);
  return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

bool setText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY opened = nullptr;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result = RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(opened);
  return result == ERROR_SUCCESS;
}

}  // namespace
}  // namespace orv::standins

using namespace orv::standins;

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (std::size_t i = 0; i < std::size(kClasses); ++i)
    if (IsEqualCLSID(*kClasses[i].id, classId)) return factories[i].QueryInterface(iid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return aliveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer() {
  wchar_t path[MAX_PATH] = {};
  if (GetModuleFileNameW(thisModule(), path, MAX_PATH) == 0) return SELFREG_E_CLASS;
  for (const StandInClass& standIn : kClasses) {
    const std::wstring key = classKey(*standIn.id);
    if (!setText(HKEY_LOCAL_MACHINE, key, nullptr, standIn.description) ||
        !setText(HKEY_LOCAL_MACHINE, key + L"\\InprocServer32", nullptr, path) ||
        !setText(HKEY_LOCAL_MACHINE, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"))
      return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  for (const StandInClass& standIn : kClasses) RegDeleteTreeW(HKEY_LOCAL_MACHINE, classKey(*standIn.id).c_str());
  return S_OK;
}

// For the tests: stand-in objects alive in this process.
LONG STDAPICALLTYPE StandInsAlive() { return aliveObjects; }

}  // extern "C"
