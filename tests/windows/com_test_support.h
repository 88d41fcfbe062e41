#pragma once
// What every COM client of the Wine suites and figures shares: the apartment, the created
// component, BSTR and VARIANT holders and builders, late-bound calls by DISPID.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "interface_methods.h"
#include "orvacctman_idl.h"

namespace orv::testing {

using Microsoft::WRL::ComPtr;

// The DISPIDs every late-bound client has been compiled against, by method name.
namespace dispid {
#define ORVACCT_DISPID(name, id, arguments, parameters) inline constexpr DISPID name = id;
ORVACCT_INTERFACE_METHODS(ORVACCT_DISPID)
#undef ORVACCT_DISPID
}  // namespace dispid

// The interface's methods in vtable order, each with its DISPID and the arguments a caller
// passes (the result not counted): the one list every suite that walks the interface reads.
struct Method {
  const wchar_t* name;
  DISPID id;
  int parameters;
};
#define ORVACCT_WIDE_TEXT(text) L##text
#define ORVACCT_METHOD_ROW(name, id, arguments, parameters) {ORVACCT_WIDE_TEXT(#name), id, arguments},
inline constexpr Method kMethods[] = {ORVACCT_INTERFACE_METHODS(ORVACCT_METHOD_ROW)};
#undef ORVACCT_METHOD_ROW
#undef ORVACCT_WIDE_TEXT
inline constexpr int kMethodCount = static_cast<int>(std::size(kMethods));

inline void check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(hr));
}

// COM on this thread, single-threaded as script clients and VB use it, for the holder's life.
class Apartment {
 public:
  Apartment() { check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx"); }
  ~Apartment() { CoUninitialize(); }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
};

// A new clsOrvAcctMan through its registration. A class that is not registered is a failure
// like any other: a suite must never pass for want of the thing it tests.
inline ComPtr<_clsOrvAcctMan> createComponent() {
  ComPtr<_clsOrvAcctMan> object;
  const HRESULT hr = CoCreateInstance(CLSID_clsOrvAcctMan, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
  if (hr == REGDB_E_CLASSNOTREG) throw std::runtime_error("clsOrvAcctMan is not registered");
  check(hr, "CoCreateInstance");
  return object;
}

inline std::wstring fromBstr(BSTR text) {
  return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
}

inline BSTR allocBstr(std::wstring_view text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

// One BSTR, length-counted so embedded NULs survive, freed at scope end.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text) : value_(allocBstr(text)) {}
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return value_; }
  BSTR* ref() { return &value_; }  // in-out, as VB passes a String by reference
  BSTR* out() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  std::wstring text() const { return fromBstr(value_); }

 private:
  BSTR value_ = nullptr;
};

// Owns a VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  explicit Variant(std::wstring_view text) : Variant() {
    value_.vt = VT_BSTR;
    value_.bstrVal = allocBstr(text);
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
    return value_.vt == VT_BSTR && value_.bstrVal != nullptr
               ? std::wstring(value_.bstrVal, SysStringLen(value_.bstrVal))
               : std::wstring();
  }

 private:
  VARIANT value_;
};

// Arguments by value, owned until the call returns.
class VariantList {
 public:
  VariantList(std::initializer_list<VARIANT> values) : values_(values) {}
  ~VariantList() {
    for (VARIANT& v : values_) VariantClear(&v);
  }
  VariantList(const VariantList&) = delete;
  VariantList& operator=(const VariantList&) = delete;
  void push_back(VARIANT v) { values_.push_back(v); }
  const std::vector<VARIANT>& values() const { return values_; }

 private:
  std::vector<VARIANT> values_;
};

inline VARIANT numberArgument(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

inline VARIANT textArgument(std::wstring_view value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = allocBstr(value);
  return v;
}

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

// The "MMDDYYYY" of today, as the daily log file names carry it.
inline std::wstring todayStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t stamp[16] = {};
  swprintf(stamp, 16, L"%02u%02u%04u", now.wMonth, now.wDay, now.wYear);
  return stamp;
}

}  // namespace orv::testing
