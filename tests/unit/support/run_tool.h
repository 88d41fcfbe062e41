#pragma once
// Runs the orvacct tool as a user would and captures what it says.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace orv::testing {

struct ToolRun {
  int exitCode = -1;
  std::string out;  // standard output and standard error, in order
};

// arguments are passed to the shell as written: quote them there.
inline ToolRun runTool(const std::string& arguments, const std::string& environment = {}) {
  const std::string command = environment + " '" ORVACCT_TOOL_PATH "' " + arguments + " 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace orv::testing
