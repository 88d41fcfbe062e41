// Timed client loops against the registered OrvAcctMan.dll, reported as ratios (never asserted):
// DeTick early bound against IDispatch::Invoke by DISPID, EnCrypt_Pwd with a repeated key against
// a new key per call, and 100,000 creations and releases with the private bytes before and after.
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>

#include "orvacctman_idl.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr DISPID kDeTick = 0x60030014;

double seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Calls per second of body over count calls.
template <class Body>
double rate(long count, Body&& body) {
  const double start = seconds();
  for (long i = 0; i < count; ++i) body(i);
  return static_cast<double>(count) / (seconds() - start);
}

SIZE_T privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  // Wine leaves PrivateUsage at 0; its PagefileUsage is the same commit charge.
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

ComPtr<_clsOrvAcctMan> create() {
  ComPtr<_clsOrvAcctMan> object;
  if (FAILED(CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)))) {
    std::printf("clsOrvAcctMan is not registered\n");
    std::exit(1);
  }
  return object;
}

void deTickRates(_clsOrvAcctMan* object) {
  constexpr long kCalls = 200000;
  BSTR text = SysAllocString(L"O'Brien's pub, Paddy's bar");
  const double early = rate(kCalls, [&](long) {
    BSTR result = nullptr;
    object->DeTick(&text, &result);
    SysFreeString(result);
  });
  ComPtr<IDispatch> dispatch;
  object->QueryInterface(IID_PPV_ARGS(&dispatch));
  VARIANT variable;
  VariantInit(&variable);
  variable.vt = VT_BSTR;
  variable.bstrVal = text;
  VARIANT argument;
  argument.vt = VT_BYREF | VT_VARIANT;  // as VBScript passes a variable
  argument.pvarVal = &variable;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  const double late = rate(kCalls, [&](long) {
    VARIANT result;
    VariantInit(&result);
    UINT error = 0;
    dispatch->Invoke(kDeTick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, &error);
    VariantClear(&result);
  });
  SysFreeString(text);
  std::printf("DeTick early bound:  %10.0f calls/s\n", early);
  std::printf("DeTick by DISPID:    %10.0f calls/s   early bound / by DISPID = %.2f\n", late, early / late);
}

void passwordRates(_clsOrvAcctMan* object) {
  constexpr long kCalls = 5000;
  BSTR password = SysAllocString(L"correct horse");
  BSTR key = SysAllocString(L"the same key every time");
  const double repeated = rate(kCalls, [&](long) {
    BSTR result = nullptr;
    object->EnCrypt_Pwd(&password, &key, &result);
    SysFreeString(result);
  });
  const double fresh = rate(kCalls, [&](long i) {
    const std::wstring text = L"key number " + std::to_wstring(i);
    BSTR newKey = SysAllocString(text.c_str());
    BSTR result = nullptr;
    object->EnCrypt_Pwd(&password, &newKey, &result);
    SysFreeString(result);
    SysFreeString(newKey);
  });
  SysFreeString(password);
  SysFreeString(key);
  std::printf("EnCrypt_Pwd repeated key: %8.0f calls/s\n", repeated);
  std::printf("EnCrypt_Pwd new key:      %8.0f calls/s   repeated / new = %.2f\n", fresh, repeated / fresh);
}

void creationFigures() {
  constexpr long kWarmUp = 1000;
  constexpr long kInstances = 100000;
  for (long i = 0; i < kWarmUp; ++i) create();
  const SIZE_T before = privateBytes();
  const double perSecond = rate(kInstances, [](long) {
    ComPtr<_clsOrvAcctMan> object = create();
    BSTR text = SysAllocString(L"x'y");
    BSTR result = nullptr;
    object->DeTick(&text, &result);
    SysFreeString(result);
    SysFreeString(text);
  });
  const SIZE_T after = privateBytes();
  std::printf("create+call+release: %10.0f instances/s over %ld\n", perSecond, kInstances);
  std::printf("private bytes: %llu KiB before, %llu KiB after (after / before = %.3f)\n",
              static_cast<unsigned long long>(before / 1024), static_cast<unsigned long long>(after / 1024),
              static_cast<double>(after) / static_cast<double>(before));
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  std::printf("OrvAcctMan.dll, %d-bit, under this process's COM runtime\n", static_cast<int>(sizeof(void*) * 8));
  {
    ComPtr<_clsOrvAcctMan> object = create();
    deTickRates(object.Get());
    passwordRates(object.Get());
  }
  creationFigures();
  CoUninitialize();
  return 0;
}
