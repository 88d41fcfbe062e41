#include "com/registration.h"

#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cwchar>
#include <memory>
#include <string>

#include "com/bstr.h"
#include "com/interface_ids.h"
#include "platform/unique_handle_win32.h"
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
constexpr wchar_t kLibraryLocaleText[] = L"409";
// The automation marshaler, which serves every dual interface from its type library.
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";

using platform::UniqueKey;

std::wstring guidText(REFGUID guid) {
  wchar_t text[39] = {};
  StringFromGUID2(guid, text, 39);
  return text;
}

// Where the keys go: HKEY_CLASSES_ROOT for the machine, HKEY_CURRENT_USER\Software\Classes
// for one user. Every key is written and removed below it.
class ClassesRoot {
 public:
  explicit ClassesRoot(Scope scope) {
    if (scope == Scope::Machine) {
      root_ = HKEY_CLASSES_ROOT;
      return;
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        userClasses_.put(), nullptr) == ERROR_SUCCESS) {
      root_ = userClasses_.get();
    }
  }
  bool opened() const { return root_ != nullptr; }

  // Creates root\path and sets its default value (no name) or a named value.
  bool setValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) const {
    UniqueKey key;
    if (RegCreateKeyExW(root_, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
      return false;
    }
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
           ERROR_SUCCESS;
  }

  bool deleteTree(const std::wstring& path) const {
    const LSTATUS status = RegDeleteTreeW(root_, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
    const LSTATUS last = RegDeleteKeyW(root_, path.c_str());
    return last == ERROR_SUCCESS || last == ERROR_FILE_NOT_FOUND;
  }

  // Removes root\path when nothing is left below it.
  void deleteIfEmpty(const std::wstring& path) const { RegDeleteKeyW(root_, path.c_str()); }

  // Whether root\path is there, in this process's view of the registry or in the one given.
  bool exists(const std::wstring& path, REGSAM view = 0) const {
    UniqueKey key;
    return RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
  }

  // Whether the DLL of the other bitness is registered too: the class keys are kept apart per
  // bitness (WOW64), the ProgID key is shared and stays while either one is registered.
  bool otherBitnessRegistered() const {
    const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    return exists(L"CLSID\\" + guidText(CLSID_clsOrvAcctMan) + L"\\InprocServer32", otherView);
  }

 private:
  HKEY root_ = nullptr;
  UniqueKey userClasses_;
};

SYSKIND thisSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }
const wchar_t* thisPlatformKey() { return thisSysKind() == SYS_WIN64 ? L"win64" : L"win32"; }
std::wstring libraryKey() { return L"TypeLib\\" + guidText(LIBID_OrvAcctMan) + L"\\" + kLibraryVersion; }

bool registerClass(const ClassesRoot& classes, const std::wstring& dllPath) {
  const std::wstring clsidKey = L"CLSID\\" + guidText(CLSID_clsOrvAcctMan);
  const std::wstring libraryId = guidText(LIBID_OrvAcctMan);
  return classes.setValue(clsidKey, nullptr, kProgId) &&
         classes.setValue(clsidKey + L"\\InprocServer32", nullptr, dllPath) &&
         classes.setValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
         classes.setValue(clsidKey + L"\\ProgID", nullptr, kProgId) &&
         classes.setValue(clsidKey + L"\\TypeLib", nullptr, libraryId) &&
         classes.setValue(clsidKey + L"\\VERSION", nullptr, kLibraryVersion) &&
         classes.setValue(kProgId, nullptr, kProgId) &&
         classes.setValue(std::wstring(kProgId) + L"\\CLSID", nullptr, guidText(CLSID_clsOrvAcctMan));
}

// Interface keys as RegisterTypeLib writes them for a dual interface; `count` identifiers from
// the oldest on.
bool registerInterfaceIds(const ClassesRoot& classes, std::size_t count) {
  const std::wstring libraryId = guidText(LIBID_OrvAcctMan);
  for (std::size_t i = 0; i < count; ++i) {
    const std::wstring key = L"Interface\\" + guidText(kInterfaceIds[i]);
    if (!(classes.setValue(key, nullptr, kInterfaceName) &&
          classes.setValue(key + L"\\ProxyStubClsid", nullptr, kAutomationProxy) &&
          classes.setValue(key + L"\\ProxyStubClsid32", nullptr, kAutomationProxy) &&
          classes.setValue(key + L"\\TypeLib", nullptr, libraryId) &&
          classes.setValue(key + L"\\TypeLib", L"Version", kLibraryVersion))) {
      return false;
    }
  }
  return true;
}

// The type library's keys as RegisterTypeLib writes them, for one user: RegisterTypeLibForUser
// cannot serve, since Wine's writes to the machine's keys.
bool registerLibraryForUser(const ClassesRoot& classes, ITypeLib* library, const std::wstring& dllPath) {
  TLIBATTR* attributes = nullptr;
  if (FAILED(library->GetLibAttr(&attributes))) return false;
  const unsigned flags = attributes->wLibFlags;
  library->ReleaseTLibAttr(attributes);
  BSTR rawName = nullptr, rawDocumentation = nullptr;
  if (FAILED(library->GetDocumentation(-1, &rawName, &rawDocumentation, nullptr, nullptr))) return false;
  const UniqueBstr name(rawName), documentation(rawDocumentation);
  // Its documentation string, or its name when it has none.
  const BSTR shown = SysStringLen(documentation.get()) > 0 ? documentation.get() : name.get();
  const std::wstring title(shown == nullptr ? L"" : shown, SysStringLen(shown));
  const std::wstring key = libraryKey();
  const std::wstring folder = dllPath.substr(0, dllPath.find_last_of(L'\\'));
  return classes.setValue(key, nullptr, title) &&
         classes.setValue(key + L"\\" + kLibraryLocaleText + L"\\" + thisPlatformKey(), nullptr, dllPath) &&
         classes.setValue(key + L"\\FLAGS", nullptr, std::to_wstring(flags)) &&
         classes.setValue(key + L"\\HELPDIR", nullptr, folder) && registerInterfaceIds(classes, kInterfaceIds.size());
}

}  // namespace

HRESULT registerServer(Scope scope) {
  std::wstring dllPath = ownModulePath();
  if (dllPath.empty()) return SELFREG_E_CLASS;
  const ClassesRoot classes(scope);
  if (!classes.opened()) return SELFREG_E_CLASS;
  Microsoft::WRL::ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(dllPath.c_str(), REGKIND_NONE, &library))) return SELFREG_E_TYPELIB;
  if (scope == Scope::Machine) {
    // RegisterTypeLib records the current identifier; the six earlier ones are recorded the same way.
    if (FAILED(RegisterTypeLib(library.Get(), dllPath.data(), nullptr))) return SELFREG_E_TYPELIB;
    if (!registerInterfaceIds(classes, kInterfaceIds.size() - 1)) return SELFREG_E_CLASS;
  } else if (!registerLibraryForUser(classes, library.Get(), dllPath)) {
    return SELFREG_E_TYPELIB;
  }
  return registerClass(classes, dllPath) ? S_OK : SELFREG_E_CLASS;
}

HRESULT unregisterServer(Scope scope) {
  const ClassesRoot classes(scope);
  if (!classes.opened()) return SELFREG_E_CLASS;
  // Class and interface keys are kept apart per bitness; the ProgID and the type library's
  // key are shared, and stay for the other bitness while it is registered. A key already gone
  // counts as removed: unregistering again succeeds.
  bool removed = classes.deleteTree(L"CLSID\\" + guidText(CLSID_clsOrvAcctMan));
  for (std::size_t i = 0; i + 1 < kInterfaceIds.size(); ++i) {
    removed = classes.deleteTree(L"Interface\\" + guidText(kInterfaceIds[i])) && removed;
  }
  const std::wstring currentInterface = L"Interface\\" + guidText(kInterfaceIds.back());
  const std::wstring platform = libraryKey() + L"\\" + kLibraryLocaleText + L"\\" + thisPlatformKey();
  if (classes.otherBitnessRegistered()) {
    // UnRegisterTypeLib would take the other bitness's interface key with it.
    removed = classes.deleteTree(currentInterface) && removed;
    return classes.deleteTree(platform) && removed ? S_OK : SELFREG_E_CLASS;
  }
  removed = classes.deleteTree(kProgId) && removed;
  if (scope == Scope::User) {
    removed = classes.deleteTree(currentInterface) && removed;
    removed = classes.deleteTree(libraryKey()) && removed;
    // The library's own key goes when no other version of it is left.
    classes.deleteIfEmpty(L"TypeLib\\" + guidText(LIBID_OrvAcctMan));
    return removed ? S_OK : SELFREG_E_CLASS;
  }
  if (!classes.exists(platform)) {
    // The library is not registered for this bitness, which UnRegisterTypeLib takes for an error
    // (Wine's): at most the interface key is left.
    return classes.deleteTree(currentInterface) && removed ? S_OK : SELFREG_E_CLASS;
  }
  const HRESULT library =
      UnRegisterTypeLib(LIBID_OrvAcctMan, kLibraryMajor, kLibraryMinor, kLibraryLocale, thisSysKind());
  if (FAILED(library) && library != TYPE_E_REGISTRYACCESS) return SELFREG_E_TYPELIB;
  return removed ? S_OK : SELFREG_E_CLASS;
}

std::optional<Scope> installScope(const wchar_t* commandLine) {
  if (commandLine == nullptr || *commandLine == L'\0' || _wcsicmp(commandLine, L"machine") == 0) return Scope::Machine;
  if (_wcsicmp(commandLine, L"user") == 0) return Scope::User;
  return std::nullopt;
}

}  // namespace orv::com
