// What the orvacct tool must refuse rather than change silently (text the code page cannot
// carry, bytes that are not UTF-8, an empty key from a file or the environment), output it
// could not write, and the exit status that tells a wrong command line from a failure.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

const std::string kCyrillicKey = "'\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C'";       // пароль
const std::string kCyrillicPassword = "'\xD1\x81\xD0\xB5\xD0\xBA\xD1\x80\xD0\xB5\xD1\x82'";  // секрет

bool oneLine(const std::string& text) { return std::count(text.begin(), text.end(), '\n') == 1 && text.back() == '\n'; }

TEST(ToolInput, CharactersTheCodePageCannotCarryAreRefusedWithTheWayOut) {
  // A key or a password is named by the place of the character, which no message shows.
  const std::string wayOut =
      " cannot be written in code page WINDOWS-1252; choose another code page with ORVACCT_CODEPAGE (an iconv name, "
      "such as ORVACCT_CODEPAGE=WINDOWS-1251 for Cyrillic)\n";
  const struct {
    std::string arguments;
    std::string err;
  } secrets[] = {
      {"pwd encrypt --key " + kCyrillicKey + " abc", "orvacct: the key's character 1" + wayOut},
      {"pwd encrypt --key 'ab\xE2\x9C\x93" "d' abc", "orvacct: the key's character 3" + wayOut},  // U+2713
      {"pwd rekey --key k --new-key 'x\xC3\xA9\xF0\x9F\x94\x91' abc", "orvacct: the new key's character 3" + wayOut},
      {"pwd encrypt --key k " + kCyrillicPassword, "orvacct: item 1: the password's character 1" + wayOut},
  };
  for (const auto& c : secrets) {
    const auto run = runToolApart(c.arguments);
    EXPECT_EQ(run.exitCode, 1) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
    EXPECT_EQ(run.err, c.err) << c.arguments;
  }

  // The code page that holds them keeps them apart from other keys and brings them back.
  const std::string cyrillic = "ORVACCT_CODEPAGE=WINDOWS-1251";
  const auto sealed = runToolApart("pwd encrypt --key " + kCyrillicKey + " " + kCyrillicPassword, cyrillic);
  ASSERT_EQ(sealed.exitCode, 0) << sealed.err;
  const std::string cipher = sealed.out.substr(0, sealed.out.size() - 1);
  EXPECT_EQ(runToolApart("pwd decrypt --key " + kCyrillicKey + " " + cipher, cyrillic).out,
            "\xD1\x81\xD0\xB5\xD0\xBA\xD1\x80\xD0\xB5\xD1\x82\n");
  EXPECT_EQ(
      runToolApart("pwd decrypt --key '\xD0\xB0\xD0\xB0\xD0\xB0\xD0\xB0\xD0\xB0\xD0\xB0' " + cipher, cyrillic).exitCode,
      1);
  // A setting that names no code page is told as that setting's fault.
  const auto unknown = runToolApart("pwd encrypt --key k x", "ORVACCT_CODEPAGE=klingon");
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_EQ(unknown.err, "orvacct: unknown code page in ORVACCT_CODEPAGE: klingon\n");
}

// Each refusal names what was given and the reason in words a person can act on.
TEST(ToolInput, KeyFilesAndInputThatCannotBeReadSayWhy) {
  const TempFolder folder;
  writeFile(folder / "utf16-bom", std::string("\xFF\xFEk\0e\0y\0", 8));
  writeFile(folder / "utf16-bare", std::string("k\0e\0y\0", 6));
  const std::string dir = folder.path().string(), missing = (folder / "missing").string();
  const struct {
    std::string command;
    std::string error;
  } cases[] = {
      {"pwd encrypt --key-file '" + dir + "' x", "orvacct: cannot read the key file " + dir + ": it is a folder\n"},
      {"pwd encrypt --key-file '" + missing + "' x",
       "orvacct: cannot read the key file " + missing + ": No such file or directory\n"},
      {"pwd encrypt --key-file '" + (folder / "utf16-bom").string() + "' x",
       "orvacct: the key file " + (folder / "utf16-bom").string() +
           " is UTF-16 text (its byte order mark 0xFF 0xFE), as PowerShell and Notepad's \"Unicode\" write it; "
           "convert it first: iconv -f UTF-16 -t UTF-8\n"},
      {"pwd encrypt --key k --input-encoding ansi < '" + (folder / "utf16-bare").string() + "'",
       "orvacct: line 1 of standard input is UTF-16 text (a NUL byte at offset 1), as PowerShell and Notepad's "
       "\"Unicode\" write it; convert it first: iconv -f UTF-16 -t UTF-8\n"},
  };
  for (const auto& c : cases) {
    const auto run = runToolApart(c.command);
    EXPECT_EQ(run.exitCode, 1) << c.command;
    EXPECT_EQ(run.out, "") << c.command;
    EXPECT_EQ(run.err, c.error);
  }
}

TEST(ToolInput, BytesThatAreNotUtf8AreRefusedUnlessCodePageBytesAreAskedFor) {
  const TempFolder folder;
  const std::string keyFile = "'" + (folder / "key").string() + "'";
  writeFile(folder / "key", "p\xE4ss\r\n");  // saved in Windows-1252; no message shows a byte of a key
  const auto refused = runToolApart("pwd encrypt --key-file " + keyFile + " x");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, "orvacct: the key file " + (folder / "key").string() +
                             " is not UTF-8 (offset 1); save it as UTF-8, or give --key-encoding ansi "
                             "to take its bytes in the ANSI code page\n");
  const auto asAnsi = runToolApart("pwd encrypt --key-file " + keyFile + " --key-encoding ansi x");
  ASSERT_EQ(asAnsi.exitCode, 0) << asAnsi.err;
  EXPECT_EQ(runToolApart("pwd decrypt --key 'p\xC3\xA4ss' " + asAnsi.out).out, "x\n") << "the key is p\xC3\xA4ss";
  const auto newKey = runToolApart("pwd rekey --key a --new-key-file " + keyFile + " 00");
  EXPECT_NE(newKey.err.find("give --new-key-encoding ansi"), std::string::npos) << "the option of that key: " << newKey.err;
  writeFile(folder / "key", "\xEF\xBB\xBFp\xC3\xA4ss\n");  // UTF-8 with a byte order mark
  EXPECT_EQ(runToolApart("pwd decrypt --key-file " + keyFile + " " + asAnsi.out).out, "x\n");

  EXPECT_EQ(runToolApart("pwd encrypt --key-env ORV_KEY x", "ORV_KEY=$(printf 'p\\344ss')").exitCode, 1);
  const auto line = runToolApart("pwd encrypt --key k", "printf 'ok\\np\\344ss\\n' |");
  EXPECT_EQ(line.exitCode, 1);
  EXPECT_TRUE(line.err.starts_with("orvacct: line 2 of standard input is not UTF-8 (offset 1)"))
      << line.err;
  const auto lines = runToolApart("pwd encrypt --key k --input-encoding ansi", "printf 'p\\344ss\\n' |");
  ASSERT_EQ(lines.exitCode, 0) << lines.err;
  EXPECT_EQ(runToolApart("pwd decrypt --key k " + lines.out).out, "p\xC3\xA4ss\n");
  EXPECT_EQ(runToolApart("detick 'caf\xE9'").exitCode, 1);
}

TEST(ToolInput, AnEmptyKeyOnlyWhenGivenAsSuchOnTheCommandLine) {
  const TempFolder folder;
  writeFile(folder / "key", "\n");
  const auto file = runToolApart("pwd encrypt --key-file '" + (folder / "key").string() + "' x");
  EXPECT_EQ(file.exitCode, 1);
  EXPECT_NE(file.err.find("holds an empty key"), std::string::npos) << file.err;
  const auto environment = runToolApart("pwd encrypt --key-env ORV_KEY x", "ORV_KEY=");
  EXPECT_EQ(environment.exitCode, 1);
  EXPECT_EQ(environment.out, "");

  const auto explicitly = runToolApart("pwd encrypt --key '' x");
  EXPECT_EQ(explicitly.exitCode, 0);
  EXPECT_EQ(explicitly.out.size(), 33u);
  EXPECT_EQ(explicitly.err,
            "orvacct: warning: the key is empty: an empty key encrypts with the cipher's public initial tables, "
            "which anyone can decrypt\n");
}

TEST(ToolInput, EmptyCipherTextIsTheEmptyPasswordAndABlankLineDoesNotEndTheBatch) {
  const auto empty = runToolApart("pwd decrypt --key OrvKey ''");
  EXPECT_EQ(empty.exitCode, 0);
  EXPECT_EQ(empty.out, "\n");
  const std::string abcd = "C11E6A583229034D46E186A5BA641877";
  const auto batch = runToolApart("pwd decrypt --key OrvKey", "printf '" + abcd + "\\n\\r\\n" + abcd + "\\n' |");
  EXPECT_EQ(batch.exitCode, 0) << batch.err;
  EXPECT_EQ(batch.out, "abcd\n\nabcd\n");
}

// A stream the tool was started without is an error where "-" names it: no file the tool opens
// stands in for it (the temporary copy of the input would otherwise be read as the input).
TEST(ToolInput, AClosedStandardStreamIsAnErrorWhereADashNamesIt) {
  const TempFolder folder;
  writeFile(folder / "plain", "hi\n");
  const std::string plain = "'" + (folder / "plain").string() + "'";
  const std::string out = "'" + (folder / "out.bin").string() + "'";
  const std::string noInput = "orvacct: cannot read standard input: Bad file descriptor\n";
  const std::string noOutput = "orvacct: cannot write standard output: Bad file descriptor\n";
  const struct {
    std::string command;
    std::string error;
  } cases[] = {
      {"file encrypt --key k - " + out + " <&-", noInput},
      {"file decrypt --key k - " + out + " <&-", noInput},
      {"file encrypt --key k " + plain + " - >&-", noOutput},
      {"file encrypt --key k - - <" + plain + " >&-", noOutput},
      {"pwd encrypt --key k <&-", "orvacct: cannot read standard input\n"},
  };
  for (const auto& c : cases) {
    const auto run = runToolApart(c.command);
    EXPECT_EQ(run.exitCode, 1) << c.command;
    EXPECT_EQ(run.err, c.error) << c.command;
    EXPECT_FALSE(std::filesystem::exists(folder / "out.bin")) << c.command;
  }
}

TEST(ToolOutput, OutputThatCannotBeWrittenIsAFailure) {
  const TempFolder app;
  for (const std::string& command : std::vector<std::string>{
           "guid", "detick x", "pwd encrypt --key k x", "pwd decrypt --key OrvKey C11E6A583229034D46E186A5BA641877",
           "purge-logs --app-path '" + app.path().string() + "' --app-name a", "--version", "--help"}) {
    const auto run = runToolApart(command + " >/dev/full");
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_TRUE(oneLine(run.err) && run.err.starts_with("orvacct: cannot write standard output")) << command;
  }
}

// `orvacct ... | head -1`: once the reader has gone, every command that writes to standard
// output ends quietly, as if by SIGPIPE (the shell's 141), whether or not SIGPIPE was ignored
// by whoever started it.
TEST(ToolOutput, AReaderThatWentAwayEndsTheToolQuietlyAsBySigpipe) {
  const TempFolder work;
  const std::string folder = "'" + work.path().string() + "'";
  std::filesystem::create_directories(work / "app" / "Logs");
  writeFile(work / "app" / "Logs" / "sampleapp-03052002.log",
            "+++++++++++++++++++++++++++++++++++++++++\r\nError Description: Invalid procedure call\r\n"
            "Error Number: 5\r\nModule Name: modMain\r\nProcedure Name: Main\r\nVersion Number: 1.0.1\r\n"
            "Date: 3/5/2002 2:07:09 PM\r\n\r\n");
  writeFile(work / "plain", std::string(100000, 'x'));
  writeFile(work / "lines", "a\nb\nc\n");
  const std::string abcde = "30cc09c5be78f16aee0020ce6c194263eef4884a47e8ee3c";  // "abcde" under OrvKey
  const std::string sealed = "'" + (work / "sealed").string() + "'";
  ASSERT_EQ(runTool("file encrypt --key k '" + (work / "plain").string() + "' " + sealed).exitCode, 0);
  for (const std::string& command : std::vector<std::string>{
           "guid", "detick \"O'Brien\"", "--version", "--help", "pwd encrypt --help", "pwd encrypt --key k a b c",
           "pwd decrypt --key OrvKey " + abcde, "pwd decrypt --key OrvKey --output jsonl " + abcde,
           "pwd encrypt --key k --output csv < " + folder + "/lines",
           "file encrypt --key k " + folder + "/plain -", "file decrypt --key k " + sealed + " -",
           "logs export " + folder + "/app", "logs export --format csv " + folder + "/app",
           "logs summary " + folder + "/app", "purge-logs --dry-run --app-path " + folder + "/app --app-name SampleApp"}) {
    for (const bool ignored : {false, true}) {
      const ClosedPipeRun run = runToolIntoClosedPipe(command, ignored);
      EXPECT_TRUE(WIFSIGNALED(run.status) && WTERMSIG(run.status) == SIGPIPE)
          << command << (ignored ? " (SIGPIPE ignored)" : "") << ": status " << run.status;
      EXPECT_EQ(run.err, "") << command;
    }
  }
}

TEST(ToolOutput, UsageErrorsExitTwoWithOneLineAndAHint) {
  for (const std::string command :
       {"", "pwd", "pwd encrypt x", "pwd encrypt --no-such-option", "file encrypt --key k only-one", "detick",
        "pwd encrypt --key k --key-file f x", "pwd encrypt --key k --input-encoding latin1 x",
        "log --app-path . --app-name a --number 12abc --description d --module m --procedure p",
        "reg set-dword HKCU Software D 4294967296"}) {
    const auto run = runToolApart(command);
    EXPECT_EQ(run.exitCode, 2) << command;
    EXPECT_EQ(run.out, "") << command;
    EXPECT_TRUE(oneLine(run.err) && run.err.find(" --help')") != std::string::npos) << command << ": " << run.err;
  }
  // Everything else that goes wrong is a failure.
  EXPECT_EQ(runToolApart("file encrypt --key k /nonexistent/in out").exitCode, 1);
  EXPECT_EQ(runToolApart("pwd decrypt --key k 0G").exitCode, 1);
}

}  // namespace
}  // namespace orv::testing
