// orvacct session on a platform without messaging says plainly that it is a Windows thing.
#include <gtest/gtest.h>

#include <string>

#include "support/run_tool.h"

namespace orv {
namespace {

TEST(ToolSession, SaysMessagingIsWindowsOnly) {
  for (const std::string verb : {"open", "check"}) {
    const auto run = testing::runTool("session " + verb);
    EXPECT_EQ(run.exitCode, 1) << verb;
    EXPECT_EQ(run.out,
              "orvacct: messaging exists only on Windows; run a Windows build of orvacct (under Wine, for instance)\n");
  }
}

}  // namespace
}  // namespace orv
