// Timed client loops against the registered OrvAcctMan.dll, reported as ratios (never asserted):
// DeTick early bound against IDispatch::Invoke by DISPID, EnCrypt_Pwd with a repeated key against
// a new key per call, 100,000 creations and releases with the private bytes before and after, and
// what the append lock costs LogErrors per record. With the argument "log", the last alone.
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "com_test_support.h"
#include "log/log_files.h"
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
    dispatch->Invoke(orv::testing::dispid::DeTick, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
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

// The append as it was before the append lock: open to append, one write, close.
void plainAppend(const std::wstring& file, const std::string& bytes) {
  const HANDLE handle =
      CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(handle);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Microseconds per record, wall clock (Wine's server does part of the work in its own process):
// the three take turns call by call, so that the neighbours' load falls on all of them alike,
// and the medians compare LogErrors now against LogErrors less what the lock adds to the plain
// append.
void logRates(_clsOrvAcctMan* object) {
  constexpr int kSamples = 5000;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("orvacct-log-rates-" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder / "Logs");
  const std::wstring plainFile = (folder / "Logs" / "plain.log").wstring();
  const std::u16string lockedFile = (folder / "Logs" / "locked.log").u16string();
  const std::string record(200, 'x');  // about the length of a record
  Bstr path(folder.wstring());
  Bstr name(L"RatesApp");
  Bstr description(L"Object variable or With block variable not set");
  Bstr module(L"modBench");
  Bstr procedure(L"Sub Bench()");
  Bstr major(L"1");
  Bstr minor(L"0");
  Bstr revision(L"1");
  std::vector<double> plain, locked, logged;
  for (LONG number = 1; number <= kSamples; ++number) {  // a new error each time, or nothing is written
    const double start = seconds();
    plainAppend(plainFile, record);
    const double plainDone = seconds();
    static_cast<void>(orv::log::appendWhole(lockedFile, record));
    const double lockedDone = seconds();
    object->LogErrors(path.ref(), name.ref(), &number, description.ref(), module.ref(), procedure.ref(), major.ref(),
                      minor.ref(), revision.ref());
    const double loggedDone = seconds();
    plain.push_back(1e6 * (plainDone - start));
    locked.push_back(1e6 * (lockedDone - plainDone));
    logged.push_back(1e6 * (loggedDone - lockedDone));
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  const double before = median(logged) - (median(locked) - median(plain));
  std::printf("per record: plain append %.1f us, locked append %.1f us, LogErrors %.1f us, before the lock %.1f us\n",
              median(plain), median(locked), median(logged), before);
  std::printf("LogErrors with the lock / without = %.3f   (target <= 1.25)\n", median(logged) / before);
}

}  // namespace

int main(int argc, char** argv) {
  const orv::testing::Apartment apartment;
  std::printf("OrvAcctMan.dll, %d-bit, under this process's COM runtime\n", static_cast<int>(sizeof(void*) * 8));
  if (argc > 1 && std::string(argv[1]) == "log") {
    logRates(create().Get());
    return 0;
  }
  {
    ComPtr<_clsOrvAcctMan> object = create();
    deTickRates(object.Get());
    passwordRates(object.Get());
    logRates(object.Get());
  }
  creationFigures();
  return 0;
}
