// orvacct logs export|summary|report: the error logs of many applications and machines read
// as one. Damage is told on standard error and never stops the run; a path that cannot be read
// makes the exit status 1 once everything else is done.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "commands.h"
#include "input_text.h"
#include "int32_argument.h"
#include "log/error_log.h"
#include "logs/log_export.h"
#include "logs/log_summary.h"
#include "logs/report.h"
#include "text/lower_case.h"
#include "tool_output.h"

namespace orvacct {
namespace {

struct LogsOptions {
  std::vector<std::string> paths;
  std::string since, until;
  std::vector<std::string> apps, numbers;
  std::string format, by = "number", output;
  std::size_t top = 0;
};

int dayArgument(const std::string& text, const std::string& what) {
  int year = 0, month = 0, day = 0;
  const auto field = [&text](std::size_t at, std::size_t length, int& value) {
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, begin + length, value);
    return error == std::errc() && end == begin + length;
  };
  const bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-' && field(0, 4, year) &&
                      field(5, 2, month) && field(8, 2, day);
  const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!shaped || !date.ok()) throw UsageError(what + " is not a date YYYY-MM-DD: '" + text + "'");
  return orv::log::dayNumber({year, month, day});
}

logs::Filters filtersOf(const LogsOptions& options) {
  logs::Filters filters;
  if (!options.since.empty()) filters.since = dayArgument(options.since, "--since");
  if (!options.until.empty()) filters.until = dayArgument(options.until, "--until");
  for (const std::string& app : options.apps) filters.apps.push_back(orv::text::lowerCase(argumentText(app, "--app")));
  for (const std::string& number : options.numbers) filters.numbers.push_back(parseInt32(number, "--number"));
  return filters;
}

// Records go out as bytes: Windows would otherwise turn CSV's CR LF into CR CR LF.
void binaryOutput() {
#ifdef _WIN32
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

void finish(bool allRead) {
  finishOutput();
  if (!allRead) throw FailureAlreadyReported();
}

CLI::App* verb(CLI::App& logs, const char* name, const char* description, LogsOptions& options) {
  CLI::App* command = logs.add_subcommand(name, description);
  command->add_option("PATH", options.paths, "Log files, Logs folders, or folders searched for log files")
      ->required()
      ->transform(pathAsMeant());
  command->add_option("--since", options.since, "Records of this day (YYYY-MM-DD) and later");
  command->add_option("--until", options.until, "Records of this day (YYYY-MM-DD) and earlier");
  command->add_option("--app", options.apps, "This application only (as in the file name, any case); repeatable")
      ->allow_extra_args(false);
  command->add_option("--number", options.numbers, "This error number only (decimal or 0x hex); repeatable")
      ->allow_extra_args(false);
  return command;
}

}  // namespace

void addLogsCommands(CLI::App& app) {
  CLI::App* logs =
      app.add_subcommand("logs", "Read the error logs of many applications: records, summaries, an HTML report");
  logs->require_subcommand(1);

  auto exported = std::make_shared<LogsOptions>();
  exported->format = "jsonl";
  CLI::App* exportCommand = verb(*logs, "export", "One line per record: JSON lines or CSV", *exported);
  exportCommand->add_option("--format", exported->format, "jsonl (default) or csv")
      ->check(CLI::IsMember({"jsonl", "csv"}));
  exportCommand->callback([exported] {
    const logs::Filters filters = filtersOf(*exported);
    binaryOutput();
    finish(logs::exportRecords(exported->paths, filters,
                               exported->format == "csv" ? logs::ExportFormat::Csv : logs::ExportFormat::Jsonl));
  });

  auto summarized = std::make_shared<LogsOptions>();
  summarized->format = "table";
  CLI::App* summary = verb(*logs, "summary", "Records counted per group, with first and last seen", *summarized);
  summary->add_option("--by", summarized->by, "app, number (default), module, version or day")
      ->check(CLI::IsMember({"app", "number", "module", "version", "day"}));
  summary->add_option("--format", summarized->format, "table (default), jsonl or csv")
      ->check(CLI::IsMember({"table", "jsonl", "csv"}));
  summary->add_option("--top", summarized->top, "The N largest groups only")->check(CLI::PositiveNumber);
  summary->callback([summarized] {
    const logs::Filters filters = filtersOf(*summarized);
    logs::SummaryOptions options;
    const std::string& by = summarized->by;
    options.by = by == "app"       ? logs::GroupBy::App
                 : by == "module"  ? logs::GroupBy::Module
                 : by == "version" ? logs::GroupBy::Version
                 : by == "day"     ? logs::GroupBy::Day
                                   : logs::GroupBy::Number;
    options.format = summarized->format == "jsonl" ? logs::SummaryFormat::Jsonl
                     : summarized->format == "csv" ? logs::SummaryFormat::Csv
                                                   : logs::SummaryFormat::Table;
    if (summarized->top > 0) options.top = summarized->top;
    binaryOutput();
    finish(logs::summarizeLogs(summarized->paths, filters, options));
  });

  auto reported = std::make_shared<LogsOptions>();
  CLI::App* report = verb(*logs, "report", "One self-contained HTML file: totals, a chart, sortable tables", *reported);
  report->add_option("--output", reported->output, "The HTML file to write (replaced when it exists)")
      ->required()
      ->transform(pathAsMeant());
  report->callback([reported] {
    const logs::Filters filters = filtersOf(*reported);
    finish(logs::writeReport(reported->paths, filters, pathArgument(reported->output), reported->output));
  });
}

}  // namespace orvacct
