// Create_Session, Close_Session and CheckState on a double of the messaging seam: the calls in
// their order, every outcome of a failing step, the session's life, and no failure turned into
// True.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "component/clsOrvAcctMan.h"
#include "messaging/message_box.h"
#include "messaging/messaging_none.h"
#include "support/component_fixture.h"
#include "support/messaging_double.h"

namespace orv {
namespace {

using Journal = std::vector<std::string>;
using messaging::PropertyValue;

constexpr char16_t kCreate[] = u"Create_Session() As Boolean";
constexpr char16_t kClose[] = u"Close_Session";
constexpr char16_t kCheck[] = u"CheckState() As Boolean";

struct Report {
  std::int32_t number;
  std::u16string description;
  std::u16string procedure;
  bool operator==(const Report&) const = default;
};

Report notSet(const char16_t* procedure) {
  return {error_number::kObjectVariableNotSet, u"Object variable or With block variable not set", procedure};
}
Report failed(const char16_t* call, const char16_t* procedure) {
  return {testing::kDoubleFailure, std::u16string(call) + u" failed", procedure};
}

const Journal kOpening{"new Application", "new Session", "GetNamespace MAPI", "Logon Namespace \"\" False False",
                       "new CurrentUser", "Name"};
const Journal kClosing{"Namespace.Logoff",    "release Namespace", "release Application",
                       "release CurrentUser", "Session.Logoff",    "release Session"};

Journal operator+(Journal first, const Journal& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() { rebuild(); }

  // A new instance over a fresh double.
  void rebuild() {
    component.reset();
    double_ = std::make_shared<testing::MessagingDouble>();
    script = double_->script.get();
    reports.clear();
    Services services = testing::testServices(clock_, folder_.path());
    services.messaging = double_;
    services.showMessageBox = [this](const messaging::MessageBoxRequest& request) {
      boxes.push_back(request);
      if (boxFails) messaging::throwMessageNotShown(request, messaging::kNotInteractive, u"test");
    };
    services.failureObserver = [this](std::int32_t number, const std::u16string& description,
                                      const std::u16string& procedure) {
      reports.push_back({number, description, procedure});
    };
    component = std::make_unique<clsOrvAcctMan>(services);
  }

  // The journal since the last look, with or without the releases.
  Journal journal() { return std::exchange(script->journal, {}); }
  Journal calls() {
    Journal calls;
    for (std::string& entry : journal())
      if (entry.rfind("release ", 0) != 0) calls.push_back(std::move(entry));
    return calls;
  }
  void failAlways(const std::string& call) { script->failures[call] = -1; }
  void failOnce(const std::string& call) { script->failures[call] = 1; }

  std::shared_ptr<testing::TestClock> clock_ = std::make_shared<testing::TestClock>();
  testing::TempFolder folder_;
  std::shared_ptr<testing::MessagingDouble> double_;
  testing::MessagingScript* script = nullptr;
  std::vector<messaging::MessageBoxRequest> boxes;
  bool boxFails = false;
  std::vector<Report> reports;
  std::unique_ptr<clsOrvAcctMan> component;
};

TEST_F(SessionTest, OpensKeepsAnOpenSessionAndClosesInOrderWithoutQuittingOutlook) {
  EXPECT_TRUE(component->Create_Session());
  EXPECT_EQ(journal(), kOpening);
  EXPECT_TRUE(component->Create_Session());
  EXPECT_EQ(journal(), Journal{"Name"});  // nothing created
  component->Close_Session();
  EXPECT_EQ(journal(), kClosing);
  EXPECT_EQ(script->alive, 0);
  component->Close_Session();
  EXPECT_EQ(journal(), Journal{});
  EXPECT_EQ(reports, std::vector<Report>{});
}

TEST_F(SessionTest, AStaleSessionIsReplacedWithoutLoggingOff) {
  ASSERT_TRUE(component->Create_Session());
  script->userName.clear();
  journal();
  EXPECT_FALSE(component->Create_Session());
  EXPECT_EQ(journal(), (Journal{"Name", "new Application", "release Application", "new Session", "release Session",
                                "GetNamespace MAPI", "release Namespace", "Logon Namespace \"\" False False",
                                "new CurrentUser", "release CurrentUser", "Name"}));
  script->userName = u"Jane Doe";
  EXPECT_TRUE(component->Create_Session());
  EXPECT_EQ(script->alive, 4);
}

TEST_F(SessionTest, EndOfTheInstanceClosesTheSession) {
  ASSERT_TRUE(component->Create_Session());
  journal();
  component.reset();
  EXPECT_EQ(journal(), kClosing);
  EXPECT_EQ(script->alive, 0);
}

TEST_F(SessionTest, EachFailingStepOfCreateSessionIsReportedAndNoneMakesItTrue) {
  struct Case {
    std::string failing;
    bool result;
    std::vector<Report> reports;
    Journal calls;  // without the releases
  };
  // clang-format off
  const std::vector<Case> cases{
      {"new Application", true, {failed(u"new Application", kCreate), notSet(kCreate)},
       {"new Application", "new Session", "Logon Nothing \"\" False False", "new CurrentUser", "Name"}},
      {"new Session", false, {failed(u"new Session", kCreate)}, {"new Application", "new Session", "GetNamespace MAPI"}},
      {"GetNamespace", true, {failed(u"GetNamespace", kCreate)},
       {"new Application", "new Session", "GetNamespace MAPI", "Logon Nothing \"\" False False", "new CurrentUser",
        "Name"}},
      {"Logon", false, {failed(u"Logon", kCreate)}, kOpening},  // not logged on: the name is empty
      {"new CurrentUser", false, {failed(u"new CurrentUser", kCreate), notSet(kCreate)},
       {"new Application", "new Session", "GetNamespace MAPI", "Logon Namespace \"\" False False", "new CurrentUser"}},
      {"Name", false, {failed(u"Name", kCreate)}, kOpening},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    rebuild();
    failAlways(c.failing);
    EXPECT_EQ(component->Create_Session(), c.result);
    EXPECT_EQ(reports, c.reports);
    EXPECT_EQ(calls(), c.calls);
  }
}

TEST_F(SessionTest, ANameThatCannotBeReadRebuildsTheSessionAndAFailedCurrentUserKeepsThePreviousOne) {
  ASSERT_TRUE(component->Create_Session());
  journal();
  failOnce("Name");
  failOnce("new CurrentUser");
  EXPECT_TRUE(component->Create_Session());  // the previous user object, now of a logged-on session
  EXPECT_EQ(reports, (std::vector<Report>{failed(u"Name", kCreate), failed(u"new CurrentUser", kCreate)}));
  EXPECT_EQ(calls(), (Journal{"Name", "new Application", "new Session", "GetNamespace MAPI",
                              "Logon Namespace \"\" False False", "new CurrentUser", "Name"}));
  EXPECT_EQ(script->alive, 4);
}

TEST_F(SessionTest, FailingLogoffsAreReportedAndTheObjectsReleasedAllTheSame) {
  ASSERT_TRUE(component->Create_Session());
  failAlways("Namespace.Logoff");
  failAlways("Session.Logoff");
  journal();
  component->Close_Session();
  EXPECT_EQ(journal(), kClosing);
  EXPECT_EQ(script->alive, 0);
  EXPECT_EQ(reports, (std::vector<Report>{failed(u"Namespace.Logoff", kClose), failed(u"Session.Logoff", kClose)}));
}

TEST_F(SessionTest, CheckStateReadsBothPropertiesAndEndsClosed) {
  EXPECT_TRUE(component->CheckState());
  const Journal reading{"GetDefaultFolder 5",        "Folder.Field PR_OFFLINE_FLAGS",
                        "InfoStores Public Folders", "InfoStore.Field PR_STORE_OFFLINE",
                        "release InfoStore",         "release Folder"};
  EXPECT_EQ(journal(), kOpening + reading + kClosing);
  EXPECT_EQ(script->alive, 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(reports, std::vector<Report>{});
}

TEST_F(SessionTest, CheckStateClosesASessionTheClientHadOpened) {
  ASSERT_TRUE(component->Create_Session());
  script->offlineFlags = PropertyValue::ofNumber(0);
  EXPECT_FALSE(component->CheckState());
  EXPECT_EQ(script->alive, 0);
  journal();
  EXPECT_TRUE(component->Create_Session());
  EXPECT_EQ(journal(), kOpening);
}

TEST_F(SessionTest, FlagsOtherThanExactlyOneLeaveTheStoreUnread) {
  for (const PropertyValue& flags :
       {PropertyValue::ofNumber(0), PropertyValue::ofNumber(2), PropertyValue::ofNumber(3),
        PropertyValue::ofNumber(257), PropertyValue::ofNumber(messaging::kTrue),
        PropertyValue{PropertyValue::Kind::Empty}, PropertyValue{PropertyValue::Kind::Null}}) {
    SCOPED_TRACE(flags.number);
    script->offlineFlags = flags;
    EXPECT_FALSE(component->CheckState());
    for (const std::string& entry : journal()) EXPECT_EQ(entry.find("InfoStore"), std::string::npos) << entry;
  }
  EXPECT_EQ(reports, std::vector<Report>{});
}

TEST_F(SessionTest, TheStoreMustSayTrue) {
  for (const PropertyValue& offline :
       {PropertyValue::ofNumber(0), PropertyValue::ofNumber(1), PropertyValue{PropertyValue::Kind::Empty}}) {
    script->storeOffline = offline;
    EXPECT_FALSE(component->CheckState());
  }
  script->storeOffline = PropertyValue::ofNumber(messaging::kTrue);
  EXPECT_TRUE(component->CheckState());
}

TEST_F(SessionTest, FailuresInsideCheckStateAreReportedAndMakeItFalse) {
  struct Case {
    std::string failing;
    std::vector<Report> reports;
  };
  const std::vector<Case> cases{
      {"GetDefaultFolder", {failed(u"GetDefaultFolder", kCheck), notSet(kCheck)}},
      {"Folder.Field", {failed(u"Folder.Field", kCheck)}},
      {"InfoStores", {failed(u"InfoStores", kCheck), notSet(kCheck)}},
      {"InfoStore.Field", {failed(u"InfoStore.Field", kCheck)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    script->failures.clear();
    reports.clear();
    failAlways(c.failing);
    EXPECT_FALSE(component->CheckState());
    EXPECT_EQ(reports, c.reports);
    const Journal made = calls();
    EXPECT_EQ(std::count(made.begin(), made.end(), "InfoStores Public Folders"), 1);  // looked at all the same
    EXPECT_EQ(made.back(), "Session.Logoff");
    EXPECT_EQ(script->alive, 0);
  }
}

TEST_F(SessionTest, FlagsThatCannotBeComparedAreATypeMismatch) {
  script->offlineFlags = PropertyValue{PropertyValue::Kind::Other};
  EXPECT_FALSE(component->CheckState());
  EXPECT_EQ(reports, (std::vector<Report>{{error_number::kTypeMismatch, u"Type mismatch", kCheck}}));
}

TEST_F(SessionTest, NoSessionShowsTheWarningOnceAndKeepsWhatCreateSessionLeft) {
  failAlways("Logon");
  EXPECT_FALSE(component->CheckState());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"Outlook session could not be made.");
  EXPECT_EQ(boxes[0].title, u"OUTLOOK SESSION FAILED");
  EXPECT_EQ(boxes[0].style, 48u);
  EXPECT_EQ(journal(), kOpening);  // nothing read, nothing closed
  EXPECT_EQ(script->alive, 4);
  EXPECT_EQ(reports, std::vector<Report>{failed(u"Logon", kCreate)});

  boxFails = true;
  EXPECT_FALSE(component->CheckState());
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[2].number, messaging::kNotInteractive);
  EXPECT_EQ(reports[2].procedure, kCheck);
  EXPECT_EQ(reports[2].description,
            u"Message not shown (test): OUTLOOK SESSION FAILED: Outlook session could not be made.");
}

TEST(SessionWithoutProvider, CreateSessionReportsAndAnswersFalseAndTheBoxIsReported) {
  auto clock = std::make_shared<testing::TestClock>();
  testing::TempFolder folder;
  Services services = testing::testServices(clock, folder.path());
  std::vector<Report> reports;
  services.failureObserver = [&](std::int32_t n, const std::u16string& d, const std::u16string& p) {
    reports.push_back({n, d, p});
  };
  {
    clsOrvAcctMan component(services);
    EXPECT_FALSE(component.Create_Session());
    EXPECT_EQ(reports, (std::vector<Report>{
                           {messaging::kNoProvider, u"Class not registered: Outlook exists only on Windows", kCreate},
                           {messaging::kNoProvider, u"Class not registered: CDO exists only on Windows", kCreate},
                           notSet(kCreate)}));
    reports.clear();
    EXPECT_FALSE(component.CheckState());
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[3].procedure, kCheck);
  }
  const std::string log = testing::readFile(testing::ownLogFile(folder.path(), clock->now));
  EXPECT_NE(log.find("Error Number: -2147221164\r\n"
                     "Module Name: clsOrvAcctMan\r\n"
                     "Procedure Name: Create_Session() As Boolean\r\n"),
            std::string::npos);
  EXPECT_NE(log.find("Error Description: Message not shown (message boxes exist only on Windows): "
                     "OUTLOOK SESSION FAILED: Outlook session could not be made.\r\n"
                     "Error Number: -2147023437\r\n"
                     "Module Name: clsOrvAcctMan\r\n"
                     "Procedure Name: CheckState() As Boolean\r\n"),
            std::string::npos)
      << log;
}

}  // namespace
}  // namespace orv
