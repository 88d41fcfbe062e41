// Many writers of one application's log at once: threads of one process, each with its own
// instance in its own apartment; processes; a writer kept waiting by another process that holds
// the append lock and dies with it; one beside a reader that holds the lock for good; one beside
// a program that denies reading. Every record must land exactly once and whole, whatever the
// platform's own append does (Wine's is not atomic).
// The program starts itself again as the other processes: see main().
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "com_test_support.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

constexpr int kRecordsPerWriter = 1500;
const std::string kPlusLine(41, '+');
// Long records, so that appends which are not atomic do meet.
const std::string kFiller(2000, '.');

// Holds writers until all are ready, so that they write at the same time (std::latch left
// writers waiting for good here, under Wine with this toolchain).
struct StartGate {
  explicit StartGate(int writers) : waiting(writers) {}
  ~StartGate() { CloseHandle(open); }
  void arriveAndWait() {
    if (--waiting == 0) SetEvent(open);
    WaitForSingleObject(open, INFINITE);
  }
  std::atomic<int> waiting;
  HANDLE open = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

// Records first .. first + count - 1 through a new instance in this thread's own apartment;
// false when any call fails. The description repeats the number, so that a record made of two
// writers' lines shows.
bool writeRecords(const std::wstring& appPath, int first, int count, StartGate* startGate = nullptr) {
  const Apartment apartment;
  const ComPtr<_clsOrvAcctMan> object = createComponent();
  if (startGate != nullptr) startGate->arriveAndWait();
  if (!object) return false;
  Bstr path(appPath), name(L"Crowd"), module(L"modCrowd"), procedure(L"Sub Crowd()");
  Bstr major(L"1"), minor(L"2"), revision(L"3");
  bool allSucceeded = true;
  for (LONG number = first; number < first + count; ++number) {
    const std::wstring text =
        L"crowd record " + std::to_wstring(number) + L" " + std::wstring(kFiller.begin(), kFiller.end());
    Bstr description(text);
    LONG argument = number;
    allSucceeded &= object->LogErrors(path.ref(), name.ref(), &argument, description.ref(), module.ref(),
                                      procedure.ref(), major.ref(), minor.ref(), revision.ref()) == S_OK;
  }
  return allSucceeded;
}

// The number of a whole crowd record: its eight lines exactly, whatever the date.
std::optional<int> wholeRecordNumber(const std::string& record) {
  const std::string head = kPlusLine + "\r\nError Description: crowd record ";
  if (record.rfind(head, 0) != 0) return std::nullopt;
  const std::string number = std::to_string(std::atoi(record.c_str() + head.size()));
  const std::string lines =
      head + number + " " + kFiller + "\r\nError Number: " + number +
      "\r\nModule Name: modCrowd\r\nProcedure Name: Sub Crowd()\r\nVersion Number: 1.2.3\r\nDate: ";
  const bool whole = record.rfind(lines, 0) == 0 && record.size() > lines.size() + 4 &&
                     record.find("\r\n", lines.size()) == record.size() - 4 && record.ends_with("\r\n\r\n");
  return whole ? std::optional<int>(std::stoi(number)) : std::nullopt;
}

// "torn 0, missing 0, twice 0" for the records 0 .. expected - 1 in every file of the Logs
// folder (the date may turn during a run); a stretch that is no whole record counts as torn.
std::string tallyRecords(const std::filesystem::path& appFolder, int expected) {
  std::map<int, int> timesSeen;
  int torn = 0;
  for (const auto& entry : std::filesystem::directory_iterator(appFolder / "Logs")) {
    const std::string content = readFile(entry.path());
    for (std::size_t at = 0; at < content.size();) {
      const std::size_t next = std::min(content.find(kPlusLine, at + kPlusLine.size()), content.size());
      const std::optional<int> number = wholeRecordNumber(content.substr(at, next - at));
      if (number)
        ++timesSeen[*number];
      else
        ++torn;
      at = next;
    }
  }
  int missing = 0;
  int twice = 0;
  for (int number = 0; number < expected; ++number) {
    missing += timesSeen.count(number) == 0;
    twice += timesSeen.count(number) != 0 && timesSeen[number] > 1;
  }
  return "torn " + std::to_string(torn) + ", missing " + std::to_string(missing) + ", twice " + std::to_string(twice);
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
  EXPECT_EQ("torn 0, missing 0, twice 0", tallyRecords(app.path(), kThreads * kRecordsPerWriter));
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
  EXPECT_EQ("torn 0, missing 0, twice 0", tallyRecords(app.path(), kProcesses * kRecordsPerWriter));
}

// The byte every writer of a log holds around its append, as other programs that share the
// logs take it too.
constexpr ULONGLONG kAppendLockOffset = 0x7FFF'FFFF'0000'0000;

bool takeAppendLockByte(HANDLE file) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(kAppendLockOffset);
  at.OffsetHigh = static_cast<DWORD>(kAppendLockOffset >> 32);
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

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
  EXPECT_EQ("torn 0, missing 0, twice 0", tallyRecords(app.path(), 1));
}

// A program that only reads the log may take the append lock too, and a hung one never lets
// go: LogErrors waits a few seconds for it, then appends all the same.
TEST(LogCrowdTest, AReaderHoldingTheAppendLockForGoodDelaysARecordButNeitherHangsNorLosesIt) {
  TempFolder app;
  std::filesystem::create_directory(app.path() / "Logs");
  const std::filesystem::path file = app.path() / "Logs" / (L"crowd-" + todayStamp() + L".log");
  const HANDLE reader = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  ASSERT_TRUE(takeAppendLockByte(reader));

  const HANDLE returned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> written = false;
  std::thread writer([&] {
    written = writeRecords(app.path().wstring(), 0, 1);
    SetEvent(returned);
  });
  // Far beyond the few seconds a writer waits, so that a busy machine cannot fail it.
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(returned, 30000)) << "LogErrors still waiting after 30 s";
  CloseHandle(reader);  // lets a writer that waits for ever go on, so that the test ends either way
  writer.join();
  CloseHandle(returned);
  EXPECT_TRUE(written.load());
  EXPECT_EQ("torn 0, missing 0, twice 0", tallyRecords(app.path(), 1));
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
  EXPECT_EQ("torn 0, missing 0, twice 0", tallyRecords(app.path(), 1));
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
    if (file == INVALID_HANDLE_VALUE || !takeAppendLockByte(file)) return 1;
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
