// orvacct log, orvacct purge-logs
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "base/failure.h"
#include "commands/commands.h"
#include "input/input_text.h"
#include "keys/int32_argument.h"
#include "log/error_log.h"
#include "platform/local_time.h"
#include "text/utf.h"
#include "output/tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace log_commands {
namespace {

struct LogOptions {
  std::string appPath, appName, description, module, procedure, major, minor, revision, number;
  bool trial = false;
  bool verbose = false;
};

// The record is ANSI text: what the code page cannot carry is refused, not written as '?'.
std::u16string recordText(const std::string& argument, const std::string& option) {
  std::u16string text = argumentText(argument, option);
  requireRepresentable(text, option);
  return text;
}

// The application folder, which must exist: a mistyped one must not look like success.
std::u16string applicationFolder(const std::string& argument) {
  std::u16string appPath = argumentText(argument, "--app-path");
  std::error_code ignored;
  if (!std::filesystem::is_directory(std::filesystem::path(appPath), ignored)) {
    throw ToolError("application folder does not exist: " + argument);
  }
  return appPath;
}

// The name becomes the first part of the file's name, so it must stay inside the Logs folder.
std::u16string applicationName(const std::string& argument) {
  std::u16string appName = argumentText(argument, "--app-name");
  if (!orv::log::isApplicationName(appName)) {
    throw ToolError("--app-name is a name, not a path: '" + argument +
                    "' (it may hold no / or \\ and may not be . or ..)");
  }
  return appName;
}

void writeRecord(const LogOptions& o) {
  const std::int32_t number = parseInt32(o.number, "--number");
  const std::u16string description = recordText(o.description, "--description"),
                       module = recordText(o.module, "--module"), procedure = recordText(o.procedure, "--procedure"),
                       major = recordText(o.major, "--major"), minor = recordText(o.minor, "--minor"),
                       revision = recordText(o.revision, "--revision");
  const orv::log::ErrorRecord record{number, description, module, procedure, major, minor, revision};
  const std::u16string appName = applicationName(o.appName);
  const std::u16string appPath = applicationFolder(o.appPath);
  try {
    orv::log::appendRecord(appPath, appName, record, orv::platform::localNow());
  } catch (const orv::Failure& failure) {
    throw ToolError("cannot write the log record in " + o.appPath + ": " + orv::text::toUtf8(failure.description()));
  }
}

// One line for each old file when asked (a trial always lists), then the counts.
void purgeLogs(const LogOptions& o) {
  const std::u16string appName = applicationName(o.appName);
  const std::u16string appPath = applicationFolder(o.appPath);
  orv::log::PurgeObserver list;
  if (o.verbose || o.trial) {
    list = [&o](const std::u16string& file, orv::log::PurgeVerdict verdict) {
      const bool deleted = verdict == orv::log::PurgeVerdict::Deleted;
      printLine((deleted ? (o.trial ? u"would delete " : u"deleted ") : u"refused ") + file);
    };
  }
  const auto result =
      orv::log::purgeOldLogs(appPath, appName, orv::platform::localNow(), list, o.trial);
  printLine(orv::text::fromUtf8((o.trial ? "would delete " : "deleted ") + std::to_string(result.deleted) + ", kept " +
                                std::to_string(result.kept) + ", refused " + std::to_string(result.refused)));
}

// The application's folder and name, as LogErrors and PurgeLogs take them.
void addApplicationOptions(CLI::App& command, LogOptions& options, const std::string& folderHelp,
                           const std::string& nameHelp) {
  command.add_option("--app-path", options.appPath, folderHelp)->required()->transform(pathAsMeant());
  command.add_option("--app-name", options.appName, nameHelp)->required();
}

}  // namespace
}  // namespace log_commands

void addLogCommands(CLI::App& app) {
  using namespace log_commands;
  auto options = std::make_shared<LogOptions>();
  CLI::App* log = app.add_subcommand("log", "Append one error record to the application's daily log file");
  addApplicationOptions(*log, *options, "Application folder; the record goes to its Logs folder",
                        "Application name; the file is NAME-MMDDYYYY.log");
  log->add_option("--number", options->number, "Error number: 32 bits, decimal (signed or not) or 0x hex")->required();
  log->add_option("--description", options->description, "Error description")->required();
  log->add_option("--module", options->module, "Module name")->required();
  log->add_option("--procedure", options->procedure, "Procedure name")->required();
  log->add_option("--major", options->major, "Version major part");
  log->add_option("--minor", options->minor, "Version minor part");
  log->add_option("--revision", options->revision, "Version revision part");
  log->callback([options] { writeRecord(*options); });

  auto purgeOptions = std::make_shared<LogOptions>();
  CLI::App* purge = app.add_subcommand("purge-logs", "Delete the application's log files older than seven days");
  addApplicationOptions(*purge, *purgeOptions, "Application folder (it must exist)", "Application name");
  purge->add_flag("--dry-run", purgeOptions->trial, "List the files that would be deleted; delete nothing");
  purge->add_flag("--verbose", purgeOptions->verbose, "List each file deleted or refused");
  purge->callback([purgeOptions] { purgeLogs(*purgeOptions); });
}

}  // namespace orvacct
