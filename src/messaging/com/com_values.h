#pragma once
// RAII for the BSTRs and VARIANTs that cross the calls to Outlook and CDO, and what the
// session reads out of them. No ComPtr::Attach anywhere: mingw-w64 10's adds a reference.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <memory>
#include <string>

#include "messaging/property_value.h"

namespace orv::messaging::com {

using Microsoft::WRL::ComPtr;

struct BstrFree {
  void operator()(BSTR text) const noexcept { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

// Throws std::bad_alloc when the system cannot allocate.
UniqueBstr makeBstr(std::u16string_view text);
std::u16string textOf(BSTR text);

class OwnedVariant {
 public:
  OwnedVariant() noexcept { VariantInit(&value_); }
  ~OwnedVariant() { VariantClear(&value_); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;

  VARIANT* get() noexcept { return &value_; }
  const VARIANT& operator*() const noexcept { return value_; }

 private:
  VARIANT value_;
};

// The object a call returned; null for Nothing. Anything else is not an object (424).
ComPtr<IDispatch> objectOf(const VARIANT& value);

// A field's value as the session compares it.
PropertyValue propertyValueOf(const VARIANT& value);

}  // namespace orv::messaging::com
