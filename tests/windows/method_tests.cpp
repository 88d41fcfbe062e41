// Every wired method called early bound and late bound by DISPID, with the same results.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "com_fixtures.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

class MethodTest : public ObjectTest {
 protected:
  std::wstring deTickEarly(const wchar_t* text) {
    Bstr input(text);
    Bstr result;
    EXPECT_EQ(S_OK, object_->DeTick(input.ref(), result.out()));
    EXPECT_EQ(text, input.text());
    return result.text();
  }

  std::wstring deTickLate(const wchar_t* text) {
    Variant input(text);
    Variant result;
    EXPECT_EQ(S_OK, invoke(dispatch_.Get(), dispid::DeTick, {byRefVariant(input)}, result.get()));
    EXPECT_EQ(VT_BSTR, (*result).vt);
    EXPECT_EQ(text, input.text());
    return result.text();
  }
};

bool isGuidText(const std::wstring& text) {
  if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') return false;
  for (std::size_t i = 1; i < 37; ++i) {
    const bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
    if (hyphen != (text[i] == L'-')) return false;
    if (!hyphen && !iswxdigit(text[i])) return false;
    if (!hyphen && iswlower(text[i])) return false;
  }
  return true;
}

std::string readAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST_F(MethodTest, DeTickDoublesApostrophesBothWays) {
  for (const wchar_t* text : {L"", L"plain", L"'", L"''", L"O'Brien's", L"\"quoted\" `back`"}) {
    std::wstring expected;
    for (const wchar_t c : std::wstring(text)) expected += c == L'\'' ? std::wstring(L"''") : std::wstring(1, c);
    EXPECT_EQ(expected, deTickEarly(text)) << "early bound";
    EXPECT_EQ(expected, deTickLate(text)) << "by DISPID";
  }
}

TEST_F(MethodTest, CreateGuidGivesNewRegistryFormTextBothWays) {
  Bstr early;
  ASSERT_EQ(S_OK, object_->CreateGUID(early.out()));
  Variant late;
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::CreateGUID, {}, late.get()));
  EXPECT_TRUE(isGuidText(early.text())) << early.text().size();
  EXPECT_TRUE(isGuidText(late.text()));
  EXPECT_NE(early.text(), late.text());
}

TEST_F(MethodTest, LogErrorsWritesOneRecordPerErrorBothWays) {
  TempFolder folder;
  const std::wstring path = folder.path().wstring();
  Bstr appPath(path.c_str());
  Bstr appName(L"EarlyApp");
  LONG number = static_cast<LONG>(0x80004005);
  Bstr description(L"Unspecified error");
  Bstr module(L"modMain");
  Bstr procedure(L"Main()");
  Bstr major(L"2");
  Bstr minor(L"4");
  Bstr revision(L"17");
  for (int i = 0; i < 2; ++i) {  // the repeat is not written again
    ASSERT_EQ(S_OK, object_->LogErrors(appPath.ref(), appName.ref(), &number, description.ref(), module.ref(),
                                       procedure.ref(), major.ref(), minor.ref(), revision.ref()));
  }
  const std::string early = readAll(folder.path() / "Logs" / (L"earlyapp-" + todayStamp() + L".log"));
  EXPECT_NE(std::string::npos, early.find("Error Number: -2147467259\r\nModule Name: modMain\r\n"));
  EXPECT_NE(std::string::npos, early.find("Version Number: 2.4.17\r\n"));
  EXPECT_EQ(early.find("+++"), early.rfind("+++++++++++++++++++++++++++++++++++++++++\r\n"));

  // Late bound, the version parts left out: they count as empty text.
  Variant latePath(path.c_str());
  Variant lateName(L"LateApp");
  Variant lateNumber(static_cast<LONG>(-5));
  Variant lateDescription(L"Custom failure");
  Variant lateModule(L"modLate");
  Variant lateProcedure(L"Run()");
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::LogErrors,
                         {byRefVariant(latePath), byRefVariant(lateName), byValue(lateNumber),
                          byRefVariant(lateDescription), byValue(lateModule), byValue(lateProcedure)}));
  const std::string late = readAll(folder.path() / "Logs" / (L"lateapp-" + todayStamp() + L".log"));
  EXPECT_NE(std::string::npos, late.find("Error Description: Custom failure\r\nError Number: -5\r\n"));
  EXPECT_NE(std::string::npos, late.find("Version Number: ..\r\n"));
}

TEST_F(MethodTest, PurgeLogsDeletesOnlyOldFilesBothWays) {
  TempFolder folder;
  const std::filesystem::path logs = folder.path() / "Logs";
  std::filesystem::create_directories(logs);
  const auto touch = [&](const std::wstring& name) { std::ofstream(logs / name) << "x"; };
  touch(L"app-01012020.log");
  touch(L"app-" + todayStamp() + L".log");
  Bstr appPath(folder.path().wstring().c_str());
  Bstr appName(L"App");
  ASSERT_EQ(S_OK, object_->PurgeLogs(appPath.ref(), appName.ref()));
  EXPECT_FALSE(std::filesystem::exists(logs / L"app-01012020.log"));
  EXPECT_TRUE(std::filesystem::exists(logs / (L"app-" + todayStamp() + L".log")));

  touch(L"app-02022020.log");
  Variant latePath(folder.path().wstring().c_str());
  Variant lateName(L"App");
  ASSERT_EQ(S_OK, invoke(dispatch_.Get(), dispid::PurgeLogs, {byValue(latePath), byValue(lateName)}));
  EXPECT_FALSE(std::filesystem::exists(logs / L"app-02022020.log"));
  EXPECT_TRUE(std::filesystem::exists(logs / (L"app-" + todayStamp() + L".log")));
}

TEST_F(MethodTest, ShowAboutAcceptsNoneOrBothArguments) {
  Bstr name(L"Client");
  Bstr version(L"1.2");
  EXPECT_EQ(S_OK, object_->ShowAbout(name.ref(), version.ref()));
  EXPECT_EQ(S_OK, object_->ShowAbout(nullptr, nullptr));
  EXPECT_EQ(S_OK, invoke(dispatch_.Get(), dispid::ShowAbout, {}));
  Variant lateName(L"Client");
  EXPECT_EQ(S_OK, invoke(dispatch_.Get(), dispid::ShowAbout, {byValue(lateName)}));
}

}  // namespace
}  // namespace orv::testing
