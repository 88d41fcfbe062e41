// The log reading's pure parts in-process, against answers worked out by hand: the chart's value
// axis and period, the bounded count of groups, the keys records are grouped by, and records
// exported in time order across files. Day numbers count from 1970-01-01 (11751 is 2002-03-05).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "log_reading/group_keys.h"
#include "log_reading/heavy_hitters.h"
#include "log_reading/log_export.h"
#include "log_reading/report.h"
#include "support/log_records.h"
#include "text/code_page.h"

namespace orvacct::logs {
namespace {

orv::log::ReadRecord recordOf(std::int32_t number, std::string_view module = "modMain", std::uint64_t line = 1) {
  orv::log::ReadRecord record;
  record.line = line;
  record.number = number;
  record.module = module;
  record.procedure = "Sub Main()";
  record.version = "1.2.3";
  return record;
}

TEST(LogReadingChart, TheValueAxisStepsBy1_2Or5TimesAPowerOfTenInAtMostFiveStepsToTheLargestOrJustAbove) {
  struct Case {
    std::uint64_t largest, step, top;
  };
  const std::vector<Case> cases = {{0, 1, 1},    {1, 1, 1},         {5, 1, 5},        {6, 2, 6},
                                   {8, 2, 8},    {10, 2, 10},       {11, 5, 15},      {23, 5, 25},
                                   {26, 10, 30}, {1000, 200, 1000}, {1001, 500, 1500}};
  for (const Case& c : cases) {
    const ValueAxis axis = valueAxis(c.largest);
    EXPECT_EQ(std::tie(axis.step, axis.top), std::tie(c.step, c.top)) << c.largest;
  }
}

// The chart's grid as the page draws it, from 0 to the top line.
TEST(LogReadingChart, ThePageLabelsEveryGridLineOfTheValueAxis) {
  struct Case {
    std::uint64_t records;
    std::vector<std::string> labels;
  };
  const LogFile file{"PC1/billing-03052002.log", "PC1", "billing", "PC1", 11751, nullptr};
  for (const Case& c : std::vector<Case>{{1, {"0", "1"}},
                                         {8, {"0", "2", "4", "6", "8"}},
                                         {11, {"0", "5", "10", "15"}},
                                         {23, {"0", "5", "10", "15", "20", "25"}}}) {
    ReportData data;
    ReportBuilder builder(data);
    builder.beginFile(file);
    for (std::uint64_t i = 0; i < c.records; ++i) builder.record(file, recordOf(91, "modMain", 1 + 8 * i));
    builder.endFile(file);
    const std::string page = reportHtml(data, ReportScope{}, ScanCounts{});
    const std::size_t chart = page.find("<svg class=\"chart\"");
    const std::string svg = page.substr(chart, page.find("</svg>", chart) - chart);
    const std::regex label("text-anchor=\"end\">([^<]*)</text>");
    std::vector<std::string> labels;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), label); it != std::sregex_iterator(); ++it) {
      labels.push_back((*it)[1]);
    }
    EXPECT_EQ(labels, c.labels) << c.records << " records";
  }
}

// 892 pixels of plot at 4 a bar: up to 223 days a day a bar, then weeks (from Monday), months.
TEST(LogReadingChart, ThePeriodIsTheBusiestRunOfDaysInBarsAtLeastFourPixelsWide) {
  using Unit = ChartPeriod::Unit;
  struct Case {
    std::map<int, std::uint64_t> perDay;
    std::optional<int> since, until;
    Unit unit;
    std::size_t bars;
    int first, last, end;
    std::vector<std::pair<int, std::uint64_t>> outside;
    std::string firstLabel;
  };
  // 2002-03-01 (a Friday) to 2007-08-22, no gap of a year: 287 weeks, 66 months.
  std::map<int, std::uint64_t> fiveYears;
  for (int day = 11747; day < 13747; day += 300) fiveYears[day] = 1;
  fiveYears[13747] = 1;
  const std::vector<Case> cases = {
      {{{11751, 1}, {11753, 2}}, {}, {}, Unit::Day, 3, 11751, 11753, 11754, {}, "2002-03-05"},
      {{{11751, 1}}, 11745, 11755, Unit::Day, 11, 11745, 11755, 11756, {}, "2002-02-27"},
      {{{11750, 1}, {11972, 1}}, {}, {}, Unit::Day, 223, 11750, 11972, 11973, {}, "2002-03-04"},
      {{{11750, 1}, {11973, 1}}, {}, {}, Unit::Week, 32, 11750, 11750 + 7 * 31, 11974, {}, "2002-W10"},
      {fiveYears, {}, {}, Unit::Month, 66, 11747, 13726, 13757, {}, "2002-03"},
      // A clock gone wrong: 0100-01-01, far from the rest, is told, not drawn.
      {{{-683003, 1}, {11751, 5}, {11752, 1}}, {}, {}, Unit::Day, 2, 11751, 11752, 11753, {{-683003, 1}}, "2002-03-05"},
      // Two runs as busy: the later is drawn.
      {{{11751, 2}, {13000, 2}}, {}, {}, Unit::Day, 1, 13000, 13000, 13001, {{11751, 2}}, "2005-08-05"},
  };
  for (const Case& c : cases) {
    const ChartPeriod period = chartPeriod(c.perDay, c.since, c.until);
    ASSERT_EQ(period.starts.size(), c.bars) << c.firstLabel;
    EXPECT_EQ(period.unit, c.unit) << c.firstLabel;
    EXPECT_EQ(std::tie(period.starts.front(), period.starts.back(), period.end), std::tie(c.first, c.last, c.end));
    EXPECT_EQ(period.outside, c.outside) << c.firstLabel;
    EXPECT_EQ(period.label(0), c.firstLabel);
    EXPECT_EQ(
        std::tuple(period.barOf(c.first - 1), period.barOf(c.first), period.barOf(c.end - 1), period.barOf(c.end)),
        std::tuple(c.bars, 0u, c.bars - 1, c.bars));
  }
}

// Capacity 2. a a b: exact. Then c takes b's place with b's 1 (overcount 1). Five a, then b, c, d,
// e: each newcomer takes the least held place, and a, counted more than 9/2 times, stays.
TEST(LogReadingGroups, CountsAreExactUnderTheBoundAndMarkedAsEstimatesAboveIt) {
  struct Case {
    std::size_t capacity;
    std::string stream;                                                       // a key a character
    std::vector<std::tuple<std::string, std::uint64_t, std::uint64_t>> held;  // key, count, overcount
    bool estimated;
  };
  const std::vector<Case> cases = {
      {2, "aab", {{"a", 2, 0}, {"b", 1, 0}}, false},
      {2, "aabc", {{"a", 2, 0}, {"c", 2, 1}}, true},
      {2, "aaaaabcde", {{"a", 5, 0}, {"e", 4, 3}}, true},
      {0, "abcdefa", {{"a", 2, 0}, {"b", 1, 0}, {"c", 1, 0}, {"d", 1, 0}, {"e", 1, 0}, {"f", 1, 0}}, false},
  };
  for (const Case& c : cases) {
    HeavyHitters<int> table(c.capacity);
    for (const char key : c.stream) table.add(std::string(1, key));
    std::vector<std::tuple<std::string, std::uint64_t, std::uint64_t>> held;
    for (const auto& entry : table.entries()) held.emplace_back(entry.key, entry.count, entry.overcount);
    std::sort(held.begin(), held.end());
    EXPECT_EQ(held, c.held) << c.stream;
    EXPECT_EQ(table.estimated(), c.estimated) << c.stream;
  }
}

// 2021-01-01 (day 18628) is a Friday of ISO week 53 of 2020.
TEST(LogReadingGroups, EveryKeyIsPackedAndReadBackAsShown) {
  std::vector<GroupBy> every;
  for (const std::string& name : groupByNames()) every.push_back(*groupByNamed(name));
  const LogFile file{"PC07/billing-01012021.log", "PC07", "billing", "PC07", 18628, nullptr};
  const std::string longModule(600, 'm');
  const orv::log::ReadRecord record = recordOf(-2147467259, longModule);
  GroupKeys keys(every);
  keys.beginFile(file);
  std::vector<std::string> shown;
  for (const KeyValue& value : keys.decode(keys.of(file, record))) shown.push_back(value.text);
  EXPECT_EQ(shown, (std::vector<std::string>{"billing", "PC07", "-2147467259", std::string(512, 'm') + "\u2026",
                                             "Sub Main()", "1.2.3", "2021-01-01", "2020-W53", "2021-01"}));
  GroupKeys fileKeys({GroupBy::Machine, GroupBy::Month});
  fileKeys.beginFile(file);
  EXPECT_TRUE(fileKeys.fileLevel());
  EXPECT_EQ(fileKeys.of(file, record), fileKeys.ofFile());
  // A week's days, Monday 2020-12-28 to Sunday 2021-01-03, are one group; the next Monday is not.
  GroupKeys weeks({GroupBy::Week});
  const auto weekKey = [&](int day) {
    weeks.beginFile(LogFile{"PC07/billing.log", "PC07", "billing", "PC07", day, nullptr});
    return weeks.ofFile();
  };
  EXPECT_EQ(weekKey(18624), weekKey(18628));
  EXPECT_EQ(weekKey(18630), weekKey(18628));
  EXPECT_NE(weekKey(18631), weekKey(18628));
}

TEST(LogReadingGroups, NoTextPassesForAnotherKeyAndKeysOrderByTheirValues) {
  const LogFile file{"PC1/billing-03052002.log", "PC1", "billing", "PC1", 11751, nullptr};
  GroupKeys keys({GroupBy::Module, GroupBy::Number});
  keys.beginFile(file);
  const auto key = [&](std::string_view module, std::int32_t number) {
    return keys.of(file, recordOf(number, module));
  };
  EXPECT_NE(key("ab", 1), key("a", 1));
  EXPECT_TRUE(keys.less(key("a", 7), key("b", -1)));
  EXPECT_TRUE(keys.less(key("a", -1), key("a", 2))) << "numbers as numbers, not as their bytes";
  EXPECT_FALSE(keys.less(key("a", 2), key("a", 2)));
  // A character of two UTF-8 bytes across the bound is left out whole.
  const auto windows1252 = orv::text::codePageNamed("WINDOWS-1252");
  LogFile western = file;
  western.codePage = std::get<std::unique_ptr<orv::text::CodePage>>(windows1252).get();
  const std::string module = std::string(511, 'a') + "\xE9";
  EXPECT_EQ(keys.decode(keys.of(western, recordOf(0, module)))[0].text, std::string(511, 'a') + "\u2026");
}

// Files of 2002-03-04, 03-05 (two machines) and 03-06; within a day by time of day, the record
// whose time cannot be read first, records of one moment as they were read.
TEST(LogReadingExport, RecordsInTimeOrderAcrossFilesAndMachines) {
  const orv::testing::TempFolder share;
  using orv::testing::logRecord;
  orv::testing::writeLog(share / "PC1/Logs/billing-03052002.log",
                         logRecord(1, "14:07:09", "3/5/2002 2:07:09 PM") +
                             logRecord(1, "09:00", "3/5/2002 9:00:00 AM") +
                             logRecord(1, "first of 11:30", "3/5/2002 11:30:00 AM"));
  orv::testing::writeLog(share / "PC1/Logs/billing-03062002.log", logRecord(1, "next day", "3/6/2002 1:00:00 AM"));
  orv::testing::writeLog(share / "PC2/Logs/billing-03052002.log",
                         logRecord(1, "second of 11:30", "3/5/2002 11:30:00 AM") + logRecord(1, "no time", "soon"));
  orv::testing::writeLog(share / "PC2/Logs/billing-03042002.log", logRecord(1, "day before", "3/4/2002 11:00:00 PM"));
  struct Quiet final : ProblemSink {
    void problem(std::string_view) override {}
    void problemAt(std::string_view, std::uint64_t, std::string_view) override {}
  } problems;
  std::string out;
  exportRecords({{share.path().string(), orv::text::ansiCodePage()}}, {}, ExportFormat::Jsonl, ExportOrder::Time,
                ScanSettings{problems, 2}, [&out](std::string_view rows) { out += rows; });
  std::vector<std::string> order;
  const std::regex description("\"description\":\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(out.begin(), out.end(), description); it != std::sregex_iterator(); ++it) {
    order.push_back((*it)[1]);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"day before", "no time", "09:00", "first of 11:30", "second of 11:30",
                                             "14:07:09", "next day"}));
}

}  // namespace
}  // namespace orvacct::logs
