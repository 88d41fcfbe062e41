#pragma once
// BSTR ownership and the conversions between BSTR and the portable class's 16-bit strings.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "base/secret.h"
#include "platform/com_values_win32.h"

namespace orv::com {

using platform::UniqueBstr;

// A null BSTR is the empty text, as in every automation client.
inline std::u16string fromBstr(BSTR text) { return platform::textOf(text); }

// The text of a by-reference argument; a missing pointer reads as empty text.
inline std::u16string fromBstrRef(const BSTR* text) { return text == nullptr ? std::u16string() : fromBstr(*text); }

// A key or a plain password, copied from the caller's BSTR straight into the secret type.
inline SecretText secretFromBstrRef(const BSTR* text) {
  if (text == nullptr || *text == nullptr) return {};
  return SecretText(std::u16string_view(reinterpret_cast<const char16_t*>(*text), SysStringLen(*text)));
}

// Throws std::bad_alloc when the system cannot allocate.
inline UniqueBstr toBstr(std::u16string_view text) { return platform::makeBstr(text); }

// Replaces the caller's by-reference text, but only when the method changed it, so an
// untouched argument keeps its own BSTR.
void writeBack(BSTR* target, const std::u16string& before, const std::u16string& after);

}  // namespace orv::com
