#pragma once
// Each group of subcommands registers itself on the application.
#include <CLI/CLI.hpp>

namespace orvacct {

void addLogCommands(CLI::App& app);
void addLogsCommands(CLI::App& app);
void addHelperCommands(CLI::App& app);
void addPasswordCommands(CLI::App& app);
void addFileCommands(CLI::App& app);
void addRegistryCommands(CLI::App& app);
void addSessionCommands(CLI::App& app);

}  // namespace orvacct
