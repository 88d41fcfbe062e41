#pragma once
// Runs the orvacct tool as a user would and captures what it says.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

extern char** environ;

namespace orv::testing {

struct ToolRun {
  int exitCode = -1;
  std::string out;  // standard output and standard error, in order
};

// Runs a shell command with the tool, collecting what it writes to the pipe.
inline ToolRun runShell(const std::string& command) {
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

// arguments are passed to the shell as written: quote them there.
inline ToolRun runTool(const std::string& arguments, const std::string& environment = {}) {
  return runShell(environment + " '" ORVACCT_TOOL_PATH "' " + arguments + " 2>&1");
}

struct SeparateToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The same, with standard error apart from standard output.
inline SeparateToolRun runToolApart(const std::string& arguments, const std::string& environment = {}) {
  const TempFolder folder;
  const std::filesystem::path err = folder / "stderr";
  const ToolRun run = runShell(environment + " '" ORVACCT_TOOL_PATH "' " + arguments + " 2>'" + err.string() + "'");
  return {run.exitCode, run.out, readFile(err)};
}

// The tool started in the background, its process id that of the tool itself (for signals);
// standard output goes to outputFd when one is given.
inline pid_t startTool(const std::string& arguments, const std::string& environment = {}, int outputFd = -1) {
  std::string command = "exec env " + environment + " '" ORVACCT_TOOL_PATH "' " + arguments;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (outputFd >= 0) posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
  std::string shell = "/bin/sh", dashC = "-c";
  char* argv[] = {shell.data(), dashC.data(), command.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The raw wait status of a tool started by startTool.
inline int waitForTool(pid_t pid) {
  int status = -1;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

struct ClosedPipeRun {
  int status = -1;  // the raw wait status
  std::string err;
};

// The tool writing into a pipe whose reader has already gone, as after `| head -1`; started with
// SIGPIPE ignored when asked (as some shells and services start their children).
inline ClosedPipeRun runToolIntoClosedPipe(const std::string& arguments, bool sigpipeIgnored = false) {
  const TempFolder folder;
  const std::filesystem::path err = folder / "stderr";
  int ends[2];
  if (pipe(ends) != 0) return {};
  close(ends[0]);
  const auto previous = std::signal(SIGPIPE, sigpipeIgnored ? SIG_IGN : SIG_DFL);
  const pid_t pid = startTool(arguments + " 2>'" + err.string() + "'", {}, ends[1]);
  std::signal(SIGPIPE, previous);
  close(ends[1]);
  if (pid < 0) return {};
  const int status = waitForTool(pid);
  return {status, readFile(err)};
}

}  // namespace orv::testing
