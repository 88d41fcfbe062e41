#include "about/win32_failure.h"

#include <string>

#include "base/failure.h"

namespace orv::about {

void throwWin32Error(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string description(reinterpret_cast<const char16_t*>(text), length);
  LocalFree(text);
  while (!description.empty() &&
         (description.back() == u'\n' || description.back() == u'\r' || description.back() == u' ')) {
    description.pop_back();
  }
  throw Failure(static_cast<std::int32_t>(HRESULT_FROM_WIN32(error)), std::move(description));
}

}  // namespace orv::about
