#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "component/clsOrvAcctMan.h"
#include "component/method_guard.h"
#include "platform/component_identity.h"
#include "support/component_fixture.h"
#include "support/temp_folder.h"

namespace orv {
namespace {

struct RecordingReporter {
  struct Report {
    std::int32_t number;
    std::u16string description;
    std::u16string procedure;
  };
  std::vector<Report> reports;
  void reportFailure(std::int32_t number, const std::u16string& description, std::u16string_view procedure) {
    reports.push_back({number, description, std::u16string(procedure)});
  }
};

TEST(MethodGuard, ReportsEachFailedStepAndRunsTheNext) {
  RecordingReporter reporter;
  MethodGuard guard(reporter, u"Method() As String");
  std::vector<int> ran;
  EXPECT_FALSE(guard.step([&] { throw Failure(-2147221504, u"first"); }));
  EXPECT_TRUE(guard.step([&] { ran.push_back(2); }));
  EXPECT_FALSE(guard.step([&] { throwSubscriptOutOfRange(); }));
  EXPECT_FALSE(guard.step([&] { throw std::bad_alloc(); }));
  EXPECT_TRUE(guard.step([&] { ran.push_back(5); }));
  EXPECT_EQ(ran, (std::vector<int>{2, 5}));
  ASSERT_EQ(reporter.reports.size(), 3u);
  EXPECT_EQ(reporter.reports[0].number, -2147221504);
  EXPECT_EQ(reporter.reports[0].description, u"first");
  EXPECT_EQ(reporter.reports[1].number, 9);
  EXPECT_EQ(reporter.reports[1].description, u"Subscript out of range");
  EXPECT_EQ(reporter.reports[2].number, 7);
  EXPECT_EQ(reporter.reports[2].procedure, u"Method() As String");
}

TEST(MethodGuard, AFailedTestOfAConditionalCountsAsHeld) {
  RecordingReporter reporter;
  MethodGuard guard(reporter, u"p");
  EXPECT_TRUE(guard.condition([]() -> bool { throwOverflow(); }));
  EXPECT_FALSE(guard.condition([] { return false; }));
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_EQ(reporter.reports[0].number, 6);
}

class ReportErrorTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::TestClock> clock = std::make_shared<testing::TestClock>();
  testing::TempFolder componentFolder;
};

TEST_F(ReportErrorTest, AFailedStepGoesToTheComponentsOwnLogWithItsIdentity) {
  Services services = testing::testServices(clock, componentFolder.path());
  std::vector<std::u16string> observed;
  services.failureObserver = [&](std::int32_t, const std::u16string& description, const std::u16string&) {
    observed.push_back(description);
  };
  services.newGuid = [](util::GuidRecord&) -> std::int32_t { throw Failure(-2147221164, u"Class not registered"); };
  clsOrvAcctMan component(services);
  EXPECT_EQ(component.CreateGUID(), u"");
  EXPECT_EQ(testing::readFile(testing::ownLogFile(componentFolder.path(), clock->now)),
            "+++++++++++++++++++++++++++++++++++++++++\r\n"
            "Error Description: Class not registered\r\n"
            "Error Number: -2147221164\r\n"
            "Module Name: clsOrvAcctMan\r\n"
            "Procedure Name: CreateGUID() As String\r\n"
            "Version Number: 1.0.1\r\n"
            "Date: 3/5/2002 2:07:09 PM\r\n"
            "\r\n");
  EXPECT_EQ(observed, std::vector<std::u16string>{u"Class not registered"});
}

TEST_F(ReportErrorTest, ALogThatCannotBeWrittenLeavesTheMethodUnchanged) {
  Services services = testing::testServices(clock, componentFolder.path() / "missing" / "deeper");
  int calls = 0;
  services.newGuid = [&](util::GuidRecord& guid) -> std::int32_t {
    if (++calls == 1) throw Failure(7, u"Out of memory");
    guid.data1 = 0xABCDEF01;
    return 0;
  };
  clsOrvAcctMan component(services);
  EXPECT_EQ(component.CreateGUID(), u"");
  EXPECT_EQ(component.CreateGUID(), u"{ABCDEF01-0000-0000-0000-000000000000}");
  EXPECT_FALSE(std::filesystem::exists(componentFolder.path() / "missing"));
}

TEST_F(ReportErrorTest, ReleasingAnInstanceWithoutASessionWritesNothing) {
  { clsOrvAcctMan component(testing::testServices(clock, componentFolder.path())); }
  EXPECT_FALSE(std::filesystem::exists(componentFolder.path() / "Logs"));
}

// Outside Windows the component has no version resource: its identity carries the version the
// build defines, which stays 1.0.1 whatever the release.
TEST(ComponentIdentity, OutsideWindowsTheVersionIsTheComponentsOwn) {
  const testing::TempFolder state;
  ASSERT_EQ(setenv("XDG_STATE_HOME", state.path().c_str(), 1), 0);
  const ComponentIdentity self = platform::currentComponentIdentity();
  unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(self.name, u"orvacctman");
  EXPECT_EQ(self.folder, (state.path() / "orvacct").u16string());
  const VersionTexts version = versionTexts(self);
  EXPECT_EQ(version.major + u"." + version.minor + u"." + version.revision, u"1.0.1");
}

}  // namespace
}  // namespace orv
