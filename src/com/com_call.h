#pragma once
// The boundary every call into the server crosses: no exception gets past it. An entry point
// answers with the HRESULT of what was thrown (E_OUTOFMEMORY for an allocation that failed,
// E_UNEXPECTED for anything else); an interface method always answers S_OK, its failures being
// already in the component's own log.
#include <windows.h>

#include <new>
#include <utility>

namespace orv::com {

// Body returns the entry point's HRESULT.
template <class Body>
HRESULT comEntry(Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

template <class Body>
HRESULT comCall(Body&& body) noexcept {
  // Only an allocation failure while converting arguments can fail here; the client then sees
  // empty results, like any other failed step.
  static_cast<void>(comEntry([&] {
    std::forward<Body>(body)();
    return S_OK;
  }));
  return S_OK;
}

// Out-parameters start null, so a failed body leaves nothing dangling for the client to free.
template <class T>
void clearOut(T* out) noexcept {
  if (out != nullptr) *out = T{};
}

}  // namespace orv::com
