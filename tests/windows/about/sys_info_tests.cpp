// cmdSysInfo under Wine: the tool found through the real registry (HKLM of the test prefix) is
// started, or the notice is shown; a stand-in written for the tests plays the tool.
#include <filesystem>
#include <fstream>
#include <string>

#include "about_test_support.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

constexpr char kMsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";

std::string ansi(const std::filesystem::path& path) { return path.string(); }

class SysInfoTest : public AboutBoxTest {
 protected:
  // A copy of the stand-in in a folder of its own, under the given name.
  std::filesystem::path placeStandIn(const std::filesystem::path& folder, const char* name) {
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(ORVACCT_STANDIN_PATH, folder / name, std::filesystem::copy_options::overwrite_existing);
    return folder / name;
  }

  struct Outcome {
    int notices = 0;
    std::wstring noticeCaption;
    std::wstring noticeText;
    std::string startedIn;    // the stand-in's show line, "" when none started
    std::string commandLine;  // the stand-in's command line record
  };

  // Clicks cmdSysInfo (the click returns once any notice is closed) and waits for a started
  // stand-in's record in `watched` when no notice came.
  Outcome click(const std::filesystem::path& watched) {
    Outcome outcome;
    const HWND box = openBox();
    if (box == nullptr) {
      ADD_FAILURE() << "no box";
      return outcome;
    }
    NoticeWatcher watcher;
    SendDlgItemMessageW(box, about::kIdSysInfo, BM_CLICK, 0, 0);
    outcome.notices = watcher.seen;
    outcome.noticeCaption = watcher.caption;
    outcome.noticeText = watcher.text;
    EXPECT_FALSE(watcher.icon);
    if (watcher.seen > 0) {
      EXPECT_EQ(std::vector<std::wstring>{L"OK"}, watcher.buttons);
    }
    // Under Wine the record can be seen before it can be opened: the stand-in's rename still
    // holds it for a moment. Waited for until it reads.
    const std::filesystem::path record = watched / "started.txt";
    std::string started = readFile(record);
    if (watcher.seen == 0) pumpUntil([&] { return !(started = readFile(record)).empty(); }, kPatienceMs);
    const std::size_t showLineEnd = started.find('\n') + 1;  // 0 when nothing was recorded
    outcome.startedIn = started.substr(0, showLineEnd);
    outcome.commandLine = started.substr(showLineEnd);
    return outcome;
  }

  ScopedMachineValue path_{kMsinfoKey, "PATH"};
  ScopedMachineValue location_{kLocationKey, "MSINFO"};
  TempFolder folder_;
};

TEST_F(SysInfoTest, TheRegisteredPathIsStartedAsNamedInANormalWindow) {
  // Folders with spaces, as the tool's own has. A program planted where the path reads shorter
  // up to a space would start instead if the path were taken as a command line.
  const std::filesystem::path tool = placeStandIn(folder_.path() / "Common Files" / "MSInfo", "msinfo32.exe");
  placeStandIn(folder_.path(), "Common.exe");
  path_.set(REG_SZ, ansi(tool) + '\0');
  const Outcome outcome = click(tool.parent_path());
  EXPECT_EQ(0, outcome.notices);
  EXPECT_EQ("show=1\n", outcome.startedIn);  // SW_SHOWNORMAL
  EXPECT_EQ("command=\"" + ansi(tool) + "\"\n", outcome.commandLine);
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "started.txt")) << "the planted Common.exe started";
}

TEST_F(SysInfoTest, ExpandableTextAndAKeyThatMayOnlyBeRead) {
  const std::filesystem::path tool = placeStandIn(folder_.path() / "expand", "standin.exe");
  SetEnvironmentVariableA("ORVACCT_SYSINFO_HOME", ansi(tool.parent_path()).c_str());
  path_.set(REG_EXPAND_SZ, "%ORVACCT_SYSINFO_HOME%\\standin.exe");
  EXPECT_EQ("show=1\n", click(tool.parent_path()).startedIn) << "REG_EXPAND_SZ";

  std::filesystem::remove(tool.parent_path() / "started.txt");
  path_.set(REG_SZ, ansi(tool));
  path_.readOnlyForEveryone();
  EXPECT_EQ("show=1\n", click(tool.parent_path()).startedIn) << "read-only key";
}

TEST_F(SysInfoTest, TheToolsFolderIsUsedOnlyWithAnOrdinaryMsinfo32InIt) {
  path_.remove();
  const std::filesystem::path withTool = folder_.path() / "with";
  placeStandIn(withTool, "MSINFO32.EXE");
  location_.set(REG_SZ, ansi(withTool));
  EXPECT_EQ("show=1\n", click(withTool).startedIn);

  const std::filesystem::path without = folder_.path() / "without";
  placeStandIn(without, "standin.exe");
  location_.set(REG_SZ, ansi(without));
  Outcome outcome = click(without);
  EXPECT_EQ(1, outcome.notices) << "no MSINFO32.EXE";
  EXPECT_EQ("", outcome.startedIn);

  const std::filesystem::path hidden = folder_.path() / "hidden";
  SetFileAttributesW(placeStandIn(hidden, "MSINFO32.EXE").c_str(), FILE_ATTRIBUTE_HIDDEN);
  location_.set(REG_SZ, ansi(hidden));
  outcome = click(hidden);
  EXPECT_EQ(1, outcome.notices) << "hidden MSINFO32.EXE";
  EXPECT_EQ("", outcome.startedIn);
}

TEST_F(SysInfoTest, TheNoticeWhenNothingCanBeStarted) {
  path_.remove();
  location_.remove();
  Outcome outcome = click(folder_.path());
  EXPECT_EQ(1, outcome.notices) << "no entries";
  EXPECT_EQ(L"OrvAcctMan", outcome.noticeCaption);
  EXPECT_EQ(L"System Information Is Unavailable At This Time", outcome.noticeText);

  const std::filesystem::path notAProgram = folder_.path() / "notes.txt";
  writeFile(notAProgram, "not a program");
  path_.set(REG_SZ, ansi(notAProgram));
  EXPECT_EQ(1, click(folder_.path()).notices) << "a path that cannot start";

  path_.set(REG_SZ, ansi(folder_.path() / "missing.exe"));
  EXPECT_EQ(1, click(folder_.path()).notices) << "a path to nothing";
}

TEST_F(SysInfoTest, ALongValueCountsAsMissingAnEmptyOneEndsInTheNotice) {
  const std::filesystem::path withTool = folder_.path() / "tools";
  placeStandIn(withTool, "MSINFO32.EXE");
  location_.set(REG_SZ, ansi(withTool));

  path_.set(REG_SZ, std::string(1100, 'x'));
  EXPECT_EQ("show=1\n", click(withTool).startedIn) << "over 1024 bytes: on to the tool's folder";

  std::filesystem::remove(withTool / "started.txt");
  path_.set(REG_SZ, "");
  const Outcome outcome = click(withTool);
  EXPECT_EQ(1, outcome.notices) << "no data at all";
  EXPECT_EQ("", outcome.startedIn);
}

// Alt+S presses cmdSysInfo from the client's own loop.
TEST_F(SysInfoTest, AltSStartsTheTool) {
  const std::filesystem::path tool = placeStandIn(folder_.path() / "keys", "standin.exe");
  path_.set(REG_SZ, ansi(tool));
  ASSERT_NE(nullptr, openBox());
  PostMessageW(GetFocus(), WM_SYSCHAR, 's', 0x20000001);  // bit 29: Alt held
  EXPECT_TRUE(pumpUntil([&] { return std::filesystem::exists(tool.parent_path() / "started.txt"); }, kPatienceMs));
}

}  // namespace
}  // namespace orv::testing
