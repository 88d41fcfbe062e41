#pragma once
// A path the log reading holds as UTF-8 (as it is shown), as the system names it.
#include <filesystem>
#include <string>

#include "text/utf.h"

namespace orvacct::logs {

inline std::filesystem::path nativePath(const std::string& utf8) {
#ifdef _WIN32
  return std::filesystem::path(orv::text::fromUtf8(utf8));
#else
  return std::filesystem::path(utf8);
#endif
}

}  // namespace orvacct::logs
