#pragma once
// The tool at a pseudo-terminal, as a person at a keyboard runs it: its controlling terminal is
// the pseudo-terminal, which is also its standard error and, unless a file is given, its standard
// input; standard output goes to a pipe. The test reads what the terminal shows and types.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

extern char** environ;

namespace orv::testing {

class ToolAtTerminal {
 public:
  // inputFile: standard input read from this file instead of the terminal.
  explicit ToolAtTerminal(const std::string& arguments, const std::string& inputFile = {}) {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
    int out[2];
    if (pipe(out) != 0) return;
    output_ = out[0];
    const std::string terminal = ttyname(slave_);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // In a session of its own, the first terminal it opens becomes its controlling terminal.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, terminal.c_str(), O_RDWR, 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputFile.empty() ? terminal.c_str() : inputFile.c_str(),
                                     inputFile.empty() ? O_RDWR : O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    posix_spawn_file_actions_addclose(&actions, master_);
    posix_spawn_file_actions_addclose(&actions, slave_);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::string command = "exec '" ORVACCT_TOOL_PATH "' " + arguments;
    std::string shell = "/bin/sh", dashC = "-c";
    char* argv[] = {shell.data(), dashC.data(), command.data(), nullptr};
    if (posix_spawn(&pid_, "/bin/sh", &actions, &attributes, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(out[1]);
  }
  ~ToolAtTerminal() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      finish();
    }
    for (const int fd : {master_, slave_, output_}) {
      if (fd >= 0) close(fd);
    }
  }
  ToolAtTerminal(const ToolAtTerminal&) = delete;
  ToolAtTerminal& operator=(const ToolAtTerminal&) = delete;

  // Waits, within a bound, until the terminal has shown `text` since the tool started.
  bool waitFor(const std::string& text, std::chrono::seconds bound = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (screen_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !readScreen(static_cast<int>(left.count()))) return false;
    }
    return true;
  }

  // Keys typed at the terminal, "\n" for Enter, "\x03" for Ctrl+C.
  void type(const std::string& keys) { static_cast<void>(write(master_, keys.data(), keys.size())); }

  // Waits for the tool to end: its raw wait status. Its standard output is then in out().
  int finish() {
    for (char piece[4096];;) {
      const ssize_t got = read(output_, piece, sizeof piece);
      if (got <= 0) break;
      out_.append(piece, static_cast<std::size_t>(got));
    }
    int status = -1;
    if (pid_ > 0) {
      while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
      pid_ = -1;
    }
    while (readScreen(0)) {
    }
    return status;
  }

  const std::string& screen() const { return screen_; }
  const std::string& out() const { return out_; }

  // Whether the terminal echoes what is typed, as it should once the tool has ended.
  bool echoes() const {
    struct termios settings {};
    return tcgetattr(slave_, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
  }

 private:
  // False when nothing came within the time or the terminal has no writer left.
  bool readScreen(int milliseconds) {
    pollfd wanted{master_, POLLIN, 0};
    if (poll(&wanted, 1, milliseconds) <= 0 || (wanted.revents & POLLIN) == 0) return false;
    char piece[4096];
    const ssize_t got = read(master_, piece, sizeof piece);
    if (got <= 0) return false;
    screen_.append(piece, static_cast<std::size_t>(got));
    return true;
  }

  int master_ = -1;
  int slave_ = -1;
  int output_ = -1;
  pid_t pid_ = -1;
  std::string screen_;
  std::string out_;
};

}  // namespace orv::testing
