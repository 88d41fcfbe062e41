// IDispatch::Invoke of clsOrvAcctMan under hostile calls, as script hosts and late-bound
// clients can make them: 100,000 generated argument lists over every DISPID (and some that do
// not exist) with wrong counts, every VARTYPE alone and by reference, VBScript's
// VT_BYREF|VT_VARIANT (also chained and pointing at itself), named arguments, VT_EMPTY, VT_NULL,
// VT_ERROR, NULL BSTRs, 1 MB texts, arrays where texts belong, and NULL DISPPARAMS, result,
// EXCEPINFO and argument-error pointers. Every call must come back with S_OK or a documented
// DISP_E_ code, the process must live, and the commit charge must stay put.
//
// ORVACCT_TORTURE_SEED replays a run; ORVACCT_TORTURE_CALLS changes its length. The DLL is
// loaded from ORVACCT_DLL_PATH without registration.
#include <windows.h>
#include <oleauto.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "com_test_support.h"

namespace orv::testing {
namespace {

constexpr std::uint32_t kDefaultSeed = 20261207;
constexpr long kDefaultCalls = 100000;
constexpr long kWarmUpCalls = 20000;

// A DISPID to call and the argument count it is declared with (result not counted).
struct Member {
  DISPID id;
  int parameters;
};
// DISPIDs the interface does not have, called as if it had them.
constexpr Member kStrangers[] = {{DISPID_VALUE, 0}, {0x60030000, 1}, {-1, 1}, {0x7FFFFFFF, 2}};
constexpr int kMembers = kMethodCount + static_cast<int>(std::size(kStrangers));

// The interface's methods first, then the strangers.
Member memberAt(int index) {
  if (index < kMethodCount) return {kMethods[index].id, kMethods[index].parameters};
  return kStrangers[index - kMethodCount];
}

const std::set<HRESULT> kAnswers = {S_OK,
                                    DISP_E_BADPARAMCOUNT,
                                    DISP_E_BADVARTYPE,
                                    DISP_E_EXCEPTION,
                                    DISP_E_MEMBERNOTFOUND,
                                    DISP_E_NONAMEDARGS,
                                    DISP_E_OVERFLOW,
                                    DISP_E_PARAMNOTFOUND,
                                    DISP_E_TYPEMISMATCH,
                                    DISP_E_UNKNOWNINTERFACE,
                                    DISP_E_UNKNOWNLCID,
                                    DISP_E_PARAMNOTOPTIONAL};

std::uint64_t commitCharge() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  // Wine leaves PrivateUsage at 0; its PagefileUsage is the same commit charge.
  return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

long numberFromEnvironment(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::strtol(text, nullptr, 0) : fallback;
}

// Everything one call's arguments point at, released after the call (by then the component may
// have replaced by-reference values with its own, which are released the same way).
class CallStorage {
 public:
  CallStorage() = default;
  CallStorage(const CallStorage&) = delete;
  CallStorage& operator=(const CallStorage&) = delete;
  ~CallStorage() {
    // Arguments first: they may point into the slots below, never the other way round.
    for (VARIANT& v : arguments) {
      if ((v.vt & VT_BYREF) == 0) VariantClear(&v);
    }
    for (auto& slot : slots) {
      if (slot->owned) VariantClear(&slot->value);
    }
  }

  // A typed by-reference slot: its value is the storage the pointer of VT_BYREF|type names.
  struct Slot {
    VARIANT value;
    bool owned = true;  // false for a variant that points at itself
  };
  Slot& slot() {
    slots.push_back(std::make_unique<Slot>());
    VariantInit(&slots.back()->value);
    return *slots.back();
  }

  std::vector<VARIANT> arguments;
  std::vector<std::unique_ptr<Slot>> slots;
  std::vector<DISPID> names;
};

class Generator {
 public:
  Generator(std::uint32_t seed, IDispatch* self) : random_(seed), self_(self) {}

  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int percent) { return below(100) < percent; }

  // A text of every sort: empty, ASCII, any 16-bit unit (NULs and lone surrogates included),
  // and now and then a whole megabyte.
  BSTR text() {
    switch (below(8)) {
      case 0:
        return nullptr;
      case 1:
        return SysAllocStringLen(L"", 0);
      case 2:
        if (chance(10)) {
          const std::wstring megabyte(512 * 1024, static_cast<wchar_t>(0x20 + below(0xD7E0)));
          return SysAllocStringLen(megabyte.data(), static_cast<UINT>(megabyte.size()));
        }
        [[fallthrough]];
      default: {
        std::wstring text(static_cast<std::size_t>(below(40)), L' ');
        for (wchar_t& c : text)
          c = chance(70) ? static_cast<wchar_t>(0x20 + below(95)) : static_cast<wchar_t>(below(0x10000));
        return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      }
    }
  }

  // A value of one plain type into v.
  void plain(VARIANT& v) {
    VariantInit(&v);
    static constexpr VARTYPE kTypes[] = {VT_EMPTY,
                                         VT_NULL,
                                         VT_I2,
                                         VT_I4,
                                         VT_R4,
                                         VT_R8,
                                         VT_CY,
                                         VT_DATE,
                                         VT_BSTR,
                                         VT_DISPATCH,
                                         VT_ERROR,
                                         VT_BOOL,
                                         VT_UNKNOWN,
                                         VT_DECIMAL,
                                         VT_I1,
                                         VT_UI1,
                                         VT_UI2,
                                         VT_UI4,
                                         VT_I8,
                                         VT_UI8,
                                         VT_INT,
                                         VT_UINT,
                                         VT_BSTR,
                                         VT_BSTR,
                                         VT_I4,
                                         VT_ARRAY | VT_BSTR,
                                         VT_ARRAY | VT_UI1,
                                         VT_ARRAY | VT_VARIANT};
    const VARTYPE type = kTypes[below(static_cast<int>(std::size(kTypes)))];
    v.vt = type;
    const double doubles[] = {0.0,
                              -1.5,
                              1e300,
                              -1e300,
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              2147483648.0,
                              4294967295.0};
    switch (type) {
      case VT_I2:
        v.iVal = static_cast<SHORT>(random_());
        break;
      case VT_I4:
      case VT_INT:
        v.lVal = chance(30) ? static_cast<LONG>(0x80000000 + below(6)) : static_cast<LONG>(random_());
        break;
      case VT_R4:
        v.fltVal = static_cast<float>(doubles[below(8)]);
        break;
      case VT_R8:
      case VT_DATE:
        v.dblVal = doubles[below(8)];
        break;
      case VT_CY:
        v.cyVal.int64 = static_cast<LONGLONG>(random_()) << below(40);
        break;
      case VT_BSTR:
        v.bstrVal = text();
        break;
      case VT_DISPATCH:
        v.pdispVal = chance(50) ? nullptr : self_;
        if (v.pdispVal) v.pdispVal->AddRef();
        break;
      case VT_UNKNOWN:
        v.punkVal = chance(50) ? nullptr : self_;
        if (v.punkVal) v.punkVal->AddRef();
        break;
      case VT_ERROR:
        v.scode = chance(70) ? DISP_E_PARAMNOTFOUND : static_cast<SCODE>(random_());
        break;
      case VT_BOOL:
        v.boolVal = chance(50) ? VARIANT_TRUE : static_cast<VARIANT_BOOL>(random_());
        break;
      case VT_DECIMAL:
        v.decVal.Lo64 = random_();
        v.decVal.scale = static_cast<BYTE>(below(40));
        v.vt = VT_DECIMAL;
        break;
      case VT_I1:
      case VT_UI1:
        v.bVal = static_cast<BYTE>(random_());
        break;
      case VT_UI2:
        v.uiVal = static_cast<USHORT>(random_());
        break;
      case VT_UI4:
      case VT_UINT:
        v.ulVal = static_cast<ULONG>(random_());
        break;
      case VT_I8:
      case VT_UI8:
        v.llVal = static_cast<LONGLONG>(random_()) << below(40);
        break;
      case VT_ARRAY | VT_BSTR:
      case VT_ARRAY | VT_UI1:
      case VT_ARRAY | VT_VARIANT: {
        SAFEARRAY* array =
            SafeArrayCreateVector(static_cast<VARTYPE>(type & ~VT_ARRAY), 0, static_cast<ULONG>(below(4)));
        v.parray = array;
        if (array == nullptr) v.vt = VT_EMPTY;
        break;
      }
      default:
        break;
    }
  }

  // One argument as a caller may pass it: a value, a typed reference, or VBScript's reference
  // to a variant (chained, or pointing at itself).
  VARIANT argument(CallStorage& storage) {
    VARIANT v;
    const int form = below(10);
    if (form < 3) {
      plain(v);
      return v;
    }
    if (form < 5) {
      // What script clients mostly pass: a text or a number.
      VariantInit(&v);
      if (chance(70)) {
        v.vt = VT_BSTR;
        v.bstrVal = text();
      } else {
        v.vt = VT_I4;
        v.lVal = chance(30) ? static_cast<LONG>(0x80000000 + below(6)) : static_cast<LONG>(random_());
      }
      return v;
    }
    CallStorage::Slot& slot = storage.slot();
    VariantInit(&v);
    if (form < 8) {
      // VT_BYREF|type: the pointer names the slot's own storage of that type.
      plain(slot.value);
      if (slot.value.vt == VT_EMPTY || slot.value.vt == VT_NULL) slot.value.vt = VT_I4;
      v.vt = static_cast<VARTYPE>(VT_BYREF | slot.value.vt);
      v.byref = (slot.value.vt & VT_ARRAY) != 0 ? static_cast<void*>(&slot.value.parray)
                                                : static_cast<void*>(&slot.value.lVal);
      if (slot.value.vt == VT_DECIMAL) v.pdecVal = &slot.value.decVal;
      return v;
    }
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = &slot.value;
    if (form == 9 && chance(20)) {
      slot.value.vt = VT_BYREF | VT_VARIANT;  // a variable that refers to itself
      slot.value.pvarVal = &slot.value;
      slot.owned = false;
    } else if (form == 9) {
      slot.value = argument(storage);  // a chain of references
    } else {
      plain(slot.value);
    }
    return v;
  }

 private:
  std::mt19937 random_;
  IDispatch* self_;
};

struct Loaded {
  HMODULE module = nullptr;
  ~Loaded() {
    if (module != nullptr) FreeLibrary(module);
  }
};

ComPtr<IDispatch> createUnregistered(Loaded& dll) {
  dll.module = LoadLibraryW(ORVACCT_DLL_PATH);
  if (dll.module == nullptr) return nullptr;
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto entry =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll.module, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  if (entry == nullptr || FAILED(entry(CLSID_clsOrvAcctMan, IID_PPV_ARGS(&factory)))) return nullptr;
  ComPtr<IDispatch> object;
  factory->CreateInstance(nullptr, IID_PPV_ARGS(&object));
  return object;
}

TEST(DispatchTorture, HostileCallsAreAllAnsweredAndLeakNothing) {
  const auto seed = static_cast<std::uint32_t>(numberFromEnvironment("ORVACCT_TORTURE_SEED", kDefaultSeed));
  const long calls = numberFromEnvironment("ORVACCT_TORTURE_CALLS", kDefaultCalls);
  const bool trace = numberFromEnvironment("ORVACCT_TORTURE_TRACE", 0) != 0;
  std::printf("seed %u, %ld calls (replay with ORVACCT_TORTURE_SEED)\n", seed, calls);

  // Relative and root-relative paths (LogErrors with an empty folder writes to "\Logs") land on
  // the scratch drive the test script maps, never on the host's root.
  const std::wstring drive = L"T:\\";
  ASSERT_TRUE(SetCurrentDirectoryW(drive.c_str())) << "the scratch drive T: is not mapped";

  const Apartment apartment;
  Loaded dll;
  ComPtr<IDispatch> object = createUnregistered(dll);
  ASSERT_TRUE(object) << "OrvAcctMan.dll did not give an object";
  Generator generate(seed, object.Get());

  std::map<HRESULT, long> answers;
  std::uint64_t warm = 0;
  for (long call = 0; call < calls; ++call) {
    if (call == std::min(kWarmUpCalls, calls / 5)) warm = commitCharge();
    // Mostly the interface's own members with their own argument count, so most calls get past
    // the boundary into the methods; the rest goes wrong in every other way.
    const Member member = memberAt(generate.chance(90) ? generate.below(kMethodCount) : generate.below(kMembers));
    CallStorage storage;
    const int count = generate.chance(2)    ? 40
                      : generate.chance(60) ? member.parameters
                                            : generate.below(member.parameters + 3);
    for (int i = 0; i < count; ++i) storage.arguments.push_back(generate.argument(storage));
    DISPPARAMS params{storage.arguments.data(), nullptr, static_cast<UINT>(count), 0};
    if (count > 0 && generate.chance(3)) {
      params.cNamedArgs = static_cast<UINT>(1 + generate.below(count));
      storage.names.assign(params.cNamedArgs, 0);
      for (DISPID& name : storage.names) name = generate.chance(50) ? DISPID_PROPERTYPUT : generate.below(count);
      params.rgdispidNamedArgs = storage.names.data();
    }
    if (count > 0 && generate.chance(1)) params.rgvarg = nullptr;  // a count without the arguments
    static constexpr WORD kFlags[] = {DISPATCH_METHOD,
                                      DISPATCH_METHOD,
                                      DISPATCH_METHOD,
                                      DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                      DISPATCH_PROPERTYGET,
                                      DISPATCH_PROPERTYPUT,
                                      DISPATCH_PROPERTYPUTREF,
                                      0,
                                      0xFFFF};
    const WORD flags =
        generate.chance(80) ? WORD{DISPATCH_METHOD} : kFlags[generate.below(static_cast<int>(std::size(kFlags)))];
    Variant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const bool noParams = generate.chance(2);
    if (trace)
      std::fprintf(stderr, "call %ld: DISPID 0x%lx, %d arguments, flags 0x%x\n", call, member.id, count, flags);
    const HRESULT hr =
        object->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, flags, noParams ? nullptr : &params,
                       generate.chance(20) ? nullptr : result.get(), generate.chance(20) ? nullptr : &exception,
                       generate.chance(20) ? nullptr : &argumentError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    ++answers[hr];
    ASSERT_TRUE(kAnswers.count(hr) == 1) << "call " << call << " of seed " << seed << ": DISPID 0x" << std::hex
                                         << member.id << " with " << std::dec << count << " arguments answered 0x"
                                         << std::hex << static_cast<unsigned long>(hr);
  }
  if (trace) std::fprintf(stderr, "all calls made\n");
  for (const auto& [hr, count] : answers) std::printf("0x%08lX: %ld calls\n", static_cast<unsigned long>(hr), count);
  const std::uint64_t end = commitCharge();
  std::printf("commit charge after the warm-up %llu KiB, at the end %llu KiB\n",
              static_cast<unsigned long long>(warm / 1024), static_cast<unsigned long long>(end / 1024));
  std::fflush(stdout);
  if (trace) std::fprintf(stderr, "figures printed\n");
  EXPECT_LT(end, warm + 8 * 1024 * 1024) << "the commit charge grew by " << (end - warm) / 1024 << " KiB";

  // Every reference the calls took of the object passed as an argument was given back.
  object.Reset();
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  const auto canUnload =
      reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll.module, "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK) << "an object of the DLL outlived its last reference";
}

}  // namespace
}  // namespace orv::testing
