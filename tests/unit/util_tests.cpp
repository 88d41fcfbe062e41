#include <gtest/gtest.h>

#include <set>
#include <string>

#include "component/clsOrvAcctMan.h"
#include "support/component_fixture.h"
#include "util/detick.h"

namespace orv {
namespace {

bool isRegistryGuidText(const std::u16string& text) {
  if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
  for (std::size_t i = 1; i < 37; ++i) {
    const bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
    const char16_t c = text[i];
    if (hyphen ? c != u'-' : !((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
  }
  return true;
}

TEST(CreateGUID, GivesNewUpperCaseRegistryTextEachCall) {
  clsOrvAcctMan component;
  std::set<std::u16string> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::u16string text = component.CreateGUID();
    ASSERT_TRUE(isRegistryGuidText(text)) << std::string(text.begin(), text.end());
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST(CreateGUID, WritesTheFieldsInWindowsOrder) {
  util::GuidRecord guid{0x0123ABCD, 0x4567, 0x89EF, {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10}};
  EXPECT_EQ(util::guidText(guid), u"{0123ABCD-4567-89EF-FEDC-BA9876543210}");
}

TEST(CreateGUID, ASourceFailureGivesEmptyTextWithoutARecord) {
  auto clock = std::make_shared<testing::TestClock>();
  testing::TempFolder own;
  Services services = testing::testServices(clock, own.path());
  services.newGuid = [](util::GuidRecord&) { return static_cast<std::int32_t>(0x80004005); };
  clsOrvAcctMan component(services);
  EXPECT_EQ(component.CreateGUID(), u"");
  EXPECT_FALSE(std::filesystem::exists(own.path() / "Logs"));
}

TEST(DeTick, DoublesEveryApostropheAndNothingElse) {
  clsOrvAcctMan component;
  const std::u16string ticked = u"O'Brien's \"quote\" \u2019 `x`";
  EXPECT_EQ(component.DeTick(ticked), u"O''Brien''s \"quote\" \u2019 `x`");
  EXPECT_EQ(ticked, u"O'Brien's \"quote\" \u2019 `x`");
  EXPECT_EQ(component.DeTick(u""), u"");
  EXPECT_EQ(component.DeTick(u"'"), u"''");
  EXPECT_EQ(component.DeTick(u"''"), u"''''");
  EXPECT_EQ(component.DeTick(u"no apostrophes"), u"no apostrophes");
  EXPECT_EQ(util::doubleApostrophes(u"a'b'"), u"a''b''");
}

}  // namespace
}  // namespace orv
