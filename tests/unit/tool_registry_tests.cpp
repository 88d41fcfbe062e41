// orvacct reg on a platform without a registry: arguments are still checked, then the tool
// says plainly that the registry is a Windows thing.
#include <gtest/gtest.h>

#include <string>

#include "support/run_tool.h"

namespace orv {
namespace {

using testing::runTool;

const std::string kNoRegistry =
    "orvacct: the registry exists only on Windows; run a Windows build of orvacct (under Wine, for instance)\n";

TEST(ToolRegistry, EveryVerbSaysTheRegistryIsWindowsOnly) {
  for (const std::string command :
       {"get-string HKCU 'Software\\Orv' Name --default x", "get-dword HKEY_LOCAL_MACHINE 'Software\\Orv' N",
        "get-binary hkcr 'Software\\Orv' B", "set-string HKU 'Software\\Orv' S text",
        "set-dword HKCC 'Software\\Orv' D -1", "set-dword HKCU 'Software\\Orv' D 0xFFFFFFFF",
        "set-binary HKCU 'Software\\Orv' B '00 ff 41'", "create-key HKEY_USERS 'Software\\Orv'",
        "delete-key HKEY_CURRENT_CONFIG 'Software\\Orv'", "delete-value HKEY_CLASSES_ROOT 'Software\\Orv' V"}) {
    const auto run = runTool("reg " + command);
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_EQ(run.out, kNoRegistry) << command;
  }
}

TEST(ToolRegistry, MistakesInArgumentsAreNamedFirst) {
  const auto hive = runTool("reg get-string HKXX 'Software\\Orv' Name");
  EXPECT_EQ(hive.exitCode, 2);
  EXPECT_EQ(hive.out,
            "orvacct: unknown hive 'HKXX': use HKCU, HKLM, HKCR, HKU, HKCC or their HKEY_ names "
            "(see 'orvacct reg get-string --help')\n");

  for (const std::string data : {"4294967296", "-2147483649", "12abc", "''"}) {
    const auto run = runTool("reg set-dword HKCU Software D " + data);
    EXPECT_EQ(run.exitCode, 2) << data;
    EXPECT_NE(run.out.find("DATA is not a 32-bit number"), std::string::npos) << run.out;
  }
  EXPECT_NE(runTool("reg get-dword HKCU Software D --default ten").out.find("not a 32-bit number"), std::string::npos);

  EXPECT_NE(runTool("reg set-binary HKCU Software B 0G").out.find("not hex data"), std::string::npos);
  EXPECT_NE(runTool("reg set-binary HKCU Software B ABC").out.find("two digits a byte"), std::string::npos);

  EXPECT_NE(runTool("reg get-string HKCU Software").exitCode, 0);
  EXPECT_NE(runTool("reg").exitCode, 0);
}

}  // namespace
}  // namespace orv
