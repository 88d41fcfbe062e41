#pragma once
// Overwrites secret memory before it is given back; the compiler may not drop it.
#include <cstddef>
#include <string>

namespace orv {

void secureWipe(void* data, std::size_t size) noexcept;

template <class CharT>
void secureWipe(std::basic_string<CharT>& text) noexcept {
  secureWipe(text.data(), text.size() * sizeof(CharT));
  text.clear();
}

}  // namespace orv
