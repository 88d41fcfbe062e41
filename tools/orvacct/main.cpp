// orvacct: the component's logs, cipher and helpers from the command line.
// Exit status: 0 done, 1 failed, 2 the command line was wrong.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <exception>
#include <iostream>
#include <sstream>

#include "commands/commands.h"
#include "orvacct_version.h"
#include "output/standard_streams.h"
#include "output/tool_output.h"
#include "input/utf8_arguments.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;
// A monitoring plugin that could not look is UNKNOWN, never a status it could mean otherwise.
constexpr int kPluginUnknown = 3;

// The deepest command given, for the hint to its help.
std::string commandGiven(CLI::App& app) {
  std::string words = "orvacct";
  for (CLI::App* at = &app; !at->get_subcommands().empty();) {
    at = at->get_subcommands().front();
    words += " " + at->get_name();
  }
  return words;
}

int usageError(CLI::App& app, std::string message) {
  std::replace(message.begin(), message.end(), '\n', ' ');
  const std::string command = commandGiven(app);
  orvacct::reportProblem(message + " (see '" + command + " --help')");
  if (command != "orvacct logs check") return kUsage;
  orvacct::writeOutput("ORVACCT LOGS UNKNOWN - " + message + "\n");
  orvacct::finishOutput();
  return kPluginUnknown;
}

int failure(const char* message) {
  orvacct::reportProblem(message);
  return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  orvacct::holdClosedStandardStreams();
#ifdef SIGPIPE
  // A reader that went away is seen as a failed write, so the tool ends the same quiet way
  // whether or not whoever started it ignored SIGPIPE (see tool_output.cpp).
  std::signal(SIGPIPE, SIG_IGN);
#endif
  CLI::App app{"orvacct - OrvAcctMan account services from the command line"};
  // The release, and the component inside it, which keeps its own version.
  app.set_version_flag("--version", "orvacct " ORVACCT_VERSION_TEXT ", component " ORVACCT_COMPONENT_VERSION_TEXT);
  app.require_subcommand(1);
  app.footer("Exit status: 0 done, 1 failed, 2 wrong command line.");
  orvacct::addLogCommands(app);
  orvacct::addLogsCommands(app);
  orvacct::addHelperCommands(app);
  orvacct::addPasswordCommands(app);
  orvacct::addFileCommands(app);
  orvacct::addRegistryCommands(app);
  orvacct::addSessionCommands(app);
  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> arguments = orvacct::utf8Arguments(argc, argv);
    std::reverse(arguments.begin(), arguments.end());
    app.name("orvacct");
    try {
      app.parse(arguments);
    } catch (const CLI::ParseError& e) {
      if (e.get_exit_code() != static_cast<int>(CLI::ExitCodes::Success)) return usageError(app, e.what());
      // --help or --version, written as every result is, so a closed pipe ends it the same way.
      std::ostringstream text;
      app.exit(e, text, std::cerr);
      orvacct::writeOutput(text.str());
    }
    orvacct::finishOutput();
  } catch (const orvacct::ExitStatus& told) {
    return told.status;
  } catch (const orvacct::FailureAlreadyReported&) {
    return kFailed;
  } catch (const orvacct::UsageError& e) {
    return usageError(app, e.what());
  } catch (const std::exception& e) {
    return failure(e.what());
  }
  return 0;
}
