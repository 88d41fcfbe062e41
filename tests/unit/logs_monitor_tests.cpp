// The monitoring pieces of the log commands, in-process: threshold ranges as the monitoring-plugins
// guidelines define them, the plugin's line, and the Prometheus exposition with its escaping and
// its bound on series.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "log_reading/log_check.h"
#include "log_reading/log_metrics.h"
#include "log_reading/plugin_range.h"

namespace orvacct::logs {
namespace {

struct RangeCase {
  const char* range;
  double value;
  bool alerts;
};

// From the guidelines' table: "10" is outside 0..10, "10:" below 10, "~:10" above 10, "10:20"
// outside 10..20, "@10:20" inside 10..20, the ends belonging to the range.
TEST(PluginRange, AlertsAsTheGuidelinesSay) {
  const std::vector<RangeCase> cases = {
      {"10", -1, true},       {"10", 0, false},       {"10", 10, false},      {"10", 11, true},
      {"10:", 9, true},       {"10:", 10, false},     {"10:", 1e12, false},   {"~:10", -1e12, false},
      {"~:10", 10, false},    {"~:10", 11, true},     {"10:20", 9, true},     {"10:20", 10, false},
      {"10:20", 20, false},   {"10:20", 21, true},    {"@10:20", 9, false},   {"@10:20", 10, true},
      {"@10:20", 20, true},   {"@10:20", 21, false},  {"@10", -1, false},     {"@10", 0, true},
      {"@10", 10, true},      {"@10", 11, false},     {"0.5:1.5", 1, false},  {"0.5:1.5", 2, true},
      {"-10:-5", -7, false},  {"-10:-5", -4, true},   {"~:", 1e12, false},    {"0", 1, true},
  };
  for (const RangeCase& c : cases) {
    const auto range = parsePluginRange(c.range);
    ASSERT_TRUE(range) << c.range;
    EXPECT_EQ(range->alerts(c.value), c.alerts) << c.range << " at " << c.value;
  }
}

TEST(PluginRange, RefusesWhatIsNoRange) {
  for (const char* text : {"", "@", "~", "20:10", "abc", "10:20:30", "1e999", "10 ", "@@10", "10:x"}) {
    EXPECT_FALSE(parsePluginRange(text)) << text;
  }
}

TEST(PluginOutput, StatusLineWithPerformanceData) {
  const CheckFigures figures{42, 3, 6, {{"WS-0712", 30}, {"WS|01\n", 12}}};  // a name cannot end the line or begin its data
  CheckReport report{PluginState::Warning, "since 2026-11-10", "20", "100", true, 0};
  EXPECT_EQ(pluginOutput(figures, report),
            "ORVACCT LOGS WARNING - 42 records since 2026-11-10 (largest: WS-0712 30) | records=42;;;0 "
            "largest=30;20;100;0 damaged=3;;;0 machines=6;;;0\nWS-0712: 30\nWS 01 : 12\n");
  report.grouped = false;
  report.notRead = 2;
  report.state = PluginState::Unknown;
  EXPECT_EQ(pluginOutput({1, 0, 1, {}}, report),
            "ORVACCT LOGS UNKNOWN - 2 not read under the paths (see standard error); 1 record since 2026-11-10 | "
            "records=1;20;100;0 damaged=0;;;0 machines=1;;;0\n");
}

TEST(Exposition, LabelValuesEscapeBackslashQuoteAndLineFeed) {
  std::string out;
  appendLabelValue(out, "a\\b\"c\nd\re\xc3\xbc");
  EXPECT_EQ(out, "a\\\\b\\\"c\\nd\re\xc3\xbc");
}

// The files' records by number: 7 of -1 and 1 of 5 on PC1, 4 of 9 and 2 of 5 on PC2; with
// --top 2 the two largest stay and the rest of each source is one "other" series.
TEST(Exposition, KeepsTheLargestSeriesAndSumsTheRest) {
  MetricsFigures figures;
  figures.sources[{"app", "PC1"}] = {{{-1, 7}, {5, 1}}, 2, {}};
  figures.sources[{"app", "PC2"}] = {{{5, 2}, {9, 4}}, 0, {}};
  figures.sources[{"app", "PC2"}].seen.add({1, 3600});
  figures.filesRead = 3;
  figures.readProblems = 1;
  const std::string text = metricsExposition(figures, {2, 1700000000, [](const Moment& m) {
                                                         return m.days * 86400.0 + m.second;
                                                       }});
  std::string samples;  // every line but the HELP and TYPE lines, which say the same of any figures
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    if (text[at] != '#') samples.append(text, at, end + 1 - at);
  }
  EXPECT_EQ(samples,
            "orvacct_log_records{app=\"app\",machine=\"PC1\",number=\"-1\"} 7\n"
            "orvacct_log_records{app=\"app\",machine=\"PC2\",number=\"9\"} 4\n"
            "orvacct_log_records{app=\"app\",machine=\"PC1\",number=\"other\"} 1\n"
            "orvacct_log_records{app=\"app\",machine=\"PC2\",number=\"other\"} 2\n"
            "orvacct_log_damaged_records{app=\"app\",machine=\"PC1\"} 2\n"
            "orvacct_log_damaged_records{app=\"app\",machine=\"PC2\"} 0\n"
            "orvacct_log_last_record_timestamp_seconds{app=\"app\",machine=\"PC2\"} 90000\n"
            "orvacct_log_files_read 3\norvacct_log_read_problems 1\norvacct_log_scrape_timestamp_seconds 1700000000\n");
}

}  // namespace
}  // namespace orvacct::logs
