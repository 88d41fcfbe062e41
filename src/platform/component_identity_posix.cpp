#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/component_identity.h"
#include "text/utf.h"

namespace orv::platform {

ComponentIdentity currentComponentIdentity() {
  std::filesystem::path state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg == '/') {
    state = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    state = std::filesystem::path(home) / ".local" / "state";
  } else {
    state = std::filesystem::temp_directory_path();
  }
  const std::filesystem::path folder = state / "orvacct";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  ComponentIdentity identity;
  identity.folder = text::fromUtf8(folder.string());
  identity.name = u"orvacctman";
  return identity;
}

}  // namespace orv::platform
