#include "output_files/destination_check.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "input/input_text.h"
#include "output/tool_output.h"

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

namespace {

// Whether the file is the folder (or file) given, or lies anywhere below it, as the file system
// sees them: links in the file's path resolved, and on Windows any case and short names.
bool liesWithin(const std::filesystem::path& file, const std::filesystem::path& root) {
  std::error_code error;
  std::filesystem::path at = std::filesystem::weakly_canonical(file, error);
  if (error) at = std::filesystem::absolute(file, error);
  for (;; at = at.parent_path()) {
    if (std::filesystem::equivalent(at, root, error)) return true;
    if (at == at.parent_path()) return false;
  }
}

}  // namespace

void checkNotRead(const std::string& argument, const std::vector<std::string>& readPaths) {
  std::error_code error;
  const std::filesystem::path destination = pathArgument(argument);
  if (!std::filesystem::exists(destination, error)) return;
  for (const std::string& path : readPaths) {
    if (!liesWithin(destination, pathArgument(path))) continue;
    throw ToolError("will not write " + argument + ": " +
                    (std::filesystem::equivalent(destination, pathArgument(path), error)
                         ? std::string("it is ") + path + ", which this run reads"
                         : "it lies in " + path + ", which this run reads") +
                    ", even with --overwrite");
  }
}

}  // namespace orvacct
