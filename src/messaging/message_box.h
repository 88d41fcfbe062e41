#pragma once
// The session's one message: a modal box on the caller's thread, behind a seam so tests see
// what would be shown.
#include <cstdint>
#include <functional>
#include <string>

namespace orv::messaging {

struct MessageBoxRequest {
  std::u16string text;
  std::u16string title;
  std::uint32_t style = 0;
};

inline constexpr std::uint32_t kOkExclamation = 0x30;  // MB_OK | MB_ICONEXCLAMATION

// Returns when the user has closed the box. Throws orv::Failure when it cannot be shown: a
// box that nobody can see would hold the caller's thread for ever.
using ShowMessageBox = std::function<void(const MessageBoxRequest&)>;

// HRESULT_FROM_WIN32(ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION), read as signed.
inline constexpr std::int32_t kNotInteractive = -2147023437;

// The failure that reports a box instead of showing it.
[[noreturn]] void throwMessageNotShown(const MessageBoxRequest& request, std::int32_t number,
                                       std::u16string_view reason);

// MessageBoxW on an interactive window station; elsewhere every box is reported.
ShowMessageBox platformMessageBox();

}  // namespace orv::messaging
