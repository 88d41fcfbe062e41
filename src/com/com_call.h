#pragma once
// The one boundary every interface method crosses: whatever the body throws stays here, and the
// client always sees S_OK (failures inside methods are already in the component's own log).
#include <windows.h>

#include <utility>

namespace orv::com {

template <class Body>
HRESULT comCall(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    // Only an allocation failure while converting arguments can arrive here; the client
    // then sees empty results, like any other failed step.
  }
  return S_OK;
}

// Out-parameters start null, so a failed body leaves nothing dangling for the client to free.
template <class T>
void clearOut(T* out) noexcept {
  if (out != nullptr) *out = T{};
}

}  // namespace orv::com
