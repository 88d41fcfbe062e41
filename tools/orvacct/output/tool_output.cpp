#include "output/tool_output.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "rows/output_quoting.h"
#include "text/utf.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvacct {
namespace {

// The shell's status of a process ended by SIGPIPE (128 + 13), where there are no signals.
constexpr int kReaderGoneStatus = 141;

// The reader went away (head, a pager closed early): the tool ends as the tools people pipe into
// head do, quietly and as if by SIGPIPE. Nothing is left to clean up: what writes to standard
// output writes no named file, and temporaries are unnamed or go with the process.
[[noreturn]] void endQuietlyReaderGone() {
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_DFL);
  std::raise(SIGPIPE);
#endif
  std::_Exit(kReaderGoneStatus);
}

// Whether the last failed write found no reader at the other end of a pipe. Windows' C runtime
// tells that as EINVAL; its system error says it: ERROR_NO_DATA on Windows, ERROR_PIPE_NOT_CONNECTED
// under Wine, ERROR_BROKEN_PIPE for some writers.
bool readerGone(int error) {
#ifdef _WIN32
  const unsigned long system = _doserrno;
  return error == EPIPE || system == ERROR_NO_DATA || system == ERROR_PIPE_NOT_CONNECTED ||
         system == ERROR_BROKEN_PIPE;
#else
  return error == EPIPE;
#endif
}

[[noreturn]] void outputFailed() {
  const int error = errno;
  if (readerGone(error)) endQuietlyReaderGone();
  throw ToolError(error != 0 ? std::string("cannot write standard output: ") + std::strerror(error)
                             : "cannot write standard output");
}

}  // namespace

void writeOutput(std::string_view bytes) {
  errno = 0;
#ifdef _WIN32
  _doserrno = 0;
#endif
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) outputFailed();
}

void printLine(const std::u16string& text) {
  std::string line = orv::text::toUtf8(text);
  line += '\n';
  writeOutput(line);
}

void finishOutput() {
  errno = 0;
#ifdef _WIN32
  _doserrno = 0;
#endif
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) outputFailed();
  std::cout.flush();
  if (!std::cout) outputFailed();
}

namespace {

std::string progressShown;  // the progress line on the screen, if any (ASCII, one column a byte)

// The progress line overwritten with spaces, the cursor back at its start: no terminal escape,
// which a Windows console would show as it is.
std::string progressErased() {
  std::string bytes = "\r";
  bytes.append(progressShown.size(), ' ');
  bytes += '\r';
  return bytes;
}

void writeStderr(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

// One write a line, so lines from a busy run are never split; a progress line is taken off
// first and drawn again below.
void writeError(const std::string& line) {
  if (progressShown.empty()) return writeStderr(line);
  std::string bytes = progressErased();
  bytes += line;
  bytes += progressShown;
  writeStderr(bytes);
}

}  // namespace

void showProgressLine(std::string_view text) {
  if (text.empty()) {
    if (!progressShown.empty()) writeStderr(progressErased());
    progressShown.clear();
    return;
  }
  std::string bytes = "\r";
  bytes += text;
  // Over what is left of a longer line before it.
  if (progressShown.size() > text.size()) bytes.append(progressShown.size() - text.size(), ' ');
  progressShown = text;
  writeStderr(bytes);
}

void keepProgressLine() {
  if (progressShown.empty()) return;
  progressShown.clear();
  writeStderr("\n");
}

void reportProblem(std::string_view message) {
  std::string line = "orvacct: ";
  appendTerminalSafe(line, message);
  line += '\n';
  writeError(line);
}

void reportAt(std::string_view file, std::uint64_t line, std::string_view message) {
  std::string text;
  appendTerminalSafe(text, file);
  text += ':';
  text += std::to_string(line);
  text += ": ";
  appendTerminalSafe(text, message);
  text += '\n';
  writeError(text);
}

void warn(const std::string& message) { reportProblem("warning: " + message); }

orv::Services toolServices() {
  orv::Services services = orv::platformServices();
  services.failureObserver = [](std::int32_t number, const std::u16string& description,
                                const std::u16string& procedure) {
    reportProblem("error " + std::to_string(number) + ": " + orv::text::toUtf8(description) + " (in " +
                  orv::text::toUtf8(procedure) + ")");
  };
  return services;
}

}  // namespace orvacct
