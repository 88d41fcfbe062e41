#pragma once
// Reading by-reference numbers and writing [out, retval] results; a missing pointer reads as 0
// and takes no result.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>

#include "com/bstr.h"

namespace orv::com {

inline std::int32_t valueOf(const LONG* number) { return number == nullptr ? 0 : static_cast<std::int32_t>(*number); }

inline void setResult(BSTR* result, std::u16string_view text) {
  if (result != nullptr) *result = toBstr(text).release();
}

inline void setResult(VARIANT_BOOL* result, bool value) {
  if (result != nullptr) *result = value ? VARIANT_TRUE : VARIANT_FALSE;
}

inline void setResult(LONG* result, std::int32_t value) {
  if (result != nullptr) *result = value;
}

}  // namespace orv::com
