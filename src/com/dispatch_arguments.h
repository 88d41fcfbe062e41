#pragma once
// One argument of a late-bound call: its declared type from the type library, the temporary
// of that type the vtable method works on, and the caller's variable to write it back into.
#include <windows.h>
#include <oaidl.h>

#include "platform/com_values_win32.h"

namespace orv::com {

struct DeclaredParameter {
  VARTYPE type = VT_EMPTY;  // enumerations are VT_I4
  bool byReference = false;
  bool optional = false;
  const VARIANT* defaultValue = nullptr;  // null when the type library gives none
};

// Reads a parameter's (or the result's) declaration; the pointer of [out, retval] counts as by reference.
HRESULT declaredParameter(ITypeInfo* owner, const ELEMDESC& element, DeclaredParameter& declared);

class CallArgument {
 public:
  CallArgument() noexcept;
  CallArgument(const CallArgument&) = delete;
  CallArgument& operator=(const CallArgument&) = delete;

  // From the caller's VARIANT (null when the caller left the argument out).
  HRESULT prepare(const DeclaredParameter& declared, VARIANT* supplied, LCID locale);

  // The result slot: an empty value of the declared type, passed by reference.
  void prepareResult(const DeclaredParameter& declared);

  // What DispCallFunc passes: the value, or a pointer to it for by-reference parameters.
  VARTYPE callType() const noexcept { return call_.vt; }
  VARIANTARG* callValue() noexcept { return &call_; }

  // After the call: the caller's variable gets the new value when the method changed it.
  void writeBack();

  // Hands the value over (for the call's result).
  void moveValueTo(VARIANT* destination) noexcept;

 private:
  platform::UniqueVariant value_;   // the temporary of the declared type
  platform::UniqueVariant before_;  // its value before the call, to tell whether the method changed it
  VARIANT call_;          // a view: value_ itself or VT_BYREF pointing into it
  VARIANT* callerVariable_ = nullptr;  // where a by-reference result goes; null for literals
};

}  // namespace orv::com
