#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "component/clsOrvAcctMan.h"
#include "log/append_lock_wait.h"
#include "log/error_log.h"
#include "platform/unique_fd.h"
#include "support/component_fixture.h"
#include "support/temp_folder.h"
#include "text/utf.h"

namespace orv {
namespace {

using testing::readFile;

class LogErrorsTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::TestClock> clock = std::make_shared<testing::TestClock>();
  testing::TempFolder app;
  testing::TempFolder componentFolder;
  clsOrvAcctMan component{testing::testServices(clock, componentFolder.path())};

  void log(std::int32_t number, const std::u16string& description, const std::u16string& folder = {}) {
    component.LogErrors(folder.empty() ? app.text() : folder, u"MyApp", number, description, u"modMain", u"Sub Main()",
                        u"2", u"4", u"17");
  }
  std::string logOf(const char* date, const std::filesystem::path& folder = {}) const {
    return readFile((folder.empty() ? app.path() : folder) / "Logs" / (std::string("myapp-") + date + ".log"));
  }
  static int records(const std::string& content) {
    int count = 0;
    for (std::size_t at = content.find("+++++"); at != std::string::npos; at = content.find("+++++", at + 41)) ++count;
    return count;
  }

  // The numbers of the records in the file, checking that each record is whole: the eight
  // lines in order with the expected description.
  static std::vector<int> wholeRecordNumbers(const std::string& content, const std::string& description) {
    std::vector<int> numbers;
    const std::string head =
        "+++++++++++++++++++++++++++++++++++++++++\r\nError Description: " + description + "\r\nError Number: ";
    std::size_t at = 0;
    while (at < content.size()) {
      const std::size_t end = content.find("\r\n\r\n", at);
      if (end == std::string::npos || content.compare(at, head.size(), head) != 0) {
        ADD_FAILURE() << "broken record at byte " << at;
        break;
      }
      const std::string record = content.substr(at, end + 4 - at);
      EXPECT_NE(record.find("\r\nModule Name: m\r\nProcedure Name: p\r\nVersion Number: "), std::string::npos);
      numbers.push_back(std::stoi(record.substr(head.size())));
      at = end + 4;
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
  }
  static std::vector<int> range(int count) {
    std::vector<int> numbers(static_cast<std::size_t>(count));
    std::iota(numbers.begin(), numbers.end(), 0);
    return numbers;
  }
};

TEST_F(LogErrorsTest, WritesTheEightLineRecordByteForByte) {
  component.LogErrors(app.text(), u"MyApp", -2147467259, u"Unspecified error \u00E9\u20AC", u"modMain", u"Sub Main()",
                      u"2", u"4", u"17");
  EXPECT_EQ(logOf("03052002"),
            "+++++++++++++++++++++++++++++++++++++++++\r\n"
            "Error Description: Unspecified error \xE9\x80\r\n"
            "Error Number: -2147467259\r\n"
            "Module Name: modMain\r\n"
            "Procedure Name: Sub Main()\r\n"
            "Version Number: 2.4.17\r\n"
            "Date: 3/5/2002 2:07:09 PM\r\n"
            "\r\n");
}

TEST_F(LogErrorsTest, OmittedVersionPartsLeaveTheTwoDots) {
  component.LogErrors(app.text(), u"MyApp", 5, u"Invalid procedure call", u"m", u"p");
  EXPECT_NE(logOf("03052002").find("\r\nVersion Number: ..\r\n"), std::string::npos);
}

TEST_F(LogErrorsTest, FileNamesCarryMonthDayYearAndTheNameInLowerCase) {
  clock->now = {2002, 11, 12, 0, 0, 1};
  component.LogErrors(app.text(), u"My\u00C9App", 1, u"d", u"m", u"p");
  EXPECT_TRUE(std::filesystem::exists(app.path() / "Logs" / u"my\u00e9app-11122002.log"));
  EXPECT_EQ(log::logFileName(u"ABC", {2002, 3, 5, 0, 0, 0}), u"abc-03052002.log");
  // Every script's capitals, not only Latin-1's.
  EXPECT_EQ(log::logFileName(u"\u0141\u00F3d\u017AApp", {2002, 3, 5, 0, 0, 0}), u"\u0142\u00F3d\u017Aapp-03052002.log");
  EXPECT_EQ(log::logFileName(u"\u041F\u0440\u0438\u043B\u043E\u0436\u0435\u043D\u0438\u0435", {2002, 3, 5, 0, 0, 0}),
            u"\u043F\u0440\u0438\u043B\u043E\u0436\u0435\u043D\u0438\u0435-03052002.log");
  EXPECT_EQ(log::logFileName(u"\u03A3\uFF21\U00010400\u2126", {2002, 3, 5, 0, 0, 0}),
            u"\u03C3\uFF41\U00010428\u2126-03052002.log");
}

TEST_F(LogErrorsTest, FirstRecordCreatesTheFileAndLaterOnesAppend) {
  log(1, u"first");
  log(2, u"second");
  log(3, u"third");
  const std::string content = logOf("03052002");
  EXPECT_EQ(records(content), 3);
  EXPECT_LT(content.find("first"), content.find("second"));
  EXPECT_LT(content.find("second"), content.find("third"));
}

TEST_F(LogErrorsTest, MidnightStartsTheNextDaysFile) {
  clock->now = {2002, 3, 5, 23, 59, 59};
  log(1, u"before midnight");
  clock->now = {2002, 3, 6, 0, 0, 0};
  log(2, u"after midnight");
  EXPECT_EQ(records(logOf("03052002")), 1);
  EXPECT_NE(logOf("03062002").find("Date: 3/6/2002 12:00:00 AM"), std::string::npos);
}

TEST_F(LogErrorsTest, TheSameErrorTwiceInARowIsWrittenOnce) {
  log(1, u"same");
  log(1, u"same");
  EXPECT_EQ(records(logOf("03052002")), 1);
  log(2, u"other");
  log(1, u"same");  // a different error came between
  EXPECT_EQ(records(logOf("03052002")), 3);
}

TEST_F(LogErrorsTest, ErrorsWhoseFieldsRunTogetherAlikeAreBothWritten) {
  // Joined without separators, "1"+"23" and "12"+"3" read the same; they are different errors.
  log(1, u"23");
  log(12, u"3");
  EXPECT_EQ(records(logOf("03052002")), 2);
}

TEST_F(LogErrorsTest, TheSameErrorFromTwoFoldersGoesToEachLog) {
  testing::TempFolder other;
  log(1, u"same");
  log(1, u"same", other.text());
  EXPECT_EQ(records(logOf("03052002")), 1);
  EXPECT_EQ(records(logOf("03052002", other.path())), 1);
}

TEST_F(LogErrorsTest, EachInstanceHasItsOwnRepeatMemory) {
  clsOrvAcctMan second(testing::testServices(clock, componentFolder.path()));
  log(1, u"same");
  second.LogErrors(app.text(), u"MyApp", 1, u"same", u"modMain", u"Sub Main()", u"2", u"4", u"17");
  EXPECT_EQ(records(logOf("03052002")), 2);
}

TEST_F(LogErrorsTest, AMissingApplicationFolderWritesNothingAndTheErrorIsTriedAgain) {
  const std::filesystem::path missing = app.path() / "not-yet";
  log(1, u"lost", missing.u16string());
  EXPECT_FALSE(std::filesystem::exists(missing));
  std::filesystem::create_directory(missing);
  log(1, u"lost", missing.u16string());  // the failed attempt did not count as written
  EXPECT_EQ(records(logOf("03052002", missing)), 1);
}

TEST_F(LogErrorsTest, ADayWhoseFileNameIsAFolderWritesNothingAndTheErrorIsTriedAgain) {
  const std::filesystem::path taken = app.path() / "Logs" / "myapp-03052002.log";
  std::filesystem::create_directories(taken);
  log(1, u"kept for later");
  EXPECT_TRUE(std::filesystem::is_empty(taken));
  std::filesystem::remove(taken);
  log(1, u"kept for later");  // the failed append did not count as written
  EXPECT_EQ(records(logOf("03052002")), 1);
}

TEST_F(LogErrorsTest, NamesThatLeaveTheLogsFolderAreRefusedAndNothingIsWritten) {
  // One level down, so a name that escapes lands inside the temporary folder.
  const std::filesystem::path inner = app.path() / "inner";
  std::filesystem::create_directory(inner);
  const std::u16string withNul(u"a\0b", 3);
  for (const std::u16string& name : {std::u16string(u"../../x"), std::u16string(u"..\\..\\x"), std::u16string(u"sub/x"),
                                     std::u16string(u"sub\\x"), std::u16string(u"."), std::u16string(u".."), withNul}) {
    component.LogErrors(inner.u16string(), name, 1, u"d", u"m", u"p", u"", u"", u"");
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(app.path()), {}), 1) << text::toUtf8(name);
    EXPECT_FALSE(log::isApplicationName(name)) << text::toUtf8(name);
  }
  for (const std::u16string name : {u"MyApp", u"my.app", u"a..b", u"...", u"crm-sync"}) {
    EXPECT_TRUE(log::isApplicationName(name)) << text::toUtf8(name);
  }
}

TEST_F(LogErrorsTest, ConcurrentThreadsWriteWholeRecords) {
  constexpr int kThreads = 4;
  constexpr int kRecords = 500;
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&, t] {
      clsOrvAcctMan own(testing::testServices(clock, componentFolder.path()));
      for (int i = 0; i < kRecords; ++i) {
        own.LogErrors(app.text(), u"MyApp", t * kRecords + i, u"threaded", u"m", u"p", u"1", u"0", u"1");
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(wholeRecordNumbers(logOf("03052002"), "threaded"), range(kThreads * kRecords));
}

// What a waiter does with each answer of the lock: the answers come in turn, the last one
// repeating; a long patience never runs out here, a zero one after the first attempt.
TEST(AppendLockWaitTest, TriesAgainOnlyWhileTheLockIsHeldElsewhereAndThePatienceLasts) {
  using enum log::LockAttempt;
  using std::chrono::hours;
  struct Case {
    std::vector<log::LockAttempt> answers;
    std::chrono::steady_clock::duration patience;
    bool taken;
    std::size_t attempts;
  };
  const Case cases[] = {
      {{taken}, hours(1), true, 1},
      {{heldElsewhere, heldElsewhere, taken}, hours(1), true, 3},
      {{impossible}, hours(1), false, 1},
      {{heldElsewhere, impossible}, hours(1), false, 2},
      {{heldElsewhere}, hours(0), false, 1},
  };
  for (const Case& c : cases) {
    std::size_t attempts = 0;
    const bool taken =
        log::takeAppendLock([&] { return c.answers[std::min(attempts++, c.answers.size() - 1)]; }, c.patience);
    EXPECT_EQ(taken, c.taken) << "case with " << c.answers.size() << " answers";
    EXPECT_EQ(attempts, c.attempts) << "case with " << c.answers.size() << " answers";
  }
}

// The byte every writer of a log holds, taken here as Wine's server takes it for Windows
// writers: a classic POSIX lock, which the process's own writers must respect too. Closing the
// descriptor lets go.
platform::UniqueFd holdAppendLock(const std::filesystem::path& file) {
  platform::UniqueFd holder(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  struct flock region {};
  region.l_type = F_WRLCK;
  region.l_whence = SEEK_SET;
  region.l_start = 0x7FFF'FFFF'0000'0000;
  region.l_len = 1;
  if (holder && ::fcntl(holder.get(), F_SETLK, &region) != 0) holder.close();
  return holder;
}

TEST_F(LogErrorsTest, AWriterWaitsWhileAnotherHoldsTheAppendLock) {
  std::filesystem::create_directory(app.path() / "Logs");
  platform::UniqueFd holder = holdAppendLock(app.path() / "Logs" / "myapp-03052002.log");
  ASSERT_TRUE(holder);

  std::atomic<bool> returned = false;
  std::thread writer([&] {
    log(1, u"waited");
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(returned.load());
  EXPECT_EQ(logOf("03052002"), "");
  holder.close();  // releases the lock
  writer.join();
  EXPECT_EQ(records(logOf("03052002")), 1);
}

TEST_F(LogErrorsTest, AHolderThatNeverLetsGoDelaysTheRecordButNeitherHangsNorLosesIt) {
  std::filesystem::create_directory(app.path() / "Logs");
  platform::UniqueFd holder = holdAppendLock(app.path() / "Logs" / "myapp-03052002.log");
  ASSERT_TRUE(holder);

  std::promise<void> returned;
  std::thread writer([&] {
    log(1, u"written all the same");
    returned.set_value();
  });
  // Far beyond the few seconds a writer waits, so that a busy machine cannot fail it.
  EXPECT_EQ(returned.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready)
      << "LogErrors still waiting for a lock that is never let go";
  holder.close();  // lets a writer that waits for ever go on, so that the test ends either way
  writer.join();
  EXPECT_EQ(logOf("03052002"),
            "+++++++++++++++++++++++++++++++++++++++++\r\n"
            "Error Description: written all the same\r\n"
            "Error Number: 1\r\n"
            "Module Name: modMain\r\n"
            "Procedure Name: Sub Main()\r\n"
            "Version Number: 2.4.17\r\n"
            "Date: 3/5/2002 2:07:09 PM\r\n"
            "\r\n");
}

TEST_F(LogErrorsTest, ConcurrentProcessesLoseNoRecordAndNeverInterleave) {
  constexpr int kProcesses = 4;
  constexpr int kRecords = 500;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      clsOrvAcctMan own(testing::testServices(clock, componentFolder.path()));
      for (int i = 0; i < kRecords; ++i) {
        own.LogErrors(app.text(), u"MyApp", p * kRecords + i, u"from a process", u"m", u"p");
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(wholeRecordNumbers(logOf("03052002"), "from a process"), range(kProcesses * kRecords));
}

}  // namespace
}  // namespace orv
