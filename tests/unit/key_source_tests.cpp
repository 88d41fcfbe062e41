// The tool's key from each place it comes from, a key typed at the terminal and a password on
// its way from one key to another: read into the secret type and nowhere else, so no block freed
// on the way still holds it.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "commands/commands.h"
#include "input/hidden_prompt.h"
#include "keys/key_options.h"
#include "passwords/password_batch.h"
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

// Standard input and standard error on a pseudo-terminal while a test types at it.
class AtTerminal {
 public:
  AtTerminal() {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) return;
    savedInput_ = dup(STDIN_FILENO);
    savedError_ = dup(STDERR_FILENO);
    dup2(slave_, STDIN_FILENO);
    dup2(slave_, STDERR_FILENO);
  }
  ~AtTerminal() {
    dup2(savedInput_, STDIN_FILENO);
    dup2(savedError_, STDERR_FILENO);
    for (const int fd : {savedInput_, savedError_, master_, slave_}) close(fd);
  }
  AtTerminal(const AtTerminal&) = delete;
  AtTerminal& operator=(const AtTerminal&) = delete;

  // Once the prompt shows (within a bound), the line is typed; nothing is allocated on the way.
  void typeAfter(const char* prompt, const char* line) {
    char screen[256] = {};
    std::size_t shown = 0;
    for (int waited = 0; std::strstr(screen, prompt) == nullptr && waited < 600 && shown + 1 < sizeof screen;) {
      pollfd wanted{master_, POLLIN, 0};
      if (poll(&wanted, 1, 100) <= 0) {
        ++waited;
        continue;
      }
      const ssize_t got = read(master_, screen + shown, sizeof screen - 1 - shown);
      if (got > 0) shown += static_cast<std::size_t>(got);
    }
    static_cast<void>(write(master_, line, std::strlen(line)));
  }

 private:
  int master_ = -1, slave_ = -1, savedInput_ = -1, savedError_ = -1;
};

TEST(KeySource, AKeyTypedAtThePromptLeavesNoCopyBehind) {
  AtTerminal terminal;
  const std::string line = std::string(kKey) + "\n";
  std::thread typist([&] { terminal.typeAfter("Key: ", line.c_str()); });
  bool same = false;
  const std::vector<std::string> patterns{kKey, bytesOf(kKeyText)};
  const std::size_t left = blocksFreedHolding(patterns, [&] { same = orvacct::readHidden("Key: ", "the key") == kKeyText; });
  typist.join();
  EXPECT_EQ(left, 0u);
  EXPECT_TRUE(same);
}

// The password between its two cipher texts: "correct horse battery staple" under OrvKey
// (tests/data/vectors/passwords.tsv).
TEST(KeySource, RekeyingLeavesNoCopyOfThePasswordBehind) {
  const SecretText stored(u"E27B2098EB3B5B05A5062A5B221DA1BAFC625CD2DDB85E7D55E34EE10AA4EB18D56A6D6056CFB1E6");
  orvacct::PasswordBatch batch(orvacct::PasswordOperation::Rekey, SecretText(u"OrvKey"), SecretText(u"new key"), true);
  SecretText rekeyed;
  const std::vector<std::string> patterns{kKey, bytesOf(kKeyText)};
  EXPECT_EQ(blocksFreedHolding(patterns, [&] { rekeyed = batch.process(stored, "item 1"); }), 0u);
  orvacct::PasswordBatch opened(orvacct::PasswordOperation::Decrypt, SecretText(u"new key"), SecretText(), true);
  EXPECT_EQ(opened.process(rekeyed, "item 1"), kKeyText);
}

// Whole pwd commands, in-process, from a file to a file: the password ("correct horse battery
// staple", stored under OrvKey) goes from the input through the cipher and the row writer to the
// output, or from one key to the other, and no block freed on the way holds it.
TEST(KeySource, APwdCommandLeavesNoCopyOfThePasswordBehind) {
  const TempFolder folder;
  const std::string stored = "E27B2098EB3B5B05A5062A5B221DA1BAFC625CD2DDB85E7D55E34EE10AA4EB18D56A6D6056CFB1E6";
  writeFile(folder / "lines", stored + "\n");
  writeFile(folder / "sealed.csv", "Id,Password,Note\r\n1,\"" + stored + "\",x\r\n");
  writeFile(folder / "plain.csv", std::string("Id,Password\r\n1,") + kKey + "\r\n");
  ASSERT_EQ(setenv("ORVACCT_TEST_KEY", "OrvKey", 1), 0);
  ASSERT_EQ(setenv("ORVACCT_TEST_NEW_KEY", "new key", 1), 0);
  const auto in = [&](const char* name) { return " --input-file '" + (folder / name).string() + "'"; };
  const std::string out = " --output-file '" + (folder / "out").string() + "' --overwrite";
  const struct {
    std::string arguments;
    std::string written;  // what the output file begins with
  } cases[] = {
      {"pwd decrypt --key-env ORVACCT_TEST_KEY" + in("lines") + out, std::string(kKey) + "\n"},
      {"pwd decrypt --key-env ORVACCT_TEST_KEY --output jsonl" + in("lines") + out, "\"" + std::string(kKey)},
      {"pwd rekey --key-env ORVACCT_TEST_KEY --new-key-env ORVACCT_TEST_NEW_KEY" + in("lines") + out, ""},
      {"pwd decrypt --key-env ORVACCT_TEST_KEY --csv-column Password" + in("sealed.csv") + out,
       "Id,Password,Note\r\n1,\"" + std::string(kKey) + "\",x\r\n"},
      {"pwd rekey --key-env ORVACCT_TEST_KEY --new-key-env ORVACCT_TEST_NEW_KEY --csv-column 2" + in("sealed.csv") + out,
       "Id,Password,Note\r\n1,\""},
      {"pwd encrypt --key-env ORVACCT_TEST_KEY --csv-column Password" + in("plain.csv") + out, "Id,Password\r\n1,"},
  };
  const std::vector<std::string> patterns{kKey, bytesOf(kKeyText)};
  for (const auto& c : cases) {
    const std::size_t left = blocksFreedHolding(patterns, [&] {
      CLI::App app;
      orvacct::addPasswordCommands(app);
      app.parse(c.arguments, false);
    });
    EXPECT_EQ(left, 0u) << c.arguments;
    EXPECT_TRUE(readFile(folder / "out").starts_with(c.written)) << c.arguments << ": " << readFile(folder / "out");
  }
  unsetenv("ORVACCT_TEST_KEY");
  unsetenv("ORVACCT_TEST_NEW_KEY");
}

// A key given as --key TEXT passes through the parser, which keeps its own copy: once the key is
// resolved, that copy is wiped, so none is left when the command's options go.
TEST(KeySource, AKeyOnTheCommandLineIsWipedFromTheOptionsOnceResolved) {
  const TempFolder folder;
  std::optional<CLI::App> app(std::in_place);
  orvacct::addPasswordCommands(*app);
  app->parse("pwd encrypt --key '" + std::string(kKey) + "' --output-file '" + (folder / "out").string() + "' abc",
             false);
  EXPECT_EQ(readFile(folder / "out").size(), 33u);
  const std::vector<std::string> patterns{kKey, bytesOf(kKeyText)};
  EXPECT_EQ(blocksFreedHolding(patterns, [&] { app.reset(); }), 0u);
}

}  // namespace
}  // namespace orv::testing
