// Passwords and keys typed at a terminal (a pseudo-terminal here): asked on standard error with
// the echo off, so what is typed never shows; twice where it encrypts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_tool.h"
#include "support/temp_folder.h"
#include "support/tool_terminal.h"

namespace orv::testing {
namespace {

const std::string kAbcd = "C11E6A583229034D46E186A5BA641877";  // "abcd" under OrvKey

// One prompt and what is typed at it.
struct Exchange {
  std::string prompt;
  std::string typed;
};

struct PromptCase {
  const char* what;
  std::string arguments;
  std::vector<Exchange> exchanges;
  int exitCode;
  std::string err;        // the end of what the terminal shows, after the last prompt
  std::string inputFile;  // standard input from this file instead of the terminal
};

// Runs the case at a terminal; its standard output, or "" when a step went wrong.
std::string runAtTerminal(const PromptCase& c) {
  ToolAtTerminal tool(c.arguments, c.inputFile);
  for (const Exchange& exchange : c.exchanges) {
    if (!tool.waitFor(exchange.prompt)) {
      ADD_FAILURE() << c.what << ": no prompt \"" << exchange.prompt << "\"; the terminal shows: " << tool.screen();
      return {};
    }
    tool.type(exchange.typed + "\n");
  }
  const int status = tool.finish();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << c.what << ": " << status << tool.screen();
  for (const Exchange& exchange : c.exchanges) {
    if (!exchange.typed.empty()) {
      EXPECT_EQ(tool.screen().find(exchange.typed), std::string::npos) << c.what;
    }
  }
  EXPECT_TRUE(tool.screen().ends_with(c.err)) << c.what << ": " << tool.screen();
  EXPECT_TRUE(tool.echoes()) << c.what;
  return tool.out();
}

std::string decrypted(const std::string& key, const std::string& cipherText) {
  return runToolApart("pwd decrypt --key '" + key + "' " + cipherText).out;
}

TEST(ToolPrompt, APasswordTypedAtTheTerminalIsAskedTwiceAndNeverShown) {
  const PromptCase typed{"encrypt at a terminal",
                         "pwd encrypt --key k",
                         {{"Password: ", "s3cret pass"}, {"Password again: ", "s3cret pass"}},
                         0,
                         "Password again: \r\n",
                         {}};
  const std::string out = runAtTerminal(typed);
  ASSERT_EQ(out.size(), 48u + 1) << out;  // 11 characters: 48 hex digits
  EXPECT_EQ(decrypted("k", out.substr(0, 48)), "s3cret pass\n");

  const PromptCase mismatch{"two different entries",
                            "pwd encrypt --key k",
                            {{"Password: ", "s3cret"}, {"Password again: ", "s3cert"}},
                            1,
                            "orvacct: the two entries of the password differ; nothing was done\r\n",
                            {}};
  EXPECT_EQ(runAtTerminal(mismatch), "");
}

TEST(ToolPrompt, AKeyIsTypedOnceToDecryptAndTwiceToEncrypt) {
  const TempFolder folder;
  writeFile(folder / "stored", kAbcd + "\n" + kAbcd + "\n");
  const std::vector<PromptCase> cases = {
      {"decrypt, items on the command line", "pwd decrypt --key-prompt " + kAbcd, {{"Key: ", "OrvKey"}}, 0, "Key: \r\n",
       {}},
      {"decrypt, items from a file, the key from the terminal",
       "pwd decrypt --key-prompt",
       {{"Key: ", "OrvKey"}},
       0,
       "Key: \r\n",
       (folder / "stored").string()},
      {"a key typed empty", "pwd decrypt --key-prompt " + kAbcd, {{"Key: ", ""}}, 1,
       "orvacct: an empty key was typed; an empty key encrypts with the cipher's public initial tables, which anyone "
       "can decrypt (give --key \"\" to mean that)\r\n",
       {}},
      {"file decrypt", "file decrypt --key-prompt '" + (folder / "missing").string() + "' -", {{"Key: ", "OrvKey"}}, 1,
       ": No such file or directory\r\n", {}},
      {"the input ended (Ctrl+D)", "pwd decrypt --key-prompt " + kAbcd, {{"Key: ", "\x04"}}, 1,
       "orvacct: no key was typed: the input ended\r\n", {}},
      {"the input ended at the new key", "pwd rekey --key-prompt --new-key-prompt " + kAbcd,
       {{"Key: ", "OrvKey"}, {"New key: ", "\x04"}}, 1, "orvacct: no new key was typed: the input ended\r\n", {}},
  };
  const std::vector<std::string> outs = {"abcd\n", "abcd\nabcd\n", "", "", "", ""};
  for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(runAtTerminal(cases[i]), outs[i]) << cases[i].what;

  const std::string sealed = runAtTerminal(
      {"encrypt", "pwd encrypt --key-prompt abc", {{"Key: ", "typed key"}, {"Key again: ", "typed key"}}, 0,
       "Key again: \r\n", {}});
  EXPECT_EQ(decrypted("typed key", sealed.substr(0, 32)), "abc\n");

  const std::string rekeyed = runAtTerminal({"rekey: the old key once, the new one twice",
                                             "pwd rekey --key-prompt --new-key-prompt " + kAbcd,
                                             {{"Key: ", "OrvKey"}, {"New key: ", "fresh"}, {"New key again: ", "fresh"}},
                                             0,
                                             "New key again: \r\n",
                                             {}});
  EXPECT_EQ(decrypted("fresh", rekeyed.substr(0, 32)), "abcd\n");
}

TEST(ToolPrompt, InterruptedAtThePromptTheTerminalEchoesAgain) {
  ToolAtTerminal tool("pwd decrypt --key-prompt " + kAbcd);
  ASSERT_TRUE(tool.waitFor("Key: ")) << tool.screen();
  tool.type("Orv\x03");
  const int status = tool.finish();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_TRUE(tool.echoes());
  EXPECT_EQ(tool.out(), "");
}

TEST(ToolPrompt, WithoutATerminalThePromptIsRefused) {
  // setsid: a session of its own has no controlling terminal.
  const auto run = runToolApart("pwd decrypt --key-prompt " + kAbcd + " </dev/null", "setsid");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.starts_with("orvacct: the key cannot be typed: no terminal to type it at")) << run.err;
  // Not a terminal: lines are read as ever, and nothing is asked.
  const auto lines = runToolApart("pwd encrypt --key k", "printf 'one\\ntwo\\n' |");
  EXPECT_EQ(lines.exitCode, 0) << lines.err;
  EXPECT_EQ(lines.out.size(), 2 * (32u + 1));
  EXPECT_EQ(lines.err, "");
}

}  // namespace
}  // namespace orv::testing
