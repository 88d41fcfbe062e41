#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/failure.h"
#include "component/clsOrvAcctMan.h"
#include "log/error_log.h"
#include "support/component_fixture.h"
#include "support/temp_folder.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

class PurgeLogsTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::TestClock> clock = std::make_shared<testing::TestClock>();  // today: 5 March 2002
  testing::TempFolder app;
  testing::TempFolder componentFolder;
  clsOrvAcctMan component{testing::testServices(clock, componentFolder.path())};

  void SetUp() override { fs::create_directory(app.path() / "Logs"); }

  void create(const std::string& name) { testing::writeFile(app.path() / "Logs" / name, "record\r\n"); }
  std::set<std::string> remaining() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(app.path() / "Logs"))
      names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(PurgeLogsTest, KeepsSevenDaysAndDeletesFromTheEighth) {
  for (const char* name : {"myapp-03052002.log", "myapp-02262002.log", "myapp-02252002.log", "myapp-01011999.log"}) {
    create(name);
  }
  component.PurgeLogs(app.text(), u"MyApp");
  EXPECT_EQ(remaining(), (std::set<std::string>{"myapp-03052002.log", "myapp-02262002.log"}));
}

TEST_F(PurgeLogsTest, ANameThatIsNoFileNamePartDeletesNothing) {
  create("..-01011999.log");
  component.PurgeLogs(app.text(), u"..");
  EXPECT_EQ(remaining(), std::set<std::string>{"..-01011999.log"});
  EXPECT_THROW(log::purgeOldLogs(app.text(), u"../x", clock->now), Failure);
}

TEST_F(PurgeLogsTest, NamesOfEveryScriptAreFoundWhateverTheirCase) {
  // Today's writer lowers Cyrillic; an earlier one left it as it was. Both are this application's.
  create("\u043F\u0440\u0438\u043B\u043E\u0436\u0435\u043D\u0438\u0435-01011999.log");
  create("\u041F\u0440\u0438\u043B\u043E\u0436\u0435\u043D\u0438\u0435-01021999.log");
  create("\u043F\u0440\u0438\u043B\u043E\u0436\u0435\u043D\u0438\u0435-03052002.log");
  component.PurgeLogs(app.text(), u"\u041F\u0420\u0418\u041B\u041E\u0416\u0415\u041D\u0418\u0415");
  EXPECT_EQ(remaining(),
            std::set<std::string>{"\u043F\u0440\u0438\u043B\u043E\u0436\u0435\u043D\u0438\u0435-03052002.log"});
}

TEST_F(PurgeLogsTest, CountsWholeDaysAcrossMonthAndYearEnds) {
  clock->now = {2004, 3, 1, 0, 0, 0};  // a leap year: 29 February lies between
  create("myapp-02232004.log");        // 7 days before
  create("myapp-02222004.log");        // 8 days before
  component.PurgeLogs(app.text(), u"MyApp");
  EXPECT_EQ(remaining(), std::set<std::string>{"myapp-02232004.log"});

  EXPECT_EQ(log::ageInDays({2001, 12, 31}, {2002, 1, 8, 0, 0, 0}), 8);
}

TEST_F(PurgeLogsTest, DatesInTheFutureStay) {
  create("myapp-03062002.log");
  create("myapp-12312099.log");
  component.PurgeLogs(app.text(), u"MyApp");
  EXPECT_EQ(remaining().size(), 2u);
}

TEST_F(PurgeLogsTest, ReadOnlyFilesStayAndTheOthersAreStillPurged) {
  create("myapp-01012001.log");
  create("myapp-01022001.log");
  create("myapp-01032001.log");
  fs::permissions(app.path() / "Logs" / "myapp-01022001.log",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
  component.PurgeLogs(app.text(), u"MyApp");
  EXPECT_EQ(remaining(), std::set<std::string>{"myapp-01022001.log"});
}

TEST_F(PurgeLogsTest, OnlyThisApplicationsLogFilesAreExamined) {
  for (const char* name : {"MYAPP-01012001.LOG", "myapp-01012001.txt", "other-01012001.log", "myapp-x-01012001.log",
                           "myapp01012001.log", "01012001.log", "myapp-010120011.log"}) {
    create(name);
  }
  component.PurgeLogs(app.text(), u"myapp");
  EXPECT_EQ(remaining(), (std::set<std::string>{"myapp-01012001.txt", "other-01012001.log", "myapp-x-01012001.log",
                                                "myapp01012001.log", "01012001.log", "myapp-010120011.log"}));
}

TEST_F(PurgeLogsTest, ApplicationNamesWithDashesArePurged) {
  create("my-app-01012001.log");
  create("my-app-03052002.log");
  create("my-01012001.log");  // another application whose name is a prefix of this one
  component.PurgeLogs(app.text(), u"My-App");
  EXPECT_EQ(remaining(), (std::set<std::string>{"my-app-03052002.log", "my-01012001.log"}));
}

TEST_F(PurgeLogsTest, NamesWithoutAValidDateAreNeverDeleted) {
  for (const char* name : {"myapp-02302001.log", "myapp-13012001.log", "myapp-00012001.log", "myapp-0101200x.log",
                           "myapp-ab012001.log", "myapp- 1012001.log"}) {
    create(name);
  }
  component.PurgeLogs(app.text(), u"MyApp");
  EXPECT_EQ(remaining().size(), 6u);
  EXPECT_TRUE(log::logFileDate(u"myapp-02292004.log", u"myapp").has_value());
  EXPECT_FALSE(log::logFileDate(u"myapp-02292003.log", u"myapp").has_value());
}

TEST_F(PurgeLogsTest, SubFoldersAreNotVisited) {
  fs::create_directory(app.path() / "Logs" / "myapp-01012001.log");
  testing::writeFile(app.path() / "Logs" / "myapp-01012001.log" / "myapp-01012001.log", "x");
  component.PurgeLogs(app.text(), u"MyApp");
  EXPECT_TRUE(fs::exists(app.path() / "Logs" / "myapp-01012001.log" / "myapp-01012001.log"));
}

TEST_F(PurgeLogsTest, AMissingFolderDoesNothing) {
  const fs::path missing = app.path() / "missing";
  component.PurgeLogs(missing.u16string(), u"MyApp");
  EXPECT_FALSE(fs::exists(missing));
  const log::PurgeResult result = log::purgeOldLogs(missing.u16string(), u"MyApp", clock->now);
  EXPECT_EQ(result.deleted + result.kept + result.refused, 0);
}

}  // namespace
}  // namespace orv
