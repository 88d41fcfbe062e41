// orvacct log, orvacct purge-logs
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "base/failure.h"
#include "commands.h"
#include "log/error_log.h"
#include "platform/local_time.h"
#include "text/utf.h"
#include "tool_output.h"

namespace orvacct {
namespace {

struct LogOptions {
  std::string appPath, appName, description, module, procedure, major, minor, revision;
  std::int32_t number = 0;
};

void writeRecord(const LogOptions& o) {
  using orv::text::fromUtf8;
  const std::u16string description = fromUtf8(o.description), module = fromUtf8(o.module),
                       procedure = fromUtf8(o.procedure), major = fromUtf8(o.major), minor = fromUtf8(o.minor),
                       revision = fromUtf8(o.revision);
  const orv::log::ErrorRecord record{o.number, description, module, procedure, major, minor, revision};
  const std::u16string appPath = fromUtf8(o.appPath);
  std::error_code ignored;
  if (!std::filesystem::is_directory(std::filesystem::path(appPath), ignored)) {
    throw ToolError("application folder does not exist: " + o.appPath);
  }
  try {
    orv::log::appendRecord(appPath, fromUtf8(o.appName), record, orv::localNow());
  } catch (const orv::Failure& failure) {
    throw ToolError("cannot write the log record in " + o.appPath + ": " + orv::text::toUtf8(failure.description()));
  }
}

}  // namespace

void addLogCommands(CLI::App& app) {
  auto options = std::make_shared<LogOptions>();
  CLI::App* log = app.add_subcommand("log", "Append one error record to the application's daily log file");
  log->add_option("--app-path", options->appPath, "Application folder; the record goes to its Logs folder")->required();
  log->add_option("--app-name", options->appName, "Application name; the file is NAME-MMDDYYYY.log")->required();
  log->add_option("--number", options->number, "Error number (signed 32-bit)")->required();
  log->add_option("--description", options->description, "Error description")->required();
  log->add_option("--module", options->module, "Module name")->required();
  log->add_option("--procedure", options->procedure, "Procedure name")->required();
  log->add_option("--major", options->major, "Version major part");
  log->add_option("--minor", options->minor, "Version minor part");
  log->add_option("--revision", options->revision, "Version revision part");
  log->callback([options] { writeRecord(*options); });

  auto purgeOptions = std::make_shared<LogOptions>();
  CLI::App* purge = app.add_subcommand("purge-logs", "Delete the application's log files older than seven days");
  purge->add_option("--app-path", purgeOptions->appPath, "Application folder")->required();
  purge->add_option("--app-name", purgeOptions->appName, "Application name")->required();
  purge->callback([purgeOptions] {
    using orv::text::fromUtf8;
    const auto result =
        orv::log::purgeOldLogs(fromUtf8(purgeOptions->appPath), fromUtf8(purgeOptions->appName), orv::localNow());
    printLine(orv::text::fromUtf8("deleted " + std::to_string(result.deleted) + ", kept " +
                                  std::to_string(result.kept) + ", refused " + std::to_string(result.refused)));
  });
}

}  // namespace orvacct
