#pragma once
// How the tool speaks: results on stdout, one a line, UTF-8; failures as one line on stderr.
// Exit status: 0 done, 1 failed, 2 the command line was wrong.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "component/services.h"

namespace orvacct {

// A failure the tool reports and exits on, with status 1.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A command line the tool cannot take (a malformed argument), with status 2.
class UsageError : public ToolError {
 public:
  using ToolError::ToolError;
};

// A failure whose every cause was already told on stderr, one line each: status 1, nothing more said.
class FailureAlreadyReported : public ToolError {
 public:
  FailureAlreadyReported() : ToolError("failed") {}
};

// A result told whole on standard output whose exit status is part of it (a monitoring plugin's
// 1 to 3): nothing more is said.
class ExitStatus {
 public:
  explicit ExitStatus(int status) : status(status) {}
  int status;
};

void printLine(const std::u16string& text);

// Bytes for standard output; a ToolError when they cannot be written.
void writeOutput(std::string_view bytes);

// Flushes standard output: results that never arrived are a failure (a full disk, a reader
// that went away), not a success.
void finishOutput();

// One line on standard error, "orvacct: MESSAGE", with what came from outside (file names, log
// text, arguments) made safe for a terminal.
void reportProblem(std::string_view message);

// One line on standard error about a place in a file, "FILE:LINE: MESSAGE", made safe the same way.
void reportAt(std::string_view file, std::uint64_t line, std::string_view message);

// The one progress line at the foot of standard error, when that is a terminal: drawn in place,
// kept below every diagnostic (which prints above it), gone when given no text. The progress of
// the file commands and of the log commands both go here.
void showProgressLine(std::string_view text);
// The line shown stays on the screen as it is, and what follows begins below it.
void keepProgressLine();

// A warning on stderr; the command goes on.
void warn(const std::string& message);

// Services of the component for the tool: the platform's, with each reported failure also
// printed on stderr.
orv::Services toolServices();

}  // namespace orvacct
