#pragma once
// One owner for every kind of handle: closed on every path, or explicitly where the close's own
// result matters (a failed close can be the first sign of a lost write). A kind of handle is a
// one-line alias naming its close function and its invalid value, which may be given as a
// function when it cannot be a template argument (INVALID_HANDLE_VALUE).
#include <type_traits>
#include <utility>

namespace orv::platform {

template <class Handle, auto Close, auto Invalid>
class UniqueResource {
 public:
  static Handle invalid() noexcept {
    if constexpr (std::is_invocable_v<decltype(Invalid)>) {
      return Invalid();
    } else {
      return Invalid;
    }
  }

  UniqueResource() noexcept = default;
  explicit UniqueResource(Handle handle) noexcept : handle_(handle) {}
  ~UniqueResource() { static_cast<void>(close()); }
  UniqueResource(UniqueResource&& other) noexcept : handle_(std::exchange(other.handle_, invalid())) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) {
      static_cast<void>(close());
      handle_ = std::exchange(other.handle_, invalid());
    }
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != invalid(); }

  // The out-parameter of a call that opens one; whatever was held is closed first.
  Handle* put() noexcept {
    static_cast<void>(close());
    return &handle_;
  }

  // Hands the handle over to whoever closes it now (a caller's out-parameter).
  [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, invalid()); }

  // True when there was nothing to close or the close succeeded.
  bool close() noexcept {
    if (!*this) return true;
    return Close(std::exchange(handle_, invalid()));
  }

 private:
  Handle handle_ = invalid();
};

}  // namespace orv::platform
