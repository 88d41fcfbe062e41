// Timed client loops against the registered OrvAcctMan.dll, reported as ratios (never asserted):
// DeTick early bound against IDispatch::Invoke by DISPID, EnCrypt_Pwd with a repeated key against
// a new key per call, and 100,000 creations and releases with the private bytes before and after.
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>

#include "com_test_support.h"
#include "orvacctman_idl.h"

namespace {

using orv::testing::Bstr;
using orv::testing::ComPtr;
using orv::testing::Variant;

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
  ComPtr<_clsOrvAcctMan> object = orv::testing::createComponent();
  if (!object) {
    std::printf("clsOrvAcctMan is not registered\n");
    std::exit(1);
  }
  return object;
}

void deTickRates(_clsOrvAcctMan* object) {
  constexpr long kCalls = 200000;
  Bstr text(L"O'Brien's pub, Paddy's bar");
  const double early = rate(kCalls, [&](long) {
    Bstr result;
    object->DeTick(text.ref(), result.out());
  });
  ComPtr<IDispatch> dispatch;
  object->QueryInterface(IID_PPV_ARGS(&dispatch));
  Variant variable(text.text());
  VARIANT argument = orv::testing::byRefVariant(variable);  // as VBScript passes a variable
  DISPPARAMS params{&argument, nullptr, 1, 0};
  const double late = rate(kCalls, [&](long) {
    Variant result;
    UINT error = 0;
    dispatch->Invoke(orv::testing::dispid::kDeTick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                     result.get(), nullptr, &error);
  });
  std::printf("DeTick early bound:  %10.0f calls/s\n", early);
  std::printf("DeTick by DISPID:    %10.0f calls/s   early bound / by DISPID = %.2f\n", late, early / late);
}

void passwordRates(_clsOrvAcctMan* object) {
  constexpr long kCalls = 5000;
  Bstr password(L"correct horse");
  Bstr key(L"the same key every time");
  const double repeated = rate(kCalls, [&](long) {
    Bstr result;
    object->EnCrypt_Pwd(password.ref(), key.ref(), result.out());
  });
  const double fresh = rate(kCalls, [&](long i) {
    Bstr newKey(L"key number " + std::to_wstring(i));
    Bstr result;
    object->EnCrypt_Pwd(password.ref(), newKey.ref(), result.out());
  });
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
    Bstr text(L"x'y");
    Bstr result;
    object->DeTick(text.ref(), result.out());
  });
  const SIZE_T after = privateBytes();
  std::printf("create+call+release: %10.0f instances/s over %ld\n", perSecond, kInstances);
  std::printf("private bytes: %llu KiB before, %llu KiB after (after / before = %.3f)\n",
              static_cast<unsigned long long>(before / 1024), static_cast<unsigned long long>(after / 1024),
              static_cast<double>(after) / static_cast<double>(before));
}

}  // namespace

int main() {
  const orv::testing::Apartment apartment;
  std::printf("OrvAcctMan.dll, %d-bit, under this process's COM runtime\n", static_cast<int>(sizeof(void*) * 8));
  {
    ComPtr<_clsOrvAcctMan> object = create();
    deTickRates(object.Get());
    passwordRates(object.Get());
  }
  creationFigures();
  return 0;
}
