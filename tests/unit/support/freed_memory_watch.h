#pragma once
// Looks into every heap block as it is freed, for the tests of secrets: a program that links
// freed_memory_watch.cpp has its global operator new and delete replaced (over malloc and free),
// so nothing is freed unseen.
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace orv::testing {

// Blocks freed by `body` that still held one of the patterns (raw bytes; see bytesOf).
std::size_t blocksFreedHolding(const std::vector<std::string>& patterns, void (*body)(void*), void* context);

template <class Body>
std::size_t blocksFreedHolding(const std::vector<std::string>& patterns, Body&& body) {
  using Callable = std::remove_reference_t<Body>;
  return blocksFreedHolding(
      patterns, [](void* context) { (*static_cast<Callable*>(context))(); }, const_cast<void*>(static_cast<const void*>(&body)));
}

// The bytes of 16-bit text as it lies in memory.
inline std::string bytesOf(std::u16string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

}  // namespace orv::testing
