// The logs report's pure parts, in-process: its quoting and counts, where its chart labels go,
// the busiest day of an error and a bar's day as the page shows them, and the page's bounds,
// from records handed to its builder as a scan would hand them.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "log_reading/chart_labels.h"
#include "log_reading/report.h"
#include "text/code_page.h"

namespace orvacct::logs {
namespace {

// Records handed to the report's builder, one file at a time.
struct Gathering {
  ReportData data;
  ReportBuilder builder{data};

  struct Record {
    std::int32_t number;
    int second;
    std::string module = "modMain";
  };
  void file(const std::string& machine, int day, const std::vector<Record>& records) {
    const LogFile file{machine + "/billing-" + std::to_string(day) + ".log", machine, "billing", machine, day, nullptr};
    builder.beginFile(file);
    std::uint64_t line = 1;
    for (const Record& r : records) {
      orv::log::ReadRecord record;
      record.line = line;
      line += 8;
      record.number = r.number;
      record.secondOfDay = r.second;
      record.description = "<s>spilt</s>";
      record.module = r.module;
      record.procedure = "Sub Main()";
      record.version = "1.2.3";
      builder.record(file, record);
    }
    builder.endFile(file);
  }
  std::string page() const { return reportHtml(data, ReportScope{}, ScanCounts{}); }
};

const ErrorFigures& errorOf(const ReportData& data, std::int32_t number) {
  for (const auto& entry : data.errors.entries()) {
    if (numberOf(entry.key) == number) return entry.payload;
  }
  throw std::out_of_range("no such error");
}

std::vector<int> secondsOf(const DayRecords* day) {
  std::vector<int> seconds;
  for (const RecentRecord& record : day ? day->records : std::vector<RecentRecord>{}) seconds.push_back(record.moment.second);
  return seconds;
}

std::size_t occurrences(const std::string& page, const std::string& text) {
  std::size_t found = 0;
  for (std::size_t at = page.find(text); at != std::string::npos; at = page.find(text, at + 1)) ++found;
  return found;
}

TEST(ReportText, HtmlQuotesEveryCharacterThatCanEndATextOrAnAttribute) {
  const std::pair<std::string, std::string> cases[] = {
      {"<b>", "&lt;b&gt;"}, {"a & b", "a &amp; b"}, {"say \"x\"", "say &quot;x&quot;"},
      {"it's", "it&#39;s"}, {"Übersicht €", "Übersicht €"}, {"", ""},
  };
  for (const auto& [text, quoted] : cases) {
    std::string out;
    appendHtml(out, text);
    EXPECT_EQ(out, quoted) << text;
  }
}

TEST(ReportText, CountsAreGroupedByThousands) {
  const std::pair<std::uint64_t, std::string> cases[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {85, "85"}, {1200000, "1,200,000"},
      {18446744073709551615u, "18,446,744,073,709,551,615"},
  };
  for (const auto& [count, text] : cases) EXPECT_EQ(countText(count), text);
}

// Bars named "bar-000097": ten characters, 70.4 px; the plot of the report's chart.
std::vector<std::string> barNames(std::size_t bars) {
  std::vector<std::string> names;
  for (std::size_t bar = 0; bar < bars; ++bar) {
    char name[32];
    std::snprintf(name, sizeof name, "bar-%06zu", bar);
    names.emplace_back(name);
  }
  return names;
}

TEST(ReportChart, NoLabelOfATimeAxisOverlapsAnotherAndTheLastIsAlwaysThere) {
  for (const std::size_t bars : {1u, 2u, 3u, 7u, 30u, 78u, 98u, 150u, 222u}) {
    const std::vector<std::string> names = barNames(bars);
    const double slot = 892.0 / static_cast<double>(bars);
    const auto labels = timeAxisLabels(names, 56, slot, 948);
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front().text, names.back()) << bars;
    for (std::size_t i = 0; i < labels.size(); ++i) {
      EXPECT_GE(labels[i].left(), 56) << bars;
      EXPECT_LE(labels[i].right(), 948) << bars;
      for (std::size_t j = i + 1; j < labels.size(); ++j) {
        EXPECT_TRUE(labels[i].right() < labels[j].left() || labels[j].right() < labels[i].left())
            << bars << " bars: " << labels[i].text << " and " << labels[j].text;
      }
    }
  }
}

// 98 days, the share where the last two labels ran into each other: a slot of 9.1 px, every
// ninth bar labelled back from the last, which ends at the edge (877.6 px) and so leaves out
// bar 88 (centred at 861.6 px, reaching 896.8 px).
TEST(ReportChart, NinetyEightDaysAreLabelledEveryNinthBackFromTheLastWhichEndsAtTheEdge) {
  const auto labels = timeAxisLabels(barNames(98), 56, 892.0 / 98, 948);
  std::vector<std::string> texts;
  for (const ChartLabel& label : labels) texts.push_back(label.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"bar-000097", "bar-000079", "bar-000070", "bar-000061", "bar-000052",
                                             "bar-000043", "bar-000034", "bar-000025", "bar-000016", "bar-000007"}));
  EXPECT_EQ(labels.front().anchor, ChartLabel::Anchor::End);
  EXPECT_DOUBLE_EQ(labels.front().x, 948);
}

TEST(ReportBusiestDay, ItsEarliestTwentyRecordsAreListedInTimeOrderAndTheRestCounted) {
  Gathering g;
  g.file("PC1", 100, {{91, 10}, {91, 20}, {91, 30}});
  std::vector<Gathering::Record> spike;
  for (int second = 25; second >= 1; --second) spike.push_back({91, second * 60});
  g.file("PC2", 101, spike);
  std::vector<int> earliest;
  for (int second = 1; second <= 20; ++second) earliest.push_back(second * 60);
  EXPECT_EQ(secondsOf(busiestDay(errorOf(g.data, 91))), earliest);
  const std::string page = g.page();
  EXPECT_NE(page.find("Records of its busiest day, 1970-04-12 (25 records)"), std::string::npos);
  EXPECT_NE(page.find("and 5 more that day"), std::string::npos);
}

// Four days held: day 5 takes day 1's place; day 1, busiest at last, takes day 2's once it has
// as many records again, and lists what came since, its first record counted only.
TEST(ReportBusiestDay, ADayHeldOnlyOnceItHasAsManyRecordsListsWhatCameSince) {
  Gathering g;
  for (int day = 1; day <= 5; ++day) g.file("PC1", day, {{13, day}});
  g.file("PC2", 1, {{13, 100}, {13, 200}, {13, 300}, {13, 400}, {13, 500}});
  const ErrorFigures& error = errorOf(g.data, 13);
  std::set<int> held;
  for (const DayRecords& day : error.days) held.insert(day.day);
  EXPECT_EQ(held, (std::set<int>{1, 3, 4, 5}));
  EXPECT_EQ(busiestDay(error)->day, 1);
  EXPECT_EQ(secondsOf(busiestDay(error)), (std::vector<int>{100, 200, 300, 400, 500}));
  EXPECT_NE(g.page().find("and 1 more that day"), std::string::npos);
}

// Four days of two records held: a fifth takes the earliest's place with its second record,
// which gives it as many, and lists from there.
TEST(ReportBusiestDay, ADayTakesAHeldPlaceWithTheRecordThatGivesItAsMany) {
  Gathering g;
  for (int day = 1; day <= 4; ++day) g.file("PC1", day, {{13, 10}, {13, 20}});
  g.file("PC1", 5, {{13, 30}, {13, 40}});
  std::set<int> held;
  std::vector<int> fifth;
  for (const DayRecords& day : errorOf(g.data, 13).days) {
    held.insert(day.day);
    if (day.day == 5) fifth = secondsOf(&day);
  }
  EXPECT_EQ(held, (std::set<int>{2, 3, 4, 5}));
  EXPECT_EQ(fifth, std::vector<int>{40});
}

// Day 10: PC1 three of 5 and one of 7, PC2 one of 5 and two of 9; day 11: PC1 four of 7.
TEST(ReportDays, ABarShowsItsLargestErrorsAndMachinesTheRestCountedAndOnlyTheBusiestBarsSo) {
  Gathering g;
  g.file("PC1", 10, {{5, 1}, {5, 2}, {5, 3}, {7, 4}});
  g.file("PC2", 10, {{5, 1}, {9, 2}, {9, 3}});
  g.file("PC1", 11, {{7, 1}, {7, 2}, {7, 3}, {7, 4}});
  const ChartPeriod period = chartPeriod(g.data.perDay, std::nullopt, std::nullopt);
  const auto bars = barFigures(g.data, period, 1, 2);
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_TRUE(bars[0].detailed);
  EXPECT_EQ(bars[0].records, 7u);
  EXPECT_EQ(bars[0].errors, (std::vector<std::pair<std::int32_t, std::uint64_t>>{{5, 4}, {9, 2}}));
  EXPECT_EQ(bars[0].moreErrors, 1u);
  EXPECT_EQ(bars[0].machines, (std::vector<std::pair<std::string, std::uint64_t>>{{"PC1", 4}, {"PC2", 3}}));
  EXPECT_EQ(bars[0].moreMachines, 0u);
  EXPECT_FALSE(bars[1].detailed);
  EXPECT_EQ(bars[1].records, 4u);
  EXPECT_TRUE(bars[1].errors.empty());
}

TEST(ReportPage, ARecordsModuleProcedureAndDescriptionNeverBecomeMarkup) {
  Gathering g;
  g.file("<i>PC1</i>", 10, {{5, 1, "<u>modWeb</u>"}});
  const std::string page = g.page();
  for (const char* markup : {"<u>", "<s>", "<i>PC1"}) EXPECT_EQ(page.find(markup), std::string::npos) << markup;
  EXPECT_EQ(occurrences(page, "&lt;u&gt;modWeb"), 3u) << "its places, its busiest day's and latest records";
}

TEST(ReportPage, TheDamagedRecordsListedStopAtTheirBoundAndTheRestAreCounted) {
  Gathering g;
  const LogFile file{"PC1/billing-03052002.log", "PC1", "billing", "PC1", 10, nullptr};
  g.builder.beginFile(file);
  for (std::uint64_t line = 1; line <= 25; ++line) {
    g.builder.damaged(file, {.kind = orv::log::Damage::BadNumber, .line = line * 8});
  }
  g.builder.endFile(file);
  EXPECT_EQ(g.data.damagedListed.size(), ReportData::kDamagedListed);
  const std::string page = g.page();
  EXPECT_EQ(occurrences(page, "record whose Error Number is not a 32-bit number</li>"), 20u);
  EXPECT_NE(page.find("and 5 more: every one is told"), std::string::npos);
}


// Counts and overcounts of a tally's entries, by key.
std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> countsOf(const Tally& tally) {
  std::map<std::string, std::pair<std::uint64_t, std::uint64_t>> counts;
  for (const auto& entry : tally.entries()) counts[entry.key] = {entry.count, entry.overcount};
  return counts;
}

// Two held: c takes the place of a (the least, the older among equals) and inherits its 1; a
// comes back in the place of b, now the least, and inherits its 1; c and a are then found again.
TEST(ReportTally, AKeyTakesTheLeastCountedPlaceAndIsFoundThereAfterwards) {
  Tally tally(2);
  for (const char* key : {"a", "b", "c", "a", "c", "a", "a"}) tally.add(key);
  using Counts = std::map<std::string, std::pair<std::uint64_t, std::uint64_t>>;
  EXPECT_EQ(countsOf(tally), (Counts{{"a", {4, 1}}, {"c", {3, 1}}}));
  EXPECT_TRUE(tally.estimated());
}

// Keys of one to 24 bytes that differ in one byte only, wherever it is, are kept apart, past
// the index's first size.
TEST(ReportTally, KeysDifferingInAnyOneByteAreCountedApart) {
  Tally tally;
  std::vector<std::string> keys;
  for (std::size_t size = 1; size <= 24; ++size) {
    for (std::size_t at = 0; at < size; ++at) keys.push_back(std::string(size, 'x').replace(at, 1, "y"));
  }
  for (int round = 0; round < 2; ++round) {
    for (const std::string& key : keys) tally.add(key);
  }
  ASSERT_EQ(tally.entries().size(), keys.size());
  for (const auto& entry : tally.entries()) EXPECT_EQ(entry.count, 2u) << entry.key;
}

// a a | b b b | c | a into two places: c takes a's 2, then a takes c's 3 (c on top, before b
// among equals), as they would one add at a time.
TEST(ReportTally, ARunIsAddedWithItsCountAsItsAddsOneByOneWouldBe) {
  Tally tally(2);
  TallyRun run;
  for (const char* key : {"a", "a", "b", "b", "b", "c", "a"}) run.add(key, tally);
  run.flush(tally);
  using Counts = std::map<std::string, std::pair<std::uint64_t, std::uint64_t>>;
  EXPECT_EQ(countsOf(tally), (Counts{{"a", {4, 3}}, {"b", {3, 0}}}));
}

// An error's machines, applications and versions count its records, file after file; one that
// takes an error's place in the middle of a file counts only its own.
TEST(ReportTally, AnErrorCountsItsRecordsMachinesAndVersionsAcrossFilesAndPlaces) {
  Gathering g;
  g.file("PC1", 10, {{91, 1}, {13, 2}, {91, 3}});
  g.file("PC2", 10, {{91, 4}});
  std::vector<Gathering::Record> crowd;
  for (std::int32_t number = 1000; number < 1000 + static_cast<std::int32_t>(ReportData::kErrorsCounted); ++number) {
    crowd.push_back({number, 5});
  }
  crowd.push_back({7, 6});
  crowd.push_back({7, 7});
  g.file("PC3", 11, crowd);
  using Counts = std::map<std::string, std::pair<std::uint64_t, std::uint64_t>>;
  const ErrorFigures& error = errorOf(g.data, 91);
  EXPECT_EQ(countsOf(error.machines), (Counts{{"PC1", {2, 0}}, {"PC2", {1, 0}}}));
  EXPECT_EQ(countsOf(error.apps), (Counts{{"billing", {3, 0}}}));
  EXPECT_EQ(countsOf(error.versions), (Counts{{"1.2.3", {3, 0}}}));
  EXPECT_EQ(countsOf(errorOf(g.data, 7).machines), (Counts{{"PC3", {2, 0}}}));
}

// Text is converted only when it holds a byte past ASCII, wherever that byte is.
TEST(ReportText, AByteBeyondAsciiAnywhereIsConverted) {
  const auto lookup = orv::text::codePageNamed("WINDOWS-1252");
  const orv::text::CodePage* codePage = std::get<std::unique_ptr<orv::text::CodePage>>(lookup).get();
  for (std::size_t at = 0; at < 19; ++at) {
    std::string ansi(19, 'a');
    ansi[at] = '\xE9';  // é in code page 1252
    std::string utf8(19, 'a');
    utf8.replace(at, 1, "\xC3\xA9");
    EXPECT_EQ(utf8FromAnsi(ansi, codePage), utf8) << at;
  }
}

}  // namespace
}  // namespace orvacct::logs
