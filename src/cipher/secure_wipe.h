#pragma once
// Overwrites key material before its memory is given back; the compiler may not drop it.
#include <cstddef>
#include <string>

namespace orv::cipher {

void secureWipe(void* data, std::size_t size) noexcept;

template <class CharT>
void secureWipe(std::basic_string<CharT>& text) noexcept {
  secureWipe(text.data(), text.size() * sizeof(CharT));
  text.clear();
}

}  // namespace orv::cipher
