#pragma once
// What the COM client tests share: an apartment per test, the created object, late-bound calls
// by DISPID, and the DLL's own path.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvacctman_idl.h"

namespace orv::testing {

using Microsoft::WRL::ComPtr;

// The DISPIDs every late-bound client has been compiled against.
namespace dispid {
inline constexpr DISPID kDeCryptPwd = 0x6003000A;
inline constexpr DISPID kEnCryptPwd = 0x6003000B;
inline constexpr DISPID kCreateGuid = 0x6003000C;
inline constexpr DISPID kRegDeleteValue = 0x6003000F;
inline constexpr DISPID kRegDeleteKey = 0x60030010;
inline constexpr DISPID kRegCreateKey = 0x60030011;
inline constexpr DISPID kRegGetSettingString = 0x60030012;
inline constexpr DISPID kRegSaveSettingString = 0x60030013;
inline constexpr DISPID kDeTick = 0x60030014;
inline constexpr DISPID kLogErrors = 0x60030015;
inline constexpr DISPID kPurgeLogs = 0x60030016;
inline constexpr DISPID kCreateSession = 0x60030019;
inline constexpr DISPID kCloseSession = 0x6003001A;
inline constexpr DISPID kShowAbout = 0x6003001B;
inline constexpr DISPID kRegGetSettingDWord = 0x6003001C;
inline constexpr DISPID kRegSaveSettingDWord = 0x6003001D;
inline constexpr DISPID kRegGetSettingBinary = 0x6003001E;
inline constexpr DISPID kRegSaveSettingBinary = 0x6003001F;
inline constexpr DISPID kCheckState = 0x60030020;
}  // namespace dispid

// A single-threaded apartment for the length of one test, as script clients and VB use.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
  void TearDown() override { CoUninitialize(); }

  static ComPtr<_clsOrvAcctMan> create() {
    ComPtr<_clsOrvAcctMan> object;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    return object;
  }
};

// One created object, early bound and by IDispatch.
class ObjectTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    object_ = create();
    ASSERT_TRUE(object_);
    ASSERT_EQ(S_OK, object_.As(&dispatch_));
  }
  void TearDown() override {
    dispatch_.Reset();
    object_.Reset();
    ComTest::TearDown();
  }

  ComPtr<_clsOrvAcctMan> object_;
  ComPtr<IDispatch> dispatch_;
};

// Owns a VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  explicit Variant(const wchar_t* text) : Variant() {
    value_.vt = VT_BSTR;
    value_.bstrVal = SysAllocString(text);
  }
  explicit Variant(LONG number) : Variant() {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }
  std::wstring text() const {
    return value_.vt == VT_BSTR && value_.bstrVal != nullptr ? std::wstring(value_.bstrVal, SysStringLen(value_.bstrVal))
                                                              : std::wstring();
  }

 private:
  VARIANT value_;
};

// A VARIANT standing for an argument the caller leaves out.
inline VARIANT omittedArgument() {
  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  return missing;
}

// IDispatch::Invoke with the arguments in their natural order (first argument first).
inline HRESULT invoke(IDispatch* target, DISPID id, std::vector<VARIANT> arguments, VARIANT* result = nullptr,
                      UINT* argumentError = nullptr) {
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT error = 0;
  return target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, &exception,
                        argumentError != nullptr ? argumentError : &error);
}

// VT_BSTR by value, borrowed from a Variant (no ownership taken).
inline VARIANT byValue(Variant& owner) { return *owner.get(); }

// VT_BYREF|VT_VARIANT to the caller's variable, as VBScript passes its variables.
inline VARIANT byRefVariant(Variant& variable) {
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_VARIANT;
  reference.pvarVal = variable.get();
  return reference;
}

// VT_BYREF|VT_BSTR to a BSTR variable, as VB passes a String variable.
inline VARIANT byRefBstr(BSTR* variable) {
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_BSTR;
  reference.pbstrVal = variable;
  return reference;
}

inline std::wstring fromBstr(BSTR text) { return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text)); }

// Owns a BSTR result of an early-bound call.
struct Bstr {
  BSTR value = nullptr;
  Bstr() = default;
  explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(value); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* out() {
    SysFreeString(value);
    value = nullptr;
    return &value;
  }
  std::wstring text() const { return fromBstr(value); }
};

// The "MMDDYYYY" of today, as the daily log file names carry it.
inline std::wstring todayStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t stamp[16] = {};
  swprintf(stamp, 16, L"%02u%02u%04u", now.wMonth, now.wDay, now.wYear);
  return stamp;
}

}  // namespace orv::testing
