#pragma once
// Ownership of the automation values that cross every COM boundary of the component (the
// server's arguments, the calls to Outlook and CDO): BSTRs and VARIANTs, freed on every path.
#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <string_view>

#include "platform/unique_resource.h"

namespace orv::platform {

inline bool freeBstr(BSTR text) noexcept {
  SysFreeString(text);
  return true;
}

using UniqueBstr = UniqueResource<BSTR, freeBstr, nullptr>;

// Length-counted, so embedded NULs survive; throws std::bad_alloc when the system cannot allocate.
inline UniqueBstr makeBstr(std::u16string_view text) {
  UniqueBstr made(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size())));
  if (!made) throw std::bad_alloc();
  return made;
}

// A null BSTR is the empty text, as in every automation client.
inline std::u16string textOf(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

// A VARIANT that is cleared on every path; release() hands its value over and leaves it empty.
// A value with contents rather than a handle, so an owner of its own.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { VariantInit(&value_); }
  ~UniqueVariant() { VariantClear(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  VARIANT* get() noexcept { return &value_; }
  const VARIANT* get() const noexcept { return &value_; }
  VARIANT& operator*() noexcept { return value_; }
  const VARIANT& operator*() const noexcept { return value_; }
  VARIANT* operator->() noexcept { return &value_; }
  const VARIANT* operator->() const noexcept { return &value_; }

  VARIANT release() noexcept {
    const VARIANT value = value_;
    VariantInit(&value_);
    return value;
  }

 private:
  VARIANT value_;
};

}  // namespace orv::platform
