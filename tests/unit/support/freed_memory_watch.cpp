#include "support/freed_memory_watch.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace orv::testing {
namespace {

// What is looked for while a body runs; the tests run on one thread.
struct Watch {
  const std::vector<std::string>* patterns = nullptr;
  std::size_t found = 0;
};
Watch watch;

void inspect(const void* block, std::size_t size) noexcept {
  for (const std::string& pattern : *watch.patterns) {
    if (!pattern.empty() && memmem(block, size, pattern.data(), pattern.size()) != nullptr) {
      ++watch.found;
      return;
    }
  }
}

void* allocate(std::size_t size) {
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void release(void* block) noexcept {
  if (block == nullptr) return;
  if (watch.patterns != nullptr) inspect(block, malloc_usable_size(block));
  std::free(block);
}

}  // namespace

std::size_t blocksFreedHolding(const std::vector<std::string>& patterns, void (*body)(void*), void* context) {
  watch = Watch{&patterns, 0};
  try {
    body(context);
  } catch (...) {
    watch = Watch{};
    throw;
  }
  const std::size_t found = watch.found;
  watch = Watch{};
  return found;
}

}  // namespace orv::testing

// Every allocation of the program through malloc, every release past the watch. The aligned
// forms are left to the library: they pair among themselves.
void* operator new(std::size_t size) { return orv::testing::allocate(size); }
void* operator new[](std::size_t size) { return orv::testing::allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size == 0 ? 1 : size); }
void operator delete(void* block) noexcept { orv::testing::release(block); }
void operator delete[](void* block) noexcept { orv::testing::release(block); }
void operator delete(void* block, std::size_t) noexcept { orv::testing::release(block); }
void operator delete[](void* block, std::size_t) noexcept { orv::testing::release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { orv::testing::release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { orv::testing::release(block); }
