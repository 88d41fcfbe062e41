// Reg_ methods over the registry double: keys, roots, the fixed call sequences and what
// happens when a call or a step fails.
#include <gtest/gtest.h>

#include <functional>

#include "base/failure.h"
#include "registry/refusal_recorder.h"
#include "support/registry_fixture.h"

namespace orv::testing {
namespace {

using registry::kRegSz;
using Calls = std::vector<std::string>;
using namespace std::string_literals;

class RegistryKeys : public RegistryFixture {};

TEST_F(RegistryKeys, CreateKeyMakesEveryMissingLevelAndLeavesExistingOnesAlone) {
  component->Reg_CreateKey(HkeyCurrentUser, u"Software\\Orv\\A\\B\\C");
  EXPECT_TRUE(registry->hasKey(hkcu(), "Software\\Orv\\A\\B\\C"));
  registry->store(hkcu(), "Software\\Orv\\A", "Kept", kRegSz, "v");
  component->Reg_CreateKey(HkeyCurrentUser, u"software\\ORV\\a");
  EXPECT_TRUE(registry->stored(hkcu(), "Software\\Orv\\A", "Kept").has_value());
  EXPECT_TRUE(registry->hasKey(hkcu(), "Software\\Orv\\A\\B\\C"));
  EXPECT_FALSE(registry->hasKey(hklm(), "Software\\Orv"));
}

TEST_F(RegistryKeys, DeleteKeyRemovesOnlyALeafAndSaysNothingOtherwise) {
  component->Reg_CreateKey(HkeyCurrentUser, u"Software\\Orv\\Parent\\Child");
  component->Reg_DeleteKey(HkeyCurrentUser, u"Software\\Orv\\Parent");
  EXPECT_TRUE(registry->hasKey(hkcu(), "Software\\Orv\\Parent\\Child"));
  component->Reg_DeleteKey(HkeyCurrentUser, u"Software\\Orv\\Parent\\Child");
  EXPECT_FALSE(registry->hasKey(hkcu(), "Software\\Orv\\Parent\\Child"));
  EXPECT_TRUE(registry->hasKey(hkcu(), "Software\\Orv\\Parent"));
  component->Reg_DeleteKey(HkeyCurrentUser, u"Software\\Orv\\Missing");
  EXPECT_TRUE(reported.empty());
}

TEST_F(RegistryKeys, DeleteValueRemovesOnlyTheNamedValue) {
  component->Reg_SaveSettingString(HkeyCurrentUser, u"Software\\Orv", u"Gone", u"1");
  component->Reg_SaveSettingString(HkeyCurrentUser, u"Software\\Orv", u"Stays", u"2");
  component->Reg_DeleteValue(HkeyCurrentUser, u"Software\\Orv", u"Gone");
  component->Reg_DeleteValue(HkeyCurrentUser, u"Software\\Missing", u"Stays");
  EXPECT_FALSE(registry->stored(hkcu(), "Software\\Orv", "Gone").has_value());
  EXPECT_TRUE(registry->stored(hkcu(), "Software\\Orv", "Stays").has_value());
  EXPECT_FALSE(registry->hasKey(hkcu(), "Software\\Missing"));
}

TEST_F(RegistryKeys, EachRootIsItsOwnTree) {
  component->Reg_SaveSettingDWord(HkeyLocalMachine, u"Software\\Orv", u"N", 1);
  component->Reg_SaveSettingDWord(HkeyCurrentUser, u"Software\\Orv", u"N", 2);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyLocalMachine, u"Software\\Orv", u"N"), 1);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyCurrentUser, u"Software\\Orv", u"N"), 2);
  EXPECT_EQ(component->Reg_GetSettingDWord(HkeyUsers, u"Software\\Orv", u"N", -1), -1);
}

// With an empty path the registry hands back the root itself; a root that is a handle of the
// caller's own must stay open, whichever method got it.
TEST_F(RegistryKeys, AnEmptyPathNeverClosesTheCallersOwnHandle) {
  registry::KeyHandle own = 0;
  ASSERT_EQ(registry->createKey(hkcu(), "Software\\Own", own), registry::kErrorSuccess);
  const auto root = static_cast<HKeyHive>(static_cast<std::int32_t>(own));
  const std::size_t open = registry->openHandleCount();
  component->Reg_SaveSettingString(root, u"", u"S", u"text");
  component->Reg_SaveSettingDWord(root, u"", u"D", 7);
  component->Reg_SaveSettingBinary(root, u"", u"B", u"b");
  component->Reg_CreateKey(root, u"");
  EXPECT_EQ(component->Reg_GetSettingString(root, u"", u"S"), u"text");
  EXPECT_EQ(component->Reg_GetSettingDWord(root, u"", u"D"), 7);
  EXPECT_EQ(component->Reg_GetSettingBinary(root, u"", u"B"), u"b");
  component->Reg_DeleteValue(root, u"", u"S");
  EXPECT_EQ(registry->openHandleCount(), open);
  EXPECT_FALSE(registry->stored(hkcu(), "Software\\Own", "S").has_value());
  EXPECT_EQ(registry->closeKey(own), registry::kErrorSuccess);
}

// A root outside the enumeration goes to the registry as it is; refused, it changes nothing
// and reports nothing.
TEST_F(RegistryKeys, RootOutsideTheEnumerationFailsSilently) {
  for (const std::uint32_t value : {0x80000004u, 0x12345678u, 0u}) {
    const auto hive = static_cast<HKeyHive>(static_cast<std::int32_t>(value));
    component->Reg_CreateKey(hive, u"Software\\Orv");
    component->Reg_SaveSettingString(hive, u"Software\\Orv", u"S", u"x");
    component->Reg_SaveSettingDWord(hive, u"Software\\Orv", u"D", 1);
    component->Reg_SaveSettingBinary(hive, u"Software\\Orv", u"B", u"x");
    component->Reg_DeleteValue(hive, u"Software\\Orv", u"S");
    component->Reg_DeleteKey(hive, u"Software\\Orv");
    EXPECT_EQ(component->Reg_GetSettingString(hive, u"Software\\Orv", u"S", u"d"), u"d");
    EXPECT_EQ(component->Reg_GetSettingDWord(hive, u"Software\\Orv", u"D", 9), 9);
    EXPECT_EQ(component->Reg_GetSettingBinary(hive, u"Software\\Orv", u"B"), u"");
  }
  EXPECT_FALSE(registry->hasKey(hkcu(), "Software\\Orv"));
  EXPECT_TRUE(reported.empty());
}

TEST_F(RegistryKeys, ReadsMakeTheirFixedCalls) {
  registry->store(hkcu(), "Software\\Orv", "Text", kRegSz, "abcde");
  registry->store(hkcu(), "Software\\Orv", "Expand", registry::kRegExpandSz, "x\0"s);

  component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Orv", u"Text");
  EXPECT_EQ(registry->calls(), (Calls{"openKey", "queryValueEx size-only", "queryValueEx size=5", "closeKey"}));
  registry->clearCalls();
  component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Orv", u"Expand");
  EXPECT_EQ(registry->calls(), (Calls{"openKey", "queryValueEx size-only", "closeKey"}));
  registry->clearCalls();
  component->Reg_GetSettingDWord(HkeyCurrentUser, u"Software\\Orv", u"Text");
  EXPECT_EQ(registry->calls(), (Calls{"openKeyEx options=0 access=0x20019", "queryValueEx size=4", "closeKey"}));
  registry->clearCalls();
  component->Reg_GetSettingBinary(HkeyCurrentUser, u"Software\\Orv", u"Text");
  EXPECT_EQ(registry->calls(), (Calls{"openKey", "queryValueEx size=1", "queryValueEx size=5", "closeKey"}));
}

TEST_F(RegistryKeys, WritesAndDeletesMakeTheirFixedCalls) {
  component->Reg_SaveSettingString(HkeyCurrentUser, u"Software\\Orv", u"S", u"abc");
  component->Reg_SaveSettingDWord(HkeyCurrentUser, u"Software\\Orv", u"D", 7);
  component->Reg_SaveSettingBinary(HkeyCurrentUser, u"Software\\Orv", u"B", u"ab");
  component->Reg_CreateKey(HkeyCurrentUser, u"Software\\Orv");
  component->Reg_DeleteValue(HkeyCurrentUser, u"Software\\Orv", u"S");
  component->Reg_DeleteKey(HkeyCurrentUser, u"Software\\Orv");
  EXPECT_EQ(registry->calls(), (Calls{"createKey", "setValueEx type=1 size=3", "closeKey",  //
                                      "createKey", "setValueEx type=4 size=4", "closeKey",  //
                                      "createKey", "setValueEx type=3 size=2", "closeKey",  //
                                      "createKey", "closeKey",                              //
                                      "openKey", "deleteValue", "closeKey",                 //
                                      "deleteKey"}));
}

// A key that cannot be opened still gets its close call, on handle 0, which the registry
// refuses harmlessly; the reads fall back.
TEST_F(RegistryKeys, FailedOpenStillRunsTheRestOfTheSequence) {
  component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Missing", u"S");
  EXPECT_EQ(registry->calls(), (Calls{"openKey", "queryValueEx size-only", "closeKey"}));
}

TEST_F(RegistryKeys, FailedSecondStringReadGivesDefault) {
  registry->store(hkcu(), "Software\\Orv", "Text", kRegSz, "abc");
  registry->failCall("queryValueEx", 2, registry::kErrorAccessDenied);
  EXPECT_EQ(component->Reg_GetSettingString(HkeyCurrentUser, u"Software\\Orv", u"Text", u"fallback"), u"fallback");
  registry->failCall("queryValueEx", 2, registry::kErrorAccessDenied);
  EXPECT_EQ(component->Reg_GetSettingBinary(HkeyCurrentUser, u"Software\\Orv", u"Text"), u"");
  EXPECT_TRUE(reported.empty());
}

// A step that fails inside a method is reported once, with the method's own procedure text,
// and the method carries on: the key is still closed (checked at tear-down) and a read
// returns its fallback.
struct FailingStepCase {
  const char* operation;
  std::function<void(clsOrvAcctMan&)> call;
  const char16_t* procedure;
};

TEST_F(RegistryKeys, FailingStepIsReportedWithTheMethodsProcedureText) {
  registry->store(hkcu(), "Software\\Orv", "V", kRegSz, "abc");
  const std::u16string path = u"Software\\Orv";
  const std::u16string name = u"V";
  const std::vector<FailingStepCase> cases = {
      {"deleteValue", [&](clsOrvAcctMan& c) { c.Reg_DeleteValue(HkeyCurrentUser, path, name); },
       u"Reg_DeleteValue(HKEY As HKeyHive, ByVal strPath As String, ByVal strValue As String)"},
      {"deleteKey", [&](clsOrvAcctMan& c) { c.Reg_DeleteKey(HkeyCurrentUser, u"Software\\Orv\\None"); },
       u"Reg_DeleteKey(HKEY As HKeyHive, ByVal strPath As String)"},
      {"createKey", [&](clsOrvAcctMan& c) { c.Reg_CreateKey(HkeyCurrentUser, path); },
       u"Reg_CreateKey(HKEY As HKeyHive, strPath As String)"},
      {"queryValueEx",
       [&](clsOrvAcctMan& c) { EXPECT_EQ(c.Reg_GetSettingString(HkeyCurrentUser, path, name, u"d"), u"d"); },
       u"Reg_GetSettingString(HKEY As HKeyHive, strPath As String, strValue As String, Optional Default As String) "
       u"As String"},
      {"queryValueEx", [&](clsOrvAcctMan& c) { EXPECT_EQ(c.Reg_GetSettingDWord(HkeyCurrentUser, path, name, 3), 3); },
       u"Reg_GetSettingDWord(HKEY As HKeyHive, strPath As String, strValue As String, Optional Default As Long) As "
       u"Long"},
      {"openKey", [&](clsOrvAcctMan& c) { EXPECT_EQ(c.Reg_GetSettingBinary(HkeyCurrentUser, path, name), u""); },
       u"Reg_GetSettingBinary(hKey As HKeyHive, strPath As String, strValue As String) As String"},
      {"setValueEx", [&](clsOrvAcctMan& c) { c.Reg_SaveSettingString(HkeyCurrentUser, path, u"S", u"x"); },
       u"Reg_SaveSettingString(HKEY As HKeyHive, strPath As String, strValue As String, strData As String)"},
      {"setValueEx", [&](clsOrvAcctMan& c) { c.Reg_SaveSettingDWord(HkeyCurrentUser, path, u"D", 1); },
       u"Reg_SaveSettingDWord(hKey As HKeyHive, strPath As String, strValue As String, lngData As Long)"},
      {"createKey", [&](clsOrvAcctMan& c) { c.Reg_SaveSettingBinary(HkeyCurrentUser, path, u"B", u"x"); },
       u"Reg_SaveSettingBinary(hKey As HKeyHive, strPath As String, strValue As String, strData As String)"},
  };
  for (const FailingStepCase& failing : cases) {
    SCOPED_TRACE(failing.operation);
    reported.clear();
    registry->throwOnCall(failing.operation);
    failing.call(*component);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].number, error_number::kOutOfMemory);
    EXPECT_EQ(reported[0].procedure, failing.procedure);
    EXPECT_EQ(registry->openHandleCount(), 0u);
  }
  EXPECT_FALSE(registry->stored(hkcu(), "Software\\Orv", "S").has_value());
  EXPECT_FALSE(registry->stored(hkcu(), "Software\\Orv", "D").has_value());
  EXPECT_FALSE(registry->stored(hkcu(), "Software\\Orv", "B").has_value());
  EXPECT_TRUE(registry->stored(hkcu(), "Software\\Orv", "V").has_value());
}

TEST_F(RegistryKeys, ReportedFailuresReachTheComponentsOwnLog) {
  registry->throwOnCall("deleteKey");
  component->Reg_DeleteKey(HkeyCurrentUser, u"Software\\Orv");
  const std::string record = readFile(ownLogFile(componentFolder.path(), clock->now));
  EXPECT_NE(record.find("Module Name: clsOrvAcctMan\r\nProcedure Name: Reg_DeleteKey(HKEY As HKeyHive, ByVal strPath "
                        "As String)\r\n"),
            std::string::npos)
      << record;
}

// What orvacct learns of a change the registry refused: the first refusal among the calls the
// change needed, never a failure that only follows from it, and nothing of a change that worked.
TEST_F(RegistryKeys, TheRecorderKeepsTheFirstRefusalOfAChange) {
  registry->store(hkcu(), "Software\\Orv\\Parent\\Child", "V", kRegSz, "v");
  const std::u16string parent = u"Software\\Orv\\Parent";
  const std::vector<std::pair<std::function<void(clsOrvAcctMan&)>, std::string>> cases = {
      {[&](clsOrvAcctMan& c) {
         registry->failCall("createKey", 1, registry::kErrorMoreData);
         c.Reg_SaveSettingString(HkeyCurrentUser, parent, u"S", u"x");
       },
       "RegCreateKeyA 234"},
      {[&](clsOrvAcctMan& c) {
         registry->failCall("setValueEx", 1, registry::kErrorAccessDenied);
         c.Reg_SaveSettingDWord(HkeyCurrentUser, parent, u"D", 1);
       },
       "RegSetValueExA 5"},
      {[&](clsOrvAcctMan& c) { c.Reg_DeleteKey(HkeyCurrentUser, parent); }, "RegDeleteKeyA 5"},
      {[&](clsOrvAcctMan& c) { c.Reg_DeleteValue(HkeyCurrentUser, u"Software\\Missing", u"V"); }, "RegOpenKeyA 2"},
      {[&](clsOrvAcctMan& c) { c.Reg_DeleteValue(HkeyCurrentUser, parent, u"V"); }, "RegDeleteValueA 2"},
      {[&](clsOrvAcctMan& c) { c.Reg_SaveSettingBinary(HkeyCurrentUser, parent, u"B", u"x"); }, ""},
  };
  for (const auto& [change, expected] : cases) {
    const auto recorder = std::make_shared<registry::RefusalRecorder>(registry);
    Services services = testServices(clock, componentFolder.path());
    services.registry = recorder;
    clsOrvAcctMan tool(std::move(services));
    change(tool);
    const auto& refusal = recorder->firstRefusal();
    EXPECT_EQ(refusal ? std::string(refusal->function) + " " + std::to_string(refusal->code) : "", expected);
  }
  EXPECT_TRUE(registry->hasKey(hkcu(), "Software\\Orv\\Parent\\Child"));
}

}  // namespace
}  // namespace orv::testing
