#pragma once
// Log folders as support people gather them, for running `orvacct logs` over them as they do:
// records written as the component writes them, trees of any shape, and runs that can never
// hang a test (a command that waits for ever is ended and seen as such).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/log_records.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace orv::testing {

// The exit code 124 of `timeout` tells a command that did not end by itself.
constexpr int kHung = 124;

// `orvacct logs ARGUMENTS`, ended after a bound; standard error apart.
inline SeparateToolRun runLogs(const std::string& arguments, const std::string& prefix = "timeout -s KILL 60") {
  const TempFolder folder;
  const std::filesystem::path err = folder / "stderr";
  const ToolRun run = runShell(prefix + " '" ORVACCT_TOOL_PATH "' logs " + arguments + " 2>'" + err.string() + "'");
  return {run.exitCode == 128 + 9 ? kHung : run.exitCode, run.out, readFile(err)};
}

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Folders nested `depth` deep below `root`, each named `name`, made relative to the one above so
// the whole path may be far longer than the system's limit; gives the deepest, open.
inline int nestFolders(const std::filesystem::path& root, int depth, const char* name = "d") {
  int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
  for (int level = 0; level < depth && fd >= 0; ++level) {
    ::mkdirat(fd, name, 0755);
    const int next = ::openat(fd, name, O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
  }
  return fd;
}

}  // namespace orv::testing
