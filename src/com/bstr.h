#pragma once
// BSTR ownership and the conversions between BSTR and the portable class's 16-bit strings.
#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <string>

namespace orv::com {

struct BstrFree {
  void operator()(BSTR text) const noexcept { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

// A null BSTR is the empty text, as in every automation client.
inline std::u16string fromBstr(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

// The text of a by-reference argument; a missing pointer reads as empty text.
inline std::u16string fromBstrRef(const BSTR* text) { return text == nullptr ? std::u16string() : fromBstr(*text); }

// Throws std::bad_alloc when the system cannot allocate.
UniqueBstr toBstr(std::u16string_view text);

// Replaces the caller's by-reference text, but only when the method changed it, so an
// untouched argument keeps its own BSTR.
void writeBack(BSTR* target, const std::u16string& before, const std::u16string& after);

}  // namespace orv::com
