// orvacct: the component's logs, cipher and helpers from the command line.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <iostream>

#include "commands.h"
#include "orvacct_version.h"
#include "tool_output.h"
#include "utf8_arguments.h"

int main(int argc, char** argv) {
  CLI::App app{"orvacct - OrvAcctMan account services from the command line"};
  app.set_version_flag("--version", "orvacct " ORVACCT_VERSION_TEXT);
  app.require_subcommand(1);
  orvacct::addLogCommands(app);
  orvacct::addHelperCommands(app);
  orvacct::addCipherCommands(app);
  orvacct::addRegistryCommands(app);
  orvacct::addSessionCommands(app);
  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> arguments = orvacct::utf8Arguments(argc, argv);
    std::reverse(arguments.begin(), arguments.end());
    if (argc > 0) app.name(argv[0]);
    app.parse(arguments);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const orvacct::ToolError& e) {
    std::cerr << "orvacct: " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "orvacct: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
