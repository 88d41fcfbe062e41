// The About box's portable part: twips to pixels and the layout, GetKeyValue and StartSysInfo
// over the registry double and a recording platform, and ShowAbout's steps through the seam.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "about/about_box.h"
#include "about/form_layout.h"
#include "about/sys_info.h"
#include "component/clsOrvAcctMan.h"
#include "base/failure.h"
#include "support/component_fixture.h"
#include "support/in_memory_registry_double.h"
#include "support/temp_folder.h"

namespace orv {
namespace {

using namespace std::string_literals;
using about::twipsToPixels;

TEST(AboutLayout, TwipsRoundToNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(twipsToPixels(5730, 96), 382);
  EXPECT_EQ(twipsToPixels(3645, 96), 243);
  EXPECT_EQ(twipsToPixels(5654, 96), 377);  // 376.93
  EXPECT_EQ(twipsToPixels(14, 48), 0);      // 0.47
  EXPECT_EQ(twipsToPixels(15, 48), 1);      // 0.5
  EXPECT_EQ(twipsToPixels(-15, 48), -1);
  EXPECT_EQ(twipsToPixels(90, 120), 8);      // 7.5
  EXPECT_EQ(twipsToPixels(5669, 120), 472);  // 472.4
}

// At the usual densities every control lies inside the client area and none covers another
// or the rule.
TEST(AboutLayout, ControlsFitAndKeepClearOfEachOtherAndOfTheRule) {
  for (const int dpi : {96, 120, 144, 192}) {
    const int rule = twipsToPixels(about::kRuleTop, dpi);
    std::vector<std::array<int, 4>> placed;
    for (const about::ControlLayout& control : about::kControls) {
      const int left = twipsToPixels(control.twips.left, dpi);
      const int top = twipsToPixels(control.twips.top, dpi);
      int right = left + twipsToPixels(control.twips.width, dpi);
      int bottom = top + twipsToPixels(control.twips.height, dpi);
      if (control.kind == about::ControlKind::Picture) {
        right = left + about::kPictureSize + 4;
        bottom = top + about::kPictureSize + 4;
      }
      SCOPED_TRACE("dpi " + std::to_string(dpi) + ", control " + std::to_string(control.id));
      EXPECT_GE(left, 0);
      EXPECT_LE(right, twipsToPixels(about::kClientWidth, dpi));
      EXPECT_LE(bottom, twipsToPixels(about::kClientHeight, dpi));
      EXPECT_TRUE(bottom <= rule || top >= rule + 2);
      for (const auto& other : placed) {
        EXPECT_TRUE(right <= other[0] || left >= other[2] || bottom <= other[1] || top >= other[3]);
      }
      placed.push_back({left, top, right, bottom});
    }
  }
}

// The platform of StartSysInfo, recording: files that exist, programs started, notices shown.
class RecordingPlatform final : public about::SysInfoPlatform {
 public:
  registry::RegistryApi& registry() override { return registryDouble; }
  std::string expandEnvironment(const std::string& text) override {
    std::string expanded = text;
    for (const auto& [name, value] : environment) {
      for (std::size_t at; (at = expanded.find('%' + name + '%')) != std::string::npos;) {
        expanded.replace(at, name.size() + 2, value);
      }
    }
    return expanded;
  }
  bool isOrdinaryFile(const std::string& path) override { return ordinaryFiles.count(path) == 1; }
  void startProgram(const std::string& commandLine) override {
    if (startable.count(commandLine) == 0) throw Failure(-2147024894, u"The system cannot find the file specified.");
    started.push_back(commandLine);
  }
  void showNotice(std::u16string_view text, std::u16string_view caption) override {
    notices.push_back(std::u16string(caption) + u": " + std::u16string(text));
  }

  testing::InMemoryRegistryDouble registryDouble;
  std::map<std::string, std::string> environment;
  std::set<std::string> ordinaryFiles;
  std::set<std::string> startable;
  std::vector<std::string> started;
  std::vector<std::u16string> notices;
};

const registry::KeyHandle kHklm = registry::rootKeyHandle(about::kHkeyLocalMachine);
constexpr char kKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

class GetKeyValueTest : public ::testing::Test {
 protected:
  bool read(const char* name, std::string& value) {
    return about::GetKeyValue(platform, about::kHkeyLocalMachine, kKey, name, value);
  }
  void store(const char* name, std::uint32_t type, std::string bytes) {
    platform.registryDouble.store(kHklm, kKey, name, type, std::move(bytes));
  }
  RecordingPlatform platform;
};

TEST_F(GetKeyValueTest, TextLosesOnlyATerminatingNulAndTheKeyIsOpenedForReading) {
  store("Terminated", registry::kRegSz, "C:\\Tools\\msinfo32.exe\0"s);
  store("Unterminated", registry::kRegSz, "C:\\Tools\\msinfo32.exe"s);
  store("Expandable", registry::kRegExpandSz, "%ProgramFiles%\\msinfo32.exe\0"s);
  platform.environment["ProgramFiles"] = "C:\\Program Files";
  std::string value = "before";
  EXPECT_TRUE(read("Terminated", value));
  EXPECT_EQ(value, "C:\\Tools\\msinfo32.exe");
  EXPECT_TRUE(read("Unterminated", value));
  EXPECT_EQ(value, "C:\\Tools\\msinfo32.exe");
  EXPECT_TRUE(read("Expandable", value));
  EXPECT_EQ(value, "C:\\Program Files\\msinfo32.exe");
  EXPECT_EQ(platform.registryDouble.calls().front(), "openKeyEx options=0 access=0x20019");
  EXPECT_EQ(platform.registryDouble.openHandleCount(), 0u);
}

TEST_F(GetKeyValueTest, AFailedOpenOrQueryEmptiesTheValueAndClosesOnlyWhatWasOpened) {
  std::string value = "before";
  EXPECT_FALSE(about::GetKeyValue(platform, about::kHkeyLocalMachine, "SOFTWARE\\Missing", "PATH", value));
  EXPECT_EQ(value, "");
  EXPECT_EQ(platform.registryDouble.calls(), std::vector<std::string>{"openKeyEx options=0 access=0x20019"});

  store("Long", registry::kRegSz, std::string(1025, 'x'));
  for (const char* name : {"Missing", "Long"}) {
    value = "before";
    EXPECT_FALSE(read(name, value)) << name;
    EXPECT_EQ(value, "") << name;
  }
  store("Exact", registry::kRegSz, std::string(1024, 'x'));
  EXPECT_TRUE(read("Exact", value));
  EXPECT_EQ(value.size(), 1024u);
  EXPECT_EQ(platform.registryDouble.openHandleCount(), 0u);
}

TEST_F(GetKeyValueTest, NoDataThrowsOtherTypesKeepTheValueDWordsBuildTheirOddNumber) {
  store("Empty", registry::kRegSz, "");
  std::string value = "before";
  try {
    read("Empty", value);
    ADD_FAILURE() << "no data must throw";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(), 5);
  }
  EXPECT_EQ(platform.registryDouble.openHandleCount(), 0u);

  store("Binary", registry::kRegBinary, "\x01\x02"s);
  EXPECT_TRUE(read("Binary", value));
  EXPECT_EQ(value, "before");

  // 0x00000102: the bytes 02 01 00 lose their last NUL, then each code, last first, in hex
  // without leading zeros: "&h" "0" "1" "2", that is 18.
  store("Number", registry::kRegDword, "\x02\x01\x00\x00"s);
  value.clear();
  EXPECT_TRUE(read("Number", value));
  EXPECT_EQ(value, "18");
  EXPECT_EQ(about::formatGeneral("&hFFFF"), "-1");
  EXPECT_EQ(about::formatGeneral("&h10000"), "65536");
  EXPECT_EQ(about::formatGeneral("&hFFFFFFFF"), "-1");
  EXPECT_EQ(about::formatGeneral("&h123456789"), "&h123456789");
  EXPECT_EQ(about::formatGeneral("&hxyz"), "&hxyz");
}

class StartSysInfoTest : public ::testing::Test {
 protected:
  void path(std::uint32_t type, std::string bytes) {
    platform.registryDouble.store(kHklm, kKey, "PATH", type, std::move(bytes));
  }
  void location(std::string folder) {
    platform.registryDouble.store(kHklm, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", registry::kRegSz,
                                  folder + '\0');
  }
  const std::vector<std::u16string> kNotice{u"OrvAcctMan: System Information Is Unavailable At This Time"};
  RecordingPlatform platform;
};

// The rules the platform cannot show on its own: the registered path is started without an
// existence check, the folder only with an ordinary MSINFO32.EXE in it, and every failure,
// a value of another type included, ends in the one notice.
TEST_F(StartSysInfoTest, PathAsItStandsFolderOnlyWithTheFileEveryFailureTheNotice) {
  location("C:\\Tools");
  platform.startable = {"C:\\Program Files\\msinfo32.exe", "C:\\Tools\\MSINFO32.EXE"};
  about::StartSysInfo(platform);
  EXPECT_EQ(platform.notices, kNotice) << "folder without the file";

  platform.notices.clear();
  platform.ordinaryFiles.insert("C:\\Tools\\MSINFO32.EXE");
  path(registry::kRegSz, "C:\\Program Files\\msinfo32.exe\0"s);
  about::StartSysInfo(platform);
  EXPECT_EQ(platform.started, std::vector<std::string>{"C:\\Program Files\\msinfo32.exe"});

  for (const std::string& bytes : {"C:\\Gone\\msinfo32.exe\0"s, ""s, "\x01"s}) {
    platform.notices.clear();
    path(bytes == "\x01" ? registry::kRegBinary : registry::kRegSz, bytes);
    about::StartSysInfo(platform);
    EXPECT_EQ(platform.notices, kNotice) << "path '" << bytes << "'";
  }
  EXPECT_EQ(platform.started.size(), 1u);
  EXPECT_EQ(platform.registryDouble.openHandleCount(), 0u);
}

// The About box as ShowAbout drives it, recorded; one step can be made to fail.
class RecordingAboutBox final : public about::AboutBox {
 public:
  void setAppName(const std::u16string& text) override { record(u"name " + text); }
  void setAppVersion(const std::u16string& labelText) override { record(u"version " + labelText); }
  void show() override { record(u"show"); }

  std::vector<std::u16string> steps;
  std::u16string failing;

 private:
  void record(const std::u16string& step) {
    steps.push_back(step);
    if (step.starts_with(failing) && !failing.empty()) throw Failure(-2147024888, u"Not enough memory");
  }
};

class ShowAboutTest : public ::testing::Test {
 protected:
  ShowAboutTest() {
    Services services = testing::testServices(clock, componentFolder.path());
    services.aboutBox = box;
    services.failureObserver = [this](std::int32_t number, const std::u16string&, const std::u16string& procedure) {
      reports.push_back(std::to_string(number) + " " + std::string(procedure.begin(), procedure.end()));
    };
    component = std::make_unique<clsOrvAcctMan>(services);
  }
  std::shared_ptr<testing::TestClock> clock = std::make_shared<testing::TestClock>();
  testing::TempFolder componentFolder;
  std::shared_ptr<RecordingAboutBox> box = std::make_shared<RecordingAboutBox>();
  std::vector<std::string> reports;
  std::unique_ptr<clsOrvAcctMan> component;
};

TEST_F(ShowAboutTest, NameThenVersionLabelThenShow) {
  component->ShowAbout(u"Ledger", u"2.1");
  component->ShowAbout();
  EXPECT_EQ(box->steps, (std::vector<std::u16string>{u"name Ledger", u"version VER 2.1", u"show", u"name ",
                                                     u"version VER ", u"show"}));
  EXPECT_TRUE(reports.empty());
}

TEST_F(ShowAboutTest, AFailedCaptionIsReportedAndTheBoxIsStillShown) {
  box->failing = u"name";
  component->ShowAbout(u"Ledger", u"2.1");
  EXPECT_EQ(box->steps, (std::vector<std::u16string>{u"name Ledger", u"version VER 2.1", u"show"}));
  EXPECT_EQ(reports, std::vector<std::string>{"-2147024888 ShowAbout"});
}

// Outside Windows there is no desktop: the call returns and nothing is logged.
TEST_F(ShowAboutTest, WithoutADesktopTheCallDoesNothingAndReportsNothing) {
  Services services = testing::testServices(clock, componentFolder.path());
  services.failureObserver = [this](std::int32_t number, const std::u16string&, const std::u16string&) {
    reports.push_back(std::to_string(number));
  };
  clsOrvAcctMan platformComponent(services);
  platformComponent.ShowAbout(u"Ledger", u"2.1");
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(std::filesystem::exists(componentFolder.path() / "Logs"));
}

}  // namespace
}  // namespace orv
