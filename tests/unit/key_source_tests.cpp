// The tool's key from each place it comes from: read into the secret type and nowhere else, so
// no block freed on the way still holds it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <CLI/CLI.hpp>
#include <string>

#include "key_options.h"
#include "support/freed_memory_watch.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

constexpr char kKey[] = "correct horse battery staple";
constexpr char16_t kKeyText[] = u"correct horse battery staple";

SecretText keyFrom(const std::string& arguments) {
  CLI::App command;
  orvacct::KeyOptions options;
  orvacct::addKeyOptions(command, options);
  command.parse(arguments, false);
  return orvacct::resolveKey(options);
}

TEST(KeySource, LeavesNoCopyOfTheKeyBehind) {
  const TempFolder folder;
  writeFile(folder / "key", std::string(kKey) + "\r\n");
  writeFile(folder / "key-with-bom", "\xEF\xBB\xBF" + std::string(kKey));
  ASSERT_EQ(setenv("ORVACCT_TEST_KEY", kKey, 1), 0);
  const std::string cases[] = {
      "--key-file '" + (folder / "key").string() + "'",
      "--key-file '" + (folder / "key-with-bom").string() + "'",
      "--key-file '" + (folder / "key").string() + "' --key-encoding ansi",
      "--key-env ORVACCT_TEST_KEY",
  };
  const std::vector<std::string> patterns{kKey, bytesOf(kKeyText)};
  for (const std::string& arguments : cases) {
    bool same = false;
    EXPECT_EQ(blocksFreedHolding(patterns, [&] { same = keyFrom(arguments) == kKeyText; }), 0u) << arguments;
    EXPECT_TRUE(same) << arguments;
  }
  unsetenv("ORVACCT_TEST_KEY");
}

}  // namespace
}  // namespace orv::testing
