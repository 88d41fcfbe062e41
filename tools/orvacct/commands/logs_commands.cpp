// orvacct logs export|summary|report|metrics|check: the error logs of many applications and machines read
// as one. Damage is told on standard error and never stops the run; anything under the paths
// that could not be read makes the exit status 1 once everything else is done.
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "output_files/destination_check.h"
#include "input/input_text.h"
#include "keys/int32_argument.h"
#include "output_files/output_file.h"
#include "log/error_log.h"
#include "log_reading/group_keys.h"
#include "log_reading/log_check.h"
#include "log_reading/log_export.h"
#include "log_reading/log_metrics.h"
#include "log_reading/log_scan.h"
#include "log_reading/log_summary.h"
#include "log_reading/report.h"
#include "output_files/output_file.h"
#include "platform/local_time.h"
#include "output/read_progress.h"
#include "output/standard_error_problems.h"
#include "text/ansi_codepage.h"
#include "text/lower_case.h"
#include "output/standard_streams.h"
#include "output/tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace logs_commands {
namespace {

namespace logs_ = orvacct::logs;

struct LogsOptions {
  std::vector<std::string> paths, codePages;
  std::string since, until;
  std::vector<std::string> apps, machines, numbers;
  std::string format, by = "number", output, sort = "file";
  std::string last, warning, critical;
  std::size_t top = 0;
  bool overwrite = false;
  bool quiet = false;
  unsigned threads = 0;
  CLI::App* command = nullptr;
  CLI::Option* pathOption = nullptr;
  CLI::Option* codePageOption = nullptr;
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

logs_::Filters filtersOf(const LogsOptions& options) {
  logs_::Filters filters;
  if (!options.since.empty()) filters.since = dayArgument(options.since, "--since");
  if (!options.until.empty()) filters.until = dayArgument(options.until, "--until");
  for (const std::string& app : options.apps) filters.apps.push_back(orv::text::lowerCase(argumentText(app, "--app")));
  for (const std::string& machine : options.machines) {
    filters.machines.push_back(orv::text::lowerCase(argumentText(machine, "--machine")));
  }
  for (const std::string& number : options.numbers) filters.numbers.push_back(parseInt32(number, "--number"));
  return filters;
}

// The filters as they were given, for saying what a report covers.
std::vector<std::string> filterWords(const LogsOptions& options) {
  std::vector<std::string> words;
  if (!options.since.empty()) words.push_back("--since " + options.since);
  if (!options.until.empty()) words.push_back("--until " + options.until);
  for (const std::string& app : options.apps) words.push_back("--app " + app);
  for (const std::string& machine : options.machines) words.push_back("--machine " + machine);
  for (const std::string& number : options.numbers) words.push_back("--number " + number);
  return words;
}

// Why a name gives no code page, in the words of the tool's messages.
std::string refusalText(const std::string& name, orv::text::CodePageRefusal refusal) {
  if (refusal == orv::text::CodePageRefusal::NotAnAnsiCodePage) {
    return "'" + name + "' cannot be a Windows ANSI code page (it does not read ASCII as ASCII)";
  }
  return "'" + name + "' is no code page here";
}

std::shared_ptr<const orv::text::CodePage> codePageArgument(const std::string& name) {
  orv::text::CodePageLookup found = orv::text::codePageNamed(name);
  if (auto* page = std::get_if<std::unique_ptr<orv::text::CodePage>>(&found)) return std::move(*page);
  throw UsageError("--code-page: " + refusalText(name, std::get<orv::text::CodePageRefusal>(found)) +
                   " (a Windows number such as 1251, 932 or 65001, or a name such as WINDOWS-1251)");
}

// The logs' code page where the command line gives none: ORVACCT_CODEPAGE, also on Windows, or
// the system's ANSI code page.
std::shared_ptr<const orv::text::CodePage> defaultCodePage() {
  const char* named = std::getenv("ORVACCT_CODEPAGE");
  if (named == nullptr || *named == '\0') return orv::text::ansiCodePage();
  orv::text::CodePageLookup found = orv::text::codePageNamed(named);
  if (auto* page = std::get_if<std::unique_ptr<orv::text::CodePage>>(&found)) return std::move(*page);
  throw ToolError("ORVACCT_CODEPAGE: " + refusalText(named, std::get<orv::text::CodePageRefusal>(found)));
}

// Each path with the code page given before it (--code-page applies to the paths after it).
std::vector<logs_::Root> rootsOf(const LogsOptions& options) {
  std::vector<logs_::Root> roots;
  std::shared_ptr<const orv::text::CodePage> codePage;
  bool pathsSince = false;  // the last code page given applies to a path
  std::size_t path = 0, page = 0;
  for (const CLI::Option* option : options.command->parse_order()) {
    if (option == options.codePageOption && page < options.codePages.size()) {
      codePage = codePageArgument(options.codePages[page++]);
      pathsSince = false;
    } else if (option == options.pathOption && path < options.paths.size()) {
      if (!codePage) codePage = defaultCodePage();
      roots.push_back({options.paths[path++], codePage});
      pathsSince = true;
    }
  }
  if (page > 0 && !pathsSince) {
    throw UsageError("--code-page " + options.codePages.back() + " comes after every path; it applies to the paths after it");
  }
  for (; path < options.paths.size(); ++path) {
    if (!codePage) codePage = defaultCodePage();
    roots.push_back({options.paths[path], codePage});
  }
  return roots;
}

std::vector<logs_::GroupBy> groupKeysOf(const std::string& text) {
  std::vector<logs_::GroupBy> keys;
  std::string list;
  for (const std::string& name : logs_::groupByNames()) list += (list.empty() ? "" : ", ") + name;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const auto key = logs_::groupByNamed(name);
    if (!key) throw UsageError("--by: no such key '" + name + "'; the keys are " + list);
    if (std::find(keys.begin(), keys.end(), *key) != keys.end()) throw UsageError("--by: '" + name + "' twice");
    keys.push_back(*key);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return keys;
}

std::string madeNow() {
  const orv::LocalDateTime now = orv::platform::localNow();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", now.year, now.month, now.day, now.hour, now.minute);
  return text;
}


// What the scans of one command tell: problems on standard error, progress on a terminal.
class ScanTelling {
 public:
  explicit ScanTelling(const LogsOptions& options) : progress_(options.quiet), threads_(options.threads) {}
  logs_::ScanSettings settings() { return {problems_, threads_, progress_.shown()}; }

 private:
  StandardErrorProblems problems_;
  ReadProgressLine progress_;
  unsigned threads_;
};

// Says when filters matched nothing, so an empty result is not taken for empty logs.
void finish(const LogsOptions& options, const logs_::ScanCounts& counts) {
  finishOutput();
  if (counts.recordsKept == 0 && !filterWords(options).empty()) {
    std::string filters;
    for (const std::string& word : filterWords(options)) filters += (filters.empty() ? "" : " ") + word;
    reportProblem("no record matches the filters (" + filters + "): " + std::to_string(counts.recordsRead) +
                  " records were read in " + std::to_string(counts.filesRead) +
                  (counts.filesRead == 1 ? " file" : " files"));
  }
  if (!counts.allRead) throw FailureAlreadyReported();
}

// Seconds since 1970 of a moment of this machine's local time.
double secondsOf(const logs_::Moment& moment) {
  const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(moment.days))};
  std::tm local{};
  local.tm_year = static_cast<int>(date.year()) - 1900;
  local.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
  local.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
  local.tm_sec = std::max(moment.second, 0);
  local.tm_isdst = -1;
  return static_cast<double>(std::mktime(&local));
}

logs_::Moment nowMoment() {
  const orv::LocalDateTime now = orv::platform::localNow();
  return {orv::log::dayNumber({now.year, now.month, now.day}), now.hour * 3600 + now.minute * 60 + now.second};
}

// --last 24h: the moment that long ago (s, m, h or d).
logs_::Moment lastArgument(const std::string& text) {
  long amount = 0;
  const char* end = text.data() + text.size();
  const auto [unit, error] = std::from_chars(text.data(), end, amount);
  const std::string units = "smhd";
  const std::size_t at = unit + 1 == end ? units.find(*unit) : std::string::npos;
  if (error != std::errc() || amount <= 0 || amount > 100000 || at == std::string::npos) {
    throw UsageError("--last: '" + text + "' is no duration (a number and s, m, h or d: 30m, 24h, 7d)");
  }
  static constexpr long kSeconds[] = {1, 60, 3600, 86400};
  const logs_::Moment now = nowMoment();
  const long long since = now.days * 86400LL + now.second - amount * kSeconds[at];
  const long long days = since >= 0 ? since / 86400 : (since - 86399) / 86400;
  return {static_cast<int>(days), static_cast<int>(since - days * 86400)};
}

logs_::PluginRange rangeArgument(const std::string& text, const std::string& what) {
  const auto range = logs_::parsePluginRange(text);
  if (!range) throw UsageError(what + ": '" + text + "' is no range (10, 10:, ~:10, 10:20 or @10:20)");
  return *range;
}

// A check that could not look says so in the plugin's words and is UNKNOWN, whatever the reason.
[[noreturn]] void checkUnknown(const std::string& reason) {
  reportProblem(reason);
  try {
    writeOutput("ORVACCT LOGS UNKNOWN - " + reason + "\n");
    finishOutput();
  } catch (const ToolError&) {
    // The output itself failed, and was told above: still UNKNOWN.
  }
  throw ExitStatus(static_cast<int>(logs_::PluginState::Unknown));
}

void runCheck(const LogsOptions& given, const logs_::ScanSettings& settings) {
  logs_::Filters filters = filtersOf(given);
  std::optional<logs_::Moment> from;
  std::string window = "in all the logs";
  if (!given.last.empty()) {
    from = lastArgument(given.last);
    filters.since = std::max(filters.since.value_or(from->days), from->days);
    window = "in the last " + given.last;
  } else if (!given.since.empty()) {
    window = "since " + given.since;
  }
  std::optional<logs_::PluginRange> warning, critical;
  if (!given.warning.empty()) warning = rangeArgument(given.warning, "--warning");
  if (!given.critical.empty()) critical = rangeArgument(given.critical, "--critical");
  const std::vector<logs_::GroupBy> by = given.by.empty() ? std::vector<logs_::GroupBy>() : groupKeysOf(given.by);
  logs_::CheckCounter counter(from, by);
  const logs_::ScanCounts counts = logs_::scanLogs(rootsOf(given), filters, counter, settings);
  const logs_::CheckFigures figures = counter.figures(5);
  logs_::CheckReport report{logs_::PluginState::Unknown, window, given.warning, given.critical, !by.empty(),
                            counts.notRead};
  if (counts.allRead) {
    report.state = logs_::pluginState(static_cast<double>(logs_::measured(figures, report.grouped)), warning, critical);
  }
  writeOutput(logs_::pluginOutput(figures, report));
  finishOutput();
  if (report.state != logs_::PluginState::Ok) throw ExitStatus(static_cast<int>(report.state));
}

CLI::App* verb(CLI::App& logs, const char* name, const char* description, LogsOptions& options) {
  CLI::App* command = logs.add_subcommand(name, description);
  options.command = command;
  options.pathOption =
      command->add_option("PATH", options.paths, "Log files, Logs folders, or folders searched for log files")
          ->required()
          ->transform(pathAsMeant());
  options.codePageOption =
      command
          ->add_option("--code-page", options.codePages,
                       "The code page the logs of the paths after it were written in (1251, 932, 65001, ...); "
                       "repeatable")
          ->allow_extra_args(false);
  command->add_option("--since", options.since, "Records of this day (YYYY-MM-DD) and later");
  command->add_option("--until", options.until, "Records of this day (YYYY-MM-DD) and earlier");
  command->add_option("--app", options.apps, "This application only (as in the file name, any case); repeatable")
      ->allow_extra_args(false);
  command
      ->add_option("--machine", options.machines,
                   "This machine only (the first folder below a path, any case); repeatable")
      ->allow_extra_args(false);
  command->add_option("--number", options.numbers, "This error number only (decimal or 0x hex); repeatable")
      ->allow_extra_args(false);
  command->add_option("--threads", options.threads, "Files read at once (default: one per processor)")
      ->check(CLI::Range(1u, 64u));
  command->add_flag("--quiet", options.quiet, "No progress line on a terminal");
  return command;
}

}  // namespace
}  // namespace logs_commands

void addLogsCommands(CLI::App& app) {
  using namespace logs_commands;
  CLI::App* logs =
      commandGroup(app, "logs", "Read the error logs of many applications: records, summaries, an HTML report");

  auto exported = std::make_shared<LogsOptions>();
  exported->format = "jsonl";
  CLI::App* exportCommand = verb(*logs, "export", "One line per record: JSON lines or CSV", *exported);
  exportCommand->add_option("--format", exported->format, "jsonl (default) or csv")
      ->check(CLI::IsMember({"jsonl", "csv"}));
  exportCommand
      ->add_option("--sort", exported->sort,
                   "file (default: each file's records in turn) or time (every record in time order; holds a "
                   "day's records at once)")
      ->check(CLI::IsMember({"file", "time"}));
  exportCommand->callback([exported] {
    ScanTelling scan(*exported);
    const logs_::Filters filters = filtersOf(*exported);
    const std::vector<logs_::Root> roots = rootsOf(*exported);
    binaryMode(stdout);  // CSV's CR LF would otherwise become CR CR LF
    const auto format = exported->format == "csv" ? logs_::ExportFormat::Csv : logs_::ExportFormat::Jsonl;
    const auto order = exported->sort == "time" ? logs_::ExportOrder::Time : logs_::ExportOrder::File;
    finish(*exported, logs_::exportRecords(roots, filters, format, order, scan.settings(), writeOutput));
  });

  auto summarized = std::make_shared<LogsOptions>();
  summarized->format = "table";
  CLI::App* summary = verb(*logs, "summary", "Records counted per group, with first and last seen", *summarized);
  summary->add_option("--by", summarized->by,
                      "Keys to group by, separated by commas: app, machine, number (default), module, procedure, "
                      "version, day, week, month");
  summary->add_option("--format", summarized->format, "table (default), jsonl or csv")
      ->check(CLI::IsMember({"table", "jsonl", "csv"}));
  summary->add_option("--top", summarized->top, "The N largest groups only")->check(CLI::PositiveNumber);
  summary->callback([summarized] {
    ScanTelling scan(*summarized);
    const logs_::Filters filters = filtersOf(*summarized);
    logs_::SummaryOptions options;
    options.by = groupKeysOf(summarized->by);
    options.format = summarized->format == "jsonl" ? logs_::SummaryFormat::Jsonl
                     : summarized->format == "csv" ? logs_::SummaryFormat::Csv
                                                   : logs_::SummaryFormat::Table;
    if (summarized->top > 0) options.top = summarized->top;
    const std::vector<logs_::Root> roots = rootsOf(*summarized);
    binaryMode(stdout);  // CSV's CR LF would otherwise become CR CR LF
    finish(*summarized, logs_::summarizeLogs(roots, filters, options, scan.settings(), writeOutput));
  });

  auto reported = std::make_shared<LogsOptions>();
  CLI::App* report = verb(*logs, "report", "One self-contained HTML file: totals, a chart, sortable tables", *reported);
  report->add_option("--output", reported->output, "The HTML file to write")->required()->transform(pathAsMeant());
  report->add_flag("--overwrite", reported->overwrite, "Replace the output file when it exists");
  report->callback([reported] {
    ScanTelling scan(*reported);
    const logs_::Filters filters = filtersOf(*reported);
    checkDestination(reported->output, reported->overwrite);
    checkNotRead(reported->output, reported->paths);
    // A page to share: made as a shell's redirection would make it, not private as a secret is.
    OutputFile page(reported->output, orv::platform::NewFileAccess::AsUmaskAllows);
    page.write({});  // made before the logs are read, so a page that cannot be written fails at once
    logs_::ReportScope scope{rootsOf(*reported), filterWords(*reported), filters.since, filters.until, madeNow()};
    logs_::ScanCounts counts;
    page.write(logs_::reportPage(scope, filters, scan.settings(), counts));
    page.commit(reported->overwrite);
    reportProblem("report written to " + reported->output);
    finish(*reported, counts);
  });

  auto measured = std::make_shared<LogsOptions>();
  measured->top = 500;
  CLI::App* metrics =
      verb(*logs, "metrics", "The records counted for Prometheus, as a file for a textfile collector", *measured);
  metrics->add_option("--output", measured->output, "The file to write, replaced whole (NAME.prom for a collector)")
      ->required()
      ->transform(pathAsMeant());
  metrics
      ->add_option("--top", measured->top,
                   "At most N series of records by error number, the largest; the rest summed as number=\"other\" "
                   "(default 500)")
      ->check(CLI::PositiveNumber);
  metrics->callback([measured] {
    ScanTelling scan(*measured);
    const logs_::Filters filters = filtersOf(*measured);
    checkDestination(measured->output, true);
    checkNotRead(measured->output, measured->paths);
    logs_::MetricsCounter counter;
    const logs_::ScanCounts counts = logs_::scanLogs(rootsOf(*measured), filters, counter, scan.settings());
    counter.figures().filesRead = counts.filesRead;
    counter.figures().readProblems = counts.notRead;
    const double now = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    // Read by a collector that runs as another user: made as a shell's redirection would make it.
    OutputFile file(measured->output, orv::platform::NewFileAccess::AsUmaskAllows);
    file.write(logs_::metricsExposition(counter.figures(), {measured->top, std::floor(now), secondsOf}));
    file.commit(true);
    if (!counts.allRead) throw FailureAlreadyReported();
  });

  auto checked = std::make_shared<LogsOptions>();
  checked->by.clear();
  CLI::App* check = verb(*logs, "check",
                         "A monitoring plugin (Nagios, Icinga): the records of a window against thresholds; exit "
                         "0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN",
                         *checked);
  check->add_option("--last", checked->last, "Records of this last while only: 30m, 24h, 7d")
      ->excludes(check->get_option("--since"));
  check->add_option("--by", checked->by,
                    "Hold the largest group to the thresholds, grouped by these keys (as summary --by)");
  check->add_option("--warning", checked->warning, "WARNING when the count is outside this range (10, 10:, ~:10, @10:20)");
  check->add_option("--critical", checked->critical, "CRITICAL when the count is outside this range");
  check->callback([checked] {
    ScanTelling scan(*checked);
    try {
      runCheck(*checked, scan.settings());
    } catch (const ExitStatus&) {
      throw;
    } catch (const std::exception& e) {
      checkUnknown(e.what());
    }
  });
}

}  // namespace orvacct
