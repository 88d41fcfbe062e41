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

// A command that is a group of commands, one of which must be given ("orvacct file encrypt").
inline CLI::App* commandGroup(CLI::App& app, const std::string& name, const std::string& description) {
  CLI::App* group = app.add_subcommand(name, description);
  group->require_subcommand(1);
  return group;
}

}  // namespace orvacct
