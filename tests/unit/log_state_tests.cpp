// The log commands with a state (--state): after every change a share of logs goes through, in
// several orders, what each command gives with the state is byte for byte what it gives without,
// its problems included; and a state that is not one, of another version, damaged, hostile or
// in use is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "log/error_log.h"
#include "log_reading/log_check.h"
#include "log_reading/log_metrics.h"
#include "log_reading/log_scan.h"
#include "log_reading/log_state.h"
#include "log_reading/log_summary.h"
#include "log_reading/report.h"
#include "log_reading/state_bytes.h"
#include "log_reading/state_scan.h"
#include "platform/file_lock.h"
#include "support/log_tree.h"
#include "text/code_page.h"

namespace orvacct::logs {
namespace {

namespace fs = std::filesystem;
using orv::testing::readFile;
using orv::testing::TempFolder;
using orv::testing::writeFile;

std::string record(int number, const std::string& description, const std::string& module, const std::string& time) {
  return "+++++++++++++++++++++++++++++++++++++++++\r\nError Description: " + description +
         "\r\nError Number: " + std::to_string(number) + "\r\nModule Name: " + module +
         "\r\nProcedure Name: Sub Main()\r\nVersion Number: 1.2.3\r\nDate: 01.12.2026 " + time + "\r\n\r\n";
}

// Records whose descriptions vary more than a group's description slots hold, so the one shown
// hangs on the order the records came in.
std::string records(int count, int seed) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const int n = (i * 7 + seed) % 13;
    const std::string time = "1" + std::to_string(i % 10) + ":0" + std::to_string((seed + i) % 10) + ":00";
    text += record(n % 3 == 0 ? 5 : 11 + n % 4, "failure " + std::to_string(n), n % 2 ? "modA" : "modB", time);
  }
  return text;
}

void append(const fs::path& file, const std::string& bytes) { writeFile(file, readFile(file) + bytes); }

struct Share {
  TempFolder folder;
  fs::path root = folder / "share";
  fs::path state = folder / "state";

  fs::path log(const std::string& machine, const std::string& name) const { return root / machine / "Logs" / name; }

  Share() {
    orv::testing::writeLog(log("PC01", "billing-11302026.log"), records(30, 1));
    orv::testing::writeLog(log("PC01", "stock-11302026.log"), records(12, 2));
    orv::testing::writeLog(log("PC02", "billing-11302026.log"), records(3, 3));
    orv::testing::writeLog(log("PC02", "stock-12012026.log"), records(20, 4) + "junk between records\r\n" + records(2, 5));
    orv::testing::writeLog(log("PC02", "binary-12012026.log"), std::string("\x01\x02\x03\n", 4));
  }
};

// What a share goes through, one change at a time.
struct Step {
  const char* name;
  std::function<void(Share&)> change;
};

const std::string kHalf = record(7, "cut at the end", "modC", "09:00:00");

std::vector<Step> steps() {
  return {
      {"records appended", [](Share& s) { append(s.log("PC01", "billing-11302026.log"), records(5, 6)); }},
      {"a record cut short at the end",
       [](Share& s) { append(s.log("PC02", "stock-12012026.log"), kHalf.substr(0, kHalf.size() / 2)); }},
      {"the cut record completed",
       [](Share& s) { append(s.log("PC02", "stock-12012026.log"), kHalf.substr(kHalf.size() / 2) + records(1, 7)); }},
      {"a file added", [](Share& s) { orv::testing::writeLog(s.log("PC03", "billing-12022026.log"), records(9, 8)); }},
      {"a file removed", [](Share& s) { fs::remove(s.log("PC01", "stock-11302026.log")); }},
      {"a file rewritten with its size and time kept",
       [](Share& s) {
         const fs::path file = s.log("PC02", "billing-11302026.log");
         const auto time = fs::last_write_time(file);
         std::string text = readFile(file);
         const std::size_t at = text.find("Error Number: 1");
         text[at + 15] = text[at + 15] == '2' ? '3' : '2';
         writeFile(file, text);
         fs::last_write_time(file, time);
       }},
      {"a damaged record and stray lines appended",
       [](Share& s) {
         append(s.log("PC01", "billing-11302026.log"),
                "stray\r\n+++++++++++++++++++++++++++++++++++++++++\r\nError Description: lost\r\nError Number: 3\r\n" +
                    records(2, 9));
       }},
  };
}

// One command as a user would give it, in-process; the settings carry its problem sink and state.
struct Command {
  const char* name;
  std::function<std::string(const std::vector<Root>&, ScanSettings)> run;
};

// The problems a scan tells, a line each.
struct ProblemText final : ProblemSink {
  void problem(std::string_view message) override { (text += message) += '\n'; }
  void problemAt(std::string_view file, std::uint64_t line, std::string_view message) override {
    text += std::string(file) + ":" + std::to_string(line) + ": " + std::string(message) + "\n";
  }
  std::string text;
};

std::string countsText(const ScanCounts& c) {
  std::string text = "\nread";
  for (const auto n : {c.filesRead, c.recordsRead, c.recordsKept, c.damaged, c.notRead, std::uint64_t{c.allRead}}) {
    text += " " + std::to_string(n);
  }
  return text;
}

Command summary(const char* name, std::vector<GroupBy> by, Filters filters, unsigned threads,
                std::optional<std::size_t> top = {}) {
  return {name, [=](const std::vector<Root>& roots, ScanSettings settings) {
            SummaryOptions options;
            options.by = by;
            options.top = top;
            settings.threads = threads;
            ScanCounts counts;
            const std::string text = summaryText(roots, filters, options, settings, counts);
            return text + countsText(counts);
          }};
}

std::vector<Command> commands() {
  Filters billing;
  billing.apps = {u"billing"};
  Filters since;
  since.since = orv::log::dayNumber({2026, 12, 1});
  Filters number;
  number.numbers = {5};
  return {
      summary("summary --by number", {GroupBy::Number}, {}, 1),
      summary("summary --by app,machine,day", {GroupBy::App, GroupBy::Machine, GroupBy::Day}, {}, 2),
      summary("summary --by module,procedure,version --number 5",
              {GroupBy::Module, GroupBy::Procedure, GroupBy::Version}, number, 2),
      summary("summary --by number,machine --top 2", {GroupBy::Number, GroupBy::Machine}, {}, 1, 2),
      summary("summary --app billing", {GroupBy::Number}, billing, 2),
      summary("summary --since 2026-12-01 --by week", {GroupBy::Week}, since, 1),
      {"report", [](const std::vector<Root>& roots, ScanSettings settings) {
         ScanCounts counts;
         settings.threads = 2;
         const ReportData data = gatherReport(roots, {}, counts, settings);
         return reportHtml(data, ReportScope{roots, {}, {}, {}, "2026-12-08 07:00"}, counts) + countsText(counts);
       }},
      {"metrics", [](const std::vector<Root>& roots, ScanSettings settings) {
         MetricsCounter counter;
         settings.threads = 1;
         const ScanCounts counts = scanLogs(roots, {}, counter, settings);
         counter.figures().filesRead = counts.filesRead;
         counter.figures().readProblems = counts.notRead;
         const auto seconds = [](const Moment& m) { return m.days * 86400.0 + m.second; };
         return metricsExposition(counter.figures(), {2, 0, seconds}) + countsText(counts);
       }},
      {"check --last --by machine", [](const std::vector<Root>& roots, ScanSettings settings) {
         CheckCounter counter(Moment{orv::log::dayNumber({2026, 11, 30}), 12 * 3600}, {GroupBy::Machine});
         settings.threads = 2;
         const ScanCounts counts = scanLogs(roots, {}, counter, settings);
         return pluginOutput(counter.figures(5), CheckReport{PluginState::Ok, "in the last 1d", "", "", true, 0}) +
                countsText(counts);
       }},
  };
}

std::vector<Root> rootsOf(const Share& share) {
  auto page = std::get<std::unique_ptr<orv::text::CodePage>>(orv::text::codePageNamed("1252"));
  return {Root{share.root.string(), std::move(page)}};
}

// What the command gave, and the problems it told.
std::string runTold(const Command& command, const std::vector<Root>& roots, ScanState* state = nullptr) {
  ProblemText problems;
  std::string out = command.run(roots, ScanSettings{problems, 0, nullptr, state});
  return out + "\n-- problems --\n" + problems.text;
}

std::string runWithState(const Command& command, const std::vector<Root>& roots, const fs::path& state) {
  ScanState scanState(state, false);
  std::string out = runTold(command, roots, &scanState);
  if (const auto bytes = scanState.serialized()) writeFile(state, *bytes);
  return out;
}

// Where two outputs part, with a little of each around it; empty when they are the same.
std::string difference(const std::string& with, const std::string& without) {
  if (with == without) return {};
  const auto parted = std::mismatch(with.begin(), with.end(), without.begin(), without.end());
  const std::size_t at = static_cast<std::size_t>(parted.first - with.begin());
  const std::size_t from = at < 200 ? 0 : at - 200;
  return "with the state: ..." + with.substr(from, 400) + "\nwithout: ..." + without.substr(from, 400);
}

void expectSameWithState(Share& share, const std::string& after) {
  const std::vector<Root> roots = rootsOf(share);
  for (const Command& command : commands()) {
    const std::string without = runTold(command, roots);
    EXPECT_EQ(difference(runWithState(command, roots, share.state), without), "") << command.name << " after " << after;
    // Once more over the state just saved: nothing changed, nothing read.
    EXPECT_EQ(difference(runWithState(command, roots, share.state), without), "")
        << command.name << " again after " << after;
  }
}

void runInOrder(const std::vector<std::size_t>& order) {
  Share share;
  expectSameWithState(share, "the first run");
  const std::vector<Step> all = steps();
  std::string done;
  for (const std::size_t index : order) {
    all[index].change(share);
    done += std::string(done.empty() ? "" : ", ") + all[index].name;
    expectSameWithState(share, done);
  }
}

TEST(LogState, EveryCommandGivesWhatAFullReadingGivesAsTheShareChanges) { runInOrder({0, 1, 2, 3, 4, 5, 6}); }

TEST(LogState, TheSameInOtherOrders) {
  // The cut record is completed after it was cut; everything else in any order.
  for (const auto& order : std::vector<std::vector<std::size_t>>{
           {6, 5, 4, 3, 1, 2, 0}, {3, 1, 5, 0, 2, 6, 4}, {1, 2, 1, 2, 5, 5, 0}, {4, 6, 0, 0, 1, 3, 2}}) {
    runInOrder(order);
  }
}

TEST(LogState, FilesLeftOutByAFilterAreKeptAndThoseGoneAreDropped) {
  Share share;
  Filters billing;
  billing.apps = {u"billing"};
  const Command all = summary("all", {GroupBy::Number}, {}, 1);
  const Command some = summary("billing", {GroupBy::Number}, billing, 1);
  const std::vector<Root> roots = rootsOf(share);
  runWithState(all, roots, share.state);
  runWithState(some, roots, share.state);
  fs::remove(share.log("PC02", "stock-12012026.log"));
  runWithState(some, roots, share.state);
  std::multiset<std::string> kept;
  for (const auto& file : parseLogState(readFile(share.state))) kept.insert(fs::path(file->path).filename().string());
  EXPECT_EQ(kept, (std::multiset<std::string>{"billing-11302026.log", "billing-11302026.log", "binary-12012026.log",
                                               "stock-11302026.log"}));
}

std::string savedState(const Share& share) {
  runWithState(commands().front(), rootsOf(share), share.state);
  return readFile(share.state);
}

std::string refusal(std::string_view bytes) {
  try {
    parseLogState(bytes);
  } catch (const StateRefused& e) {
    return e.what();
  }
  return "taken";
}

TEST(LogStateFile, OneNotOfThisToolOrOfAnotherVersionIsRefused) {
  EXPECT_EQ(refusal(""), "is not a state of orvacct logs");
  EXPECT_EQ(refusal("count,first,last\n1,2,3\n"), "is not a state of orvacct logs");
  EXPECT_EQ(refusal("orvacct log state 2\nxxxxxxxx"), "is a state of another version of orvacct (its format 2, this one's 1)");
  EXPECT_EQ(refusal("orvacct log state 1"), "is a state of another version of orvacct (its format , this one's 1)");
}

TEST(LogStateFile, EveryTruncationAndAnyChangedByteIsRefused) {
  Share share;
  const std::string bytes = savedState(share);
  ASSERT_EQ(refusal(bytes), "taken");
  for (std::size_t size = 0; size < bytes.size(); size += 1 + size / 64) {
    EXPECT_NE(refusal(bytes.substr(0, size)), "taken") << size;
  }
  for (std::size_t at = std::string(kStateMagic).size() + 2; at < bytes.size(); at += 97) {
    std::string changed = bytes;
    changed[at] = static_cast<char>(changed[at] ^ 0x20);
    EXPECT_NE(refusal(changed), "taken") << at;
  }
}

// Bytes that hold together (their checksum is right) but say what cannot be.
std::string forged(std::string_view rest) {
  std::string out = std::string(kStateMagic) + "1\n";
  putFixed(out, bytesChecksum(rest));
  return out + std::string(rest);
}

TEST(LogStateFile, AHostileStateIsRefusedWithoutFollowingWhatItSays) {
  std::string huge;
  putNumber(huge, std::uint64_t{1} << 60);
  EXPECT_EQ(refusal(forged(huge)), "is damaged (a count past its end)");
  const auto oneFile = [](const std::string& events, std::uint64_t eventCount) {
    // One body: number 5 (zigzagged), no cut lines, the texts d, m, p and v.
    FileState file{"PC01-12012026.log", "", {}, 0, 0, {}, {std::string("\x0A\x00\x01" "d\x01m\x01p\x01v", 10), {0}, events, eventCount}};
    return serializedLogState({std::make_shared<const FileState>(std::move(file))});
  };
  // A record of the second text, of which there is one; a problem of a kind there is not.
  EXPECT_EQ(refusal(oneFile(std::string("\x02\x02\x02", 3), 1)), "is damaged (a record of no known text)");
  EXPECT_EQ(refusal(oneFile(std::string("\x7F\x02\x00\x00\x00", 5), 1)), "is damaged (a problem of no known kind)");
  EXPECT_EQ(refusal(oneFile(std::string("\x00\x02\x02", 3), 1000)), "is damaged (more events than bytes)");
  EXPECT_EQ(refusal(oneFile(std::string("\x00\x02\x02\x00", 4), 1)), "is damaged (bytes after a file's events)");
  EXPECT_EQ(refusal(oneFile(std::string("\x00\x02\x02", 3), 1)), "taken");
}

// Bytes asked of the heap while counting (this program's operator new counts them).
std::atomic<bool> counting{false};
std::atomic<std::size_t> asked{0};

std::size_t askedToParse(const std::string& bytes) {
  asked = 0;
  counting = true;
  const auto files = parseLogState(bytes);
  counting = false;
  return asked;
}

TEST(LogStateFile, WhatAStateIsParsedIntoIsASmallMultipleOfItsBytes) {
  const auto stateOf = [](std::size_t files, std::size_t bodies, std::size_t description) {
    std::vector<std::shared_ptr<const FileState>> all;
    for (std::size_t f = 0; f < files; ++f) {
      auto file = std::make_shared<FileState>();
      file->path = "A-12012026.log";
      std::string body;
      putBody(body, orv::log::ReadRecord{0, 0, std::string(description, 'd'), "", "", ""});
      for (std::size_t b = 0; b < bodies; ++b) {
        file->contribution.bodyAt.push_back(file->contribution.bodies.size());
        file->contribution.bodies += body;
      }
      all.push_back(std::move(file));
    }
    return serializedLogState(all);
  };
  const struct {
    const char* shape;
    std::string bytes;
  } cases[] = {
      {"many files of nothing", stateOf(40000, 0, 0)},
      {"many bodies of empty texts", stateOf(1, 200000, 0)},
      {"many bodies of texts just past the string's own room", stateOf(1, 50000, 16)},
      {"one long text", stateOf(1, 1, 1 << 20)},
  };
  for (const auto& c : cases) {
    const std::size_t bytes = c.bytes.size();
    EXPECT_LE(askedToParse(c.bytes), 8 * bytes + (64 << 10)) << c.shape << " of " << bytes << " bytes";
  }
}

// The tool itself: what it says of a state it refuses, and that --rebuild-state starts anew.
TEST(LogStateTool, ARefusedStateIsNamedWithTheWayOutAndRebuildingIt) {
  Share share;
  writeFile(share.state, "not a state\n");
  const std::string arguments = "summary --state " + orv::testing::quoted(share.state) + " " + orv::testing::quoted(share.root);
  const auto refused = orv::testing::runLogs(arguments);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "orvacct: " + share.state.string() +
                             " is not a state of orvacct logs; give --rebuild-state, or delete it, to start again\n");
  const auto plain = orv::testing::runLogs("summary " + orv::testing::quoted(share.root));
  const auto rebuilt = orv::testing::runLogs(arguments + " --rebuild-state");
  EXPECT_EQ(rebuilt.out, plain.out);
  EXPECT_EQ(rebuilt.exitCode, plain.exitCode);
  EXPECT_EQ(refusal(readFile(share.state)), "taken");
  EXPECT_EQ(orv::testing::runLogs(arguments).out, plain.out);
}

TEST(LogStateTool, ARunOnAStateAnotherRunHoldsIsRefusedAndLeavesItAsItWas) {
  Share share;
  const std::string before = savedState(share);
  fs::path lock = share.state;
  lock += ".lock";
  const auto held = orv::platform::FileLock::tryTake(lock);
  ASSERT_TRUE(held);
  const auto run = orv::testing::runLogs("metrics --output " + orv::testing::quoted(share.folder / "m.prom") +
                                         " --state " + orv::testing::quoted(share.state) + " " +
                                         orv::testing::quoted(share.root));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "orvacct: " + share.state.string() + " is in use by another run (its lock " + lock.string() +
                         " is held); try again when it has ended\n");
  EXPECT_FALSE(fs::exists(share.folder / "m.prom"));
  EXPECT_EQ(readFile(share.state), before);
}

}  // namespace
}  // namespace orvacct::logs

namespace {
void* counted(std::size_t size) noexcept {
  if (orvacct::logs::counting) orvacct::logs::asked += size;
  return std::malloc(size == 0 ? 1 : size);
}
}  // namespace

// Arrays are left to the runtime's own pair.
void* operator new(std::size_t size) {
  if (void* block = counted(size)) return block;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
