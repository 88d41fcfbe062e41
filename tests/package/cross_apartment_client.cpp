// A client on a multithreaded apartment thread, run beside the DLL and its assembly manifest with
// nothing registered: COM puts the apartment-threaded object on a thread of its own and hands
// back a proxy, which it can build only from the manifest's interface entries and type library.
// Built by check_package.sh with the zip's header and the sample's application manifest.
#include <windows.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>

#include "OrvAcctMan.h"

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  int result = 1;
  {
    Microsoft::WRL::ComPtr<_clsOrvAcctMan> account;
    HRESULT hr = CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID__clsOrvAcctMan,
                                  reinterpret_cast<void**>(account.GetAddressOf()));
    std::printf("CoCreateInstance from a multithreaded apartment: 0x%08lX\n", static_cast<unsigned long>(hr));
    if (SUCCEEDED(hr)) {
      BSTR ticked = SysAllocString(L"O'Brien");
      BSTR quoted = nullptr;
      hr = account->DeTick(&ticked, &quoted);
      const std::wstring text = quoted == nullptr ? L"" : quoted;
      std::printf("DeTick through the proxy: 0x%08lX %ls\n", static_cast<unsigned long>(hr), text.c_str());
      SysFreeString(ticked);
      SysFreeString(quoted);
      if (SUCCEEDED(hr) && text == L"O''Brien") result = 0;
    }
  }
  CoUninitialize();
  return result;
}
