// Many writers of one application's log at once: threads of one process, each with its own
// instance in its own apartment, then processes, then a writer kept waiting by another process
// that holds the append lock and dies with it, and one beside a program that denies reading. Every record must land
// exactly once and whole, whatever the platform's own append does (Wine's is not atomic). The program re-launches
// itself to give the other processes: see main().
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "com_test_support.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

constexpr int kRecordsPerWriter = 1500;
constexpr wchar_t kAppName[] = L"Crowd";
constexpr char kPlusLine[] = "+++++++++++++++++++++++++++++++++++++++++";

// The description repeats the number, so a record made of two writers' lines shows; its length
// keeps each write long enough for appends that are not atomic to meet.
const std::string kFiller(2000, '.');
std::wstring descriptionOf(int number) {
  return L"crowd record " + std::to_wstring(number) + L" " + std::wstring(kFiller.begin(), kFiller.end());
}

// Holds writers until all of them are ready, so that they write at the same time
// (std::latch left writers waiting for good here, under Wine with this toolchain).
class StartGate {
 public:
  explicit StartGate(int writers) : waiting_(writers) {}
  void arriveAndWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (--waiting_ == 0) allReady_.notify_all();
    allReady_.wait(lock, [this] { return waiting_ == 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable allReady_;
  int waiting_;
};

// Records first .. first + count - 1 through a new instance in this thread's own apartment,
// starting when all the writers of the start gate are ready; false when any call fails.
bool writeRecords(const std::wstring& appPath, int first, int count, StartGate* startGate = nullptr) {
  const Apartment apartment;
  const ComPtr<_clsOrvAcctMan> object = createComponent();
  if (startGate != nullptr) startGate->arriveAndWait();
  if (!object) return false;
  Bstr path(appPath);
  Bstr name(kAppName);
  Bstr module(L"modCrowd");
  Bstr procedure(L"Sub Crowd()");
  Bstr major(L"1");
  Bstr minor(L"2");
  Bstr revision(L"3");
  bool allSucceeded = true;
  for (int n = first; n < first + count; ++n) {
    LONG number = n;
    Bstr description(descriptionOf(n));
    allSucceeded &= object->LogErrors(path.ref(), name.ref(), &number, description.ref(), module.ref(), procedure.ref(),
                                      major.ref(), minor.ref(), revision.ref()) == S_OK;
  }
  return allSucceeded;
}

struct Tally {
  std::map<int, int> timesSeen;
  int broken = 0;  // runs of lines that are not one whole record

  // "torn 3, missing 27, twice 0" over the numbers 0 .. expected - 1.
  std::string summary(int expected) const {
    int missing = 0;
    int twice = 0;
    for (int number = 0; number < expected; ++number) {
      const auto seen = timesSeen.find(number);
      if (seen == timesSeen.end())
        ++missing;
      else if (seen->second > 1)
        ++twice;
    }
    const int strangers = static_cast<int>(timesSeen.size()) - (expected - missing);
    return "torn " + std::to_string(broken) + ", missing " + std::to_string(missing) + ", twice " +
           std::to_string(twice) + ", unexpected numbers " + std::to_string(strangers);
  }
};

std::vector<std::string> linesOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string content = bytes.str();
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = content.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(content.substr(at, end - at));
  }
  if (at != content.size()) lines.push_back(content.substr(at));  // an unfinished last line
  return lines;
}

// The eight lines of a crowd record, or nothing.
std::optional<int> wholeRecordAt(const std::vector<std::string>& lines, std::size_t at) {
  if (at + 8 > lines.size() || lines[at] != kPlusLine) return std::nullopt;
  const std::string numberLabel = "Error Number: ";
  if (lines[at + 2].rfind(numberLabel, 0) != 0) return std::nullopt;
  const std::string numberText = lines[at + 2].substr(numberLabel.size());
  if (numberText.empty() || numberText.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const int number = std::stoi(numberText);
  const bool whole = lines[at + 1] == "Error Description: crowd record " + numberText + " " + kFiller &&
                     lines[at + 3] == "Module Name: modCrowd" && lines[at + 4] == "Procedure Name: Sub Crowd()" &&
                     lines[at + 5] == "Version Number: 1.2.3" && lines[at + 6].rfind("Date: ", 0) == 0 &&
                     lines[at + 6].size() > 6 && lines[at + 7].empty();
  return whole ? std::optional<int>(number) : std::nullopt;
}

// Every file of the Logs folder: the date may turn during a run.
Tally tallyRecords(const std::filesystem::path& appFolder) {
  Tally tally;
  for (const auto& entry : std::filesystem::directory_iterator(appFolder / "Logs")) {
    const std::vector<std::string> lines = linesOf(entry.path());
    for (std::size_t at = 0; at < lines.size();) {
      if (const std::optional<int> number = wholeRecordAt(lines, at)) {
        ++tally.timesSeen[*number];
        at += 8;
        continue;
      }
      ++tally.broken;
      do ++at;
      while (at < lines.size() && lines[at] != kPlusLine);
    }
  }
  return tally;
}

std::wstring ownExecutable() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// This program started again with the arguments; the process handle, null when it cannot start.
HANDLE startSelf(const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + ownExecutable() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

DWORD exitCodeAfterWaiting(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

TEST(LogCrowdTest, EightThreadsEachWithItsOwnInstanceWriteEveryRecordOnceAndWhole) {
  constexpr int kThreads = 8;
  TempFolder app;
  std::atomic<int> failedWriters = 0;
  StartGate startGate(kThreads);
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&, t] {
      if (!writeRecords(app.path().wstring(), t * kRecordsPerWriter, kRecordsPerWriter, &startGate)) ++failedWriters;
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(0, failedWriters.load());
  const Tally tally = tallyRecords(app.path());
  EXPECT_EQ("torn 0, missing 0, twice 0, unexpected numbers 0", tally.summary(kThreads * kRecordsPerWriter));
}

TEST(LogCrowdTest, FourProcessesAtOnceWriteEveryRecordOnceAndWhole) {
  constexpr int kProcesses = 4;
  TempFolder app;
  std::vector<HANDLE> processes;
  for (int p = 0; p < kProcesses; ++p) {
    processes.push_back(startSelf(L"--write-records \"" + app.path().wstring() + L"\" " +
                                  std::to_wstring(p * kRecordsPerWriter) + L" " + std::to_wstring(kRecordsPerWriter)));
    ASSERT_NE(nullptr, processes.back());
  }
  for (HANDLE process : processes) EXPECT_EQ(0u, exitCodeAfterWaiting(process));
  const Tally tally = tallyRecords(app.path());
  EXPECT_EQ("torn 0, missing 0, twice 0, unexpected numbers 0", tally.summary(kProcesses * kRecordsPerWriter));
}

// The byte every writer of a log holds around its append, as other programs that share the
// logs take it too.
constexpr ULONGLONG kAppendLockOffset = 0x7FFF'FFFF'0000'0000;

TEST(LogCrowdTest, AWriterWaitsForAnotherProcessHoldingTheAppendLockAndGoesOnWhenItDies) {
  TempFolder app;
  const std::filesystem::path logs = app.path() / "Logs";
  std::filesystem::create_directory(logs);
  const std::filesystem::path file = logs / (L"crowd-" + todayStamp() + L".log");
  const std::wstring held = L"OrvAcctAppendLockHeld-" + std::to_wstring(GetCurrentProcessId());
  const HANDLE heldEvent = CreateEventW(nullptr, TRUE, FALSE, held.c_str());
  const HANDLE holder = startSelf(L"--hold-append-lock \"" + file.wstring() + L"\" " + held);
  ASSERT_NE(nullptr, holder);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(heldEvent, 20000));

  std::atomic<bool> written = false;
  std::thread writer([&] { written = writeRecords(app.path().wstring(), 0, 1); });
  Sleep(500);
  EXPECT_FALSE(written.load()) << "wrote while another process held the append lock";
  EXPECT_EQ(0u, std::filesystem::file_size(file));

  // Windows releases a dead process's locks: its death must not keep the writer waiting.
  TerminateProcess(holder, 3);
  EXPECT_EQ(3u, exitCodeAfterWaiting(holder));
  for (int waited = 0; !written && waited < 200; ++waited) Sleep(50);
  ASSERT_TRUE(written.load()) << "still waiting after the holder died";
  writer.join();
  CloseHandle(heldEvent);
  EXPECT_EQ("torn 0, missing 0, twice 0, unexpected numbers 0", tallyRecords(app.path()).summary(1));
}

// Such a program cannot take the append lock with the file open, and its records are not ours
// to guard: ours still go in, as before there was a lock.
TEST(LogCrowdTest, AProgramHoldingTheLogWithReadingDeniedStillLetsRecordsIn) {
  TempFolder app;
  std::filesystem::create_directory(app.path() / "Logs");
  const std::filesystem::path file = app.path() / "Logs" / (L"crowd-" + todayStamp() + L".log");
  const HANDLE holder = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  EXPECT_TRUE(writeRecords(app.path().wstring(), 0, 1));
  CloseHandle(holder);
  EXPECT_EQ("torn 0, missing 0, twice 0, unexpected numbers 0", tallyRecords(app.path()).summary(1));
}

// The other processes: "--write-records folder first count" writes records and exits 0 when all
// calls succeeded; "--hold-append-lock file event" takes the append lock, signals and waits to die.
int runAsHelper(int argc, wchar_t** argv) {
  const std::wstring role = argv[1];
  if (role == L"--write-records" && argc == 5) {
    return writeRecords(argv[2], std::stoi(argv[3]), std::stoi(argv[4])) ? 0 : 1;
  }
  if (role == L"--hold-append-lock" && argc == 4) {
    const HANDLE file =
        CreateFileW(argv[2], FILE_READ_DATA | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(kAppendLockOffset);
    at.OffsetHigh = static_cast<DWORD>(kAppendLockOffset >> 32);
    if (file == INVALID_HANDLE_VALUE || !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) return 1;
    const HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (held == nullptr || !SetEvent(held)) return 1;
    Sleep(INFINITE);
  }
  return 2;
}

}  // namespace
}  // namespace orv::testing

int main(int argc, char** argv) {
  int wideCount = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
  if (wideCount > 1 && std::wstring(wide[1]).rfind(L"--gtest", 0) != 0) {
    return orv::testing::runAsHelper(wideCount, wide);
  }
  LocalFree(wide);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
