#include "tool_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "output_quoting.h"
#include "text/utf.h"

namespace orvacct {
namespace {

[[noreturn]] void outputFailed() {
  const int error = errno;
  throw ToolError(error != 0 ? std::string("cannot write standard output: ") + std::strerror(error)
                             : "cannot write standard output");
}

}  // namespace

void writeOutput(std::string_view bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) outputFailed();
}

void printLine(const std::u16string& text) {
  std::string line = orv::text::toUtf8(text);
  line += '\n';
  writeOutput(line);
}

void finishOutput() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) outputFailed();
  std::cout.flush();
  if (!std::cout) outputFailed();
}

namespace {

// One write a line, so lines from a busy run are never split.
void writeError(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

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
