// Files the tool opens are closed on every path: a copy of the input that fails part way
// leaves no stream of its own open, nor the source it was reading.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "commands/commands.h"
#include "platform/unique_file.h"
#include "support/temp_folder.h"
#include "input/temporary_copy.h"
#include "output/tool_output.h"

namespace orv::testing {
namespace {

std::size_t openDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(ToolFiles, ACopyAsideThatFailsClosesWhatItOpened) {
  const TempFolder folder;
  const platform::UniqueFile writeOnly = platform::openFile(folder / "write-only", "wb");
  ASSERT_TRUE(writeOnly);
  const struct {
    const char* what;
    std::function<void()> run;
  } cases[] = {
      {"a source that cannot be read", [&] { orvacct::TemporaryCopy(writeOnly.get(), "the source"); }},
      // A folder is no plain file, so it is copied aside; reading it fails.
      {"the file command given a folder",
       [&] {
         CLI::App tool;
         orvacct::addFileCommands(tool);
         tool.parse("file encrypt --key k '" + folder.path().string() + "' '" + (folder / "out").string() + "'",
                    false);
       }},
  };
  for (const auto& c : cases) {
    const std::size_t before = openDescriptors();
    EXPECT_THROW(c.run(), orvacct::ToolError) << c.what;
    EXPECT_EQ(openDescriptors(), before) << c.what;
  }
}

}  // namespace
}  // namespace orv::testing
