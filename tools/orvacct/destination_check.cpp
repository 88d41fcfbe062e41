#include "destination_check.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "input_text.h"
#include "tool_output.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace orvacct {

void checkDestination(const std::string& argument, bool mayReplace) {
  namespace fs = std::filesystem;
  const fs::path destination = pathArgument(argument);
  std::error_code error;
  const fs::file_status status = fs::status(destination, error);
  if (fs::is_directory(status)) throw ToolError(argument + " is a folder; name a file in it");
  // The new file is put in place of the old one whole: a device or a pipe there would be
  // replaced by a plain file (as root even /dev/null), never written to.
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    throw ToolError("cannot write " + argument + ": it is no plain file (a device or a pipe); the destination is "
                    "replaced whole, so name a file, or - for standard output");
  }
  // Told at once; the file is still put in place only where none has appeared meanwhile.
  if (!mayReplace && fs::exists(status)) throw ToolError(argument + " exists; give --overwrite to replace it");
  const fs::path folder = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, error)) {
    throw ToolError("cannot write " + argument + ": " + folder.string() +
                    (fs::exists(folder, error) ? " is not a folder" : " does not exist"));
  }
#ifndef _WIN32
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    throw ToolError("cannot write " + argument + ": " + std::generic_category().message(errno) + " (in the folder " +
                    folder.string() + ")");
  }
#endif
}

}  // namespace orvacct
