// OrvAcctMan from C++, early bound through the interface header made from the type library
// (include\OrvAcctMan.h and include\OrvAcctMan_i.c). The program creates the class by its ProgID
// and by its CLSID and calls a few methods on each; it exits with 0 when all of them answered as
// expected.
//
// Registered DLL (register.cmd): build without client.rc. Without registration: build with
// client.rc, which embeds client.exe.manifest, and put OrvAcctMan.dll and
// OrvAcctMan.sxs.manifest of the program's bitness beside client.exe (README.txt).
//
// Visual C++, from a developer command prompt of the wanted bitness, in this folder:
//   rc client.rc
//   cl /EHsc /I..\..\include client.cpp ..\..\include\OrvAcctMan_i.c client.res ole32.lib oleaut32.lib
//      /link /MANIFEST:NO
// mingw-w64 (i686-w64-mingw32- or x86_64-w64-mingw32-):
//   windres client.rc -O coff -o client.res.o
//   g++ -I../../include client.cpp ../../include/OrvAcctMan_i.c client.res.o -lole32 -loleaut32 -static
#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>

#include "OrvAcctMan.h"

namespace {

using Microsoft::WRL::ComPtr;

// A BSTR that frees itself. The interface passes most strings in and out by reference: the
// component may replace them, and frees what it replaces.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text = L"") : value_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR* inOut() { return &value_; }
  BSTR* out() {  // for a result: whatever was held goes first
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  std::wstring text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring(); }

 private:
  BSTR value_;
};

bool succeeded(HRESULT hr, const char* what) {
  if (FAILED(hr)) std::printf("  %s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
  return SUCCEEDED(hr);
}

bool check(bool ok, const char* what, const std::wstring& shown) {
  std::printf("  %-40s %-4s %ls\n", what, ok ? "ok" : "FAIL", shown.c_str());
  return ok;
}

// A password round trip, the SQL quote helper and a new GUID.
bool exercise(_clsOrvAcctMan* account) {
  Bstr password(L"s3cret"), key(L"application key"), cipherText;
  if (!succeeded(account->EnCrypt_Pwd(password.inOut(), key.inOut(), cipherText.out()), "EnCrypt_Pwd")) return false;
  bool ok = check(cipherText.text().size() == 48, "EnCrypt_Pwd gives 48 hex digits", cipherText.text());

  // DeCrypt_Pwd writes the decoded bytes back into its first argument: hand it a copy.
  Bstr stored(cipherText.text().c_str()), password2;
  if (!succeeded(account->DeCrypt_Pwd(stored.inOut(), key.inOut(), password2.out()), "DeCrypt_Pwd")) return false;
  ok = check(password2.text() == L"s3cret", "DeCrypt_Pwd gives the password back", password2.text()) && ok;

  Bstr ticked(L"O'Brien"), quoted;
  if (!succeeded(account->DeTick(ticked.inOut(), quoted.out()), "DeTick")) return false;
  ok = check(quoted.text() == L"O''Brien", "DeTick doubles the apostrophe", quoted.text()) && ok;

  Bstr guid;
  if (!succeeded(account->CreateGUID(guid.out()), "CreateGUID")) return false;
  const std::wstring text = guid.text();
  return check(text.size() == 38 && text.front() == L'{' && text.back() == L'}', "CreateGUID gives {GUID}", text) &&
         ok;
}

bool useByProgId() {
  std::printf("by ProgID OrvAcctMan.clsOrvAcctMan\n");
  CLSID clsid{};
  if (!succeeded(CLSIDFromProgID(L"OrvAcctMan.clsOrvAcctMan", &clsid), "CLSIDFromProgID")) return false;
  ComPtr<_clsOrvAcctMan> account;
  if (!succeeded(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__clsOrvAcctMan,
                                  reinterpret_cast<void**>(account.GetAddressOf())),
                 "CoCreateInstance")) {
    return false;
  }
  return exercise(account.Get());
}

bool useByClsid() {
  wchar_t clsid[39] = {};
  StringFromGUID2(CLSID_clsOrvAcctMan, clsid, 39);
  std::printf("by CLSID %ls\n", clsid);
  ComPtr<_clsOrvAcctMan> account;
  if (!succeeded(CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID__clsOrvAcctMan,
                                  reinterpret_cast<void**>(account.GetAddressOf())),
                 "CoCreateInstance")) {
    return false;
  }
  return exercise(account.Get());
}

}  // namespace

int main() {
  // The class is apartment-threaded: call it from a single-threaded apartment.
  if (!succeeded(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx")) return 2;
  const bool byProgId = useByProgId();
  const bool byClsid = useByClsid();
  CoUninitialize();
  if (byProgId && byClsid) {
    std::printf("OrvAcctMan works.\n");
    return 0;
  }
  std::printf("OrvAcctMan did not answer as expected. Is OrvAcctMan.dll registered (register.cmd), or are\n"
              "OrvAcctMan.dll and OrvAcctMan.sxs.manifest of this program's bitness beside it?\n");
  return 1;
}
