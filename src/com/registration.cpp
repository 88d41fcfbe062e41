#include "com/registration.h"

#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include "com/interface_ids.h"
#include "orvacctman_idl.h"
#include "platform/own_module_win32.h"

namespace orv::com {
namespace {

constexpr wchar_t kProgId[] = L"OrvAcctMan.clsOrvAcctMan";
constexpr wchar_t kInterfaceName[] = L"_clsOrvAcctMan";
constexpr wchar_t kLibraryVersion[] = L"4.6";
constexpr WORD kLibraryMajor = 4;
constexpr WORD kLibraryMinor = 6;
constexpr LCID kLibraryLocale = 0x0409;
// The automation marshaler, which serves every dual interface from its type library.
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";

struct KeyClose {
  void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyClose>;

std::wstring guidText(REFGUID guid) {
  wchar_t text[39] = {};
  StringFromGUID2(guid, text, 39);
  return text;
}

// Creates HKCR\path and sets its default value (when given) or a named value.
bool setValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const UniqueKey key(raw);
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
         ERROR_SUCCESS;
}

bool deleteTree(const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
  const LSTATUS last = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
  return last == ERROR_SUCCESS || last == ERROR_FILE_NOT_FOUND;
}

SYSKIND thisSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

// Whether the DLL of the other bitness is registered too: the class keys are kept apart per
// bitness (WOW64), the ProgID key is shared and stays while either one is registered.
bool otherBitnessRegistered() {
  const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  const std::wstring server = L"CLSID\\" + guidText(CLSID_clsOrvAcctMan) + L"\\InprocServer32";
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, KEY_READ | otherView, &raw) != ERROR_SUCCESS) return false;
  RegCloseKey(raw);
  return true;
}

bool registerClass(const std::wstring& dllPath) {
  const std::wstring clsidKey = L"CLSID\\" + guidText(CLSID_clsOrvAcctMan);
  const std::wstring libraryId = guidText(LIBID_OrvAcctMan);
  return setValue(clsidKey, nullptr, kProgId) && setValue(clsidKey + L"\\InprocServer32", nullptr, dllPath) &&
         setValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
         setValue(clsidKey + L"\\ProgID", nullptr, kProgId) &&
         setValue(clsidKey + L"\\TypeLib", nullptr, libraryId) &&
         setValue(clsidKey + L"\\VERSION", nullptr, kLibraryVersion) && setValue(kProgId, nullptr, kProgId) &&
         setValue(std::wstring(kProgId) + L"\\CLSID", nullptr, guidText(CLSID_clsOrvAcctMan));
}

// RegisterTypeLib records the current identifier; the six earlier ones are recorded the same way here.
bool registerEarlierInterfaceIds() {
  const std::wstring libraryId = guidText(LIBID_OrvAcctMan);
  for (std::size_t i = 0; i + 1 < kInterfaceIds.size(); ++i) {
    const std::wstring key = L"Interface\\" + guidText(kInterfaceIds[i]);
    if (!(setValue(key, nullptr, kInterfaceName) && setValue(key + L"\\ProxyStubClsid", nullptr, kAutomationProxy) &&
          setValue(key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy) &&
          setValue(key + L"\\TypeLib", nullptr, libraryId) &&
          setValue(key + L"\\TypeLib", L"Version", kLibraryVersion))) {
      return false;
    }
  }
  return true;
}

}  // namespace

HRESULT registerServer() {
  std::wstring dllPath = ownModulePath();
  if (dllPath.empty()) return SELFREG_E_CLASS;
  Microsoft::WRL::ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(dllPath.c_str(), REGKIND_NONE, &library))) return SELFREG_E_TYPELIB;
  if (FAILED(RegisterTypeLib(library.Get(), dllPath.data(), nullptr))) return SELFREG_E_TYPELIB;
  if (!registerEarlierInterfaceIds() || !registerClass(dllPath)) return SELFREG_E_CLASS;
  return S_OK;
}

HRESULT unregisterServer() {
  // Class and interface keys are kept apart per bitness; the ProgID and the type library's
  // key are shared, and stay for the other bitness while it is registered.
  bool removed = deleteTree(L"CLSID\\" + guidText(CLSID_clsOrvAcctMan));
  for (std::size_t i = 0; i + 1 < kInterfaceIds.size(); ++i) {
    removed = deleteTree(L"Interface\\" + guidText(kInterfaceIds[i])) && removed;
  }
  if (otherBitnessRegistered()) {
    // UnRegisterTypeLib would take the other bitness's interface key with it.
    const std::wstring platform = std::wstring(L"TypeLib\\") + guidText(LIBID_OrvAcctMan) + L"\\" +
                                  kLibraryVersion + L"\\409\\" + (thisSysKind() == SYS_WIN64 ? L"win64" : L"win32");
    removed = deleteTree(L"Interface\\" + guidText(kInterfaceIds.back())) && removed;
    return deleteTree(platform) && removed ? S_OK : SELFREG_E_CLASS;
  }
  removed = deleteTree(kProgId) && removed;
  const HRESULT library =
      UnRegisterTypeLib(LIBID_OrvAcctMan, kLibraryMajor, kLibraryMinor, kLibraryLocale, thisSysKind());
  if (FAILED(library) && library != TYPE_E_REGISTRYACCESS) return SELFREG_E_TYPELIB;
  return removed ? S_OK : SELFREG_E_CLASS;
}

}  // namespace orv::com
