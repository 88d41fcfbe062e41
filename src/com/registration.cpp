#include "com/registration.h"

#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "com/interface_ids.h"
#include "com/registration_rows.h"
#include "platform/unique_handle_win32.h"
#include "orvacctman_idl.h"
#include "platform/own_module_win32.h"

namespace orv::com {
namespace {

constexpr wchar_t kProgId[] = L"OrvAcctMan.clsOrvAcctMan";
constexpr wchar_t kLibraryVersion[] = L"4.6";
constexpr WORD kLibraryMajor = 4;
constexpr WORD kLibraryMinor = 6;
constexpr LCID kLibraryLocale = 0x0409;
constexpr wchar_t kLibraryLocaleText[] = L"409";

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

// A row's value for the DLL at dllPath: [DLL] is its path, [FOLDER] its folder with the closing
// backslash, as Windows Installer gives a folder (the packages carry the same rows).
std::wstring filledValue(const wchar_t* value, const std::wstring& dllPath) {
  if (std::wstring_view(value) == L"[DLL]") return dllPath;
  if (std::wstring_view(value) == L"[FOLDER]") return dllPath.substr(0, dllPath.find_last_of(L'\\') + 1);
  return value;
}

}  // namespace

HRESULT registerServer(Scope scope) {
  const std::wstring dllPath = ownModulePath();
  if (dllPath.empty()) return SELFREG_E_CLASS;
  const ClassesRoot classes(scope);
  if (!classes.opened()) return SELFREG_E_CLASS;
  // Keys that name a type library which does not load would only mislead clients.
  Microsoft::WRL::ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(dllPath.c_str(), REGKIND_NONE, &library))) return SELFREG_E_TYPELIB;
  for (const RegistrationRow& row : kRegistrationRows) {
    if (!classes.setValue(row.key, *row.name == L'\0' ? nullptr : row.name, filledValue(row.value, dllPath))) {
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
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
