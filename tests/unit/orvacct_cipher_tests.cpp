// The orvacct pwd and file commands, run as a user would.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cipher/hex_text.h"
#include "support/forged_cipher_data.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"
#include "vector_files.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status;
  std::string out;
};

// Standard output only.
ToolRun orvacct(const std::string& arguments) {
  const auto run = orv::testing::runToolApart(arguments);
  return {run.exitCode, run.out};
}

class OrvacctCipher : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  const orv::testing::TempFolder folder_;
};

TEST_F(OrvacctCipher, PwdDecryptsComponentCipherTextAndRefusesAWrongKey) {
  const ToolRun ok = orvacct("pwd decrypt --key OrvKey C11E6A583229034D46E186A5BA641877");
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "abcd\n");
  const ToolRun wrong = orvacct("pwd decrypt --key Other C11E6A583229034D46E186A5BA641877");
  EXPECT_NE(wrong.status, 0);
  EXPECT_EQ(wrong.out, "");
  EXPECT_NE(orvacct("pwd decrypt --key OrvKey C11E6A58322903").status, 0);
}

// Passwords that installations under code pages 932 and 936 stored: the key schedule cycles
// over as many key bytes as the key has characters (independently made vectors).
TEST_F(OrvacctCipher, PwdReadsPasswordsStoredUnderDoubleByteCodePages) {
  const auto rows = orv::testing::readVectorRows("passwords-dbcs.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const std::string codePage = "ORVACCT_CODEPAGE=CP" + row.at("code_page");
    const auto opened =
        orv::testing::runToolApart("pwd decrypt --key '" + row.at("key") + "' " + row.at("cipher_hex"), codePage);
    EXPECT_EQ(opened.exitCode, 0) << opened.err;
    EXPECT_EQ(opened.out, row.at("password") + "\n") << row.at("key");
    const auto sealed =
        orv::testing::runToolApart("pwd encrypt --key '" + row.at("key") + "' '" + row.at("password") + "'", codePage);
    EXPECT_EQ(sealed.out.size(), row.at("cipher_hex").size() + 1);
    const auto reopened =
        orv::testing::runToolApart("pwd decrypt --key '" + row.at("key") + "' " + sealed.out, codePage);
    EXPECT_EQ(reopened.out, row.at("password") + "\n");
  }
}

TEST_F(OrvacctCipher, ForgedNegativeSizeDescriptorIsRefusedOnEveryPath) {
  const std::vector<std::uint8_t> forged = orv::testing::forgedCipherData(u"OrvKey", -1);
  const ToolRun pwd =
      orvacct("pwd decrypt --key OrvKey " + orv::cipher::toHexDigits(std::string(forged.begin(), forged.end())));
  EXPECT_EQ(pwd.status, 1);
  EXPECT_EQ(pwd.out, "");
  std::ofstream(path("forged"), std::ios::binary).write(reinterpret_cast<const char*>(forged.data()), 16);
  EXPECT_EQ(orvacct("file decrypt --key OrvKey " + path("forged") + " " + path("opened")).status, 1);
  EXPECT_FALSE(fs::exists(path("opened")));
}

TEST_F(OrvacctCipher, PwdBatchFromStandardInputWithKeyFromFileAndEnvironment) {
  std::ofstream(path("key")) << "clé\n";
  std::ofstream(path("passwords")) << "one\nt\xC3\xA9l\xC3\xA9phone\n\nlast\n";
  const ToolRun sealed =
      orvacct("pwd encrypt --key-file " + path("key") + " < " + path("passwords") + " > " + path("sealed"));
  EXPECT_EQ(sealed.status, 0);
  const ToolRun opened = orvacct("pwd decrypt --key-env ORVACCT_TEST_KEY < " + path("sealed"));
  EXPECT_NE(opened.status, 0) << "an unset variable must not count as an empty key";
  setenv("ORVACCT_TEST_KEY", "clé", 1);
  const ToolRun reopened = orvacct("pwd decrypt --key-env ORVACCT_TEST_KEY < " + path("sealed"));
  unsetenv("ORVACCT_TEST_KEY");
  EXPECT_EQ(reopened.status, 0);
  EXPECT_EQ(reopened.out, "one\nt\xC3\xA9l\xC3\xA9phone\n\nlast\n");
}

TEST_F(OrvacctCipher, FileRoundTripAndWrongKeyLeavesTheDestination) {
  std::ofstream(path("plain"), std::ios::binary) << std::string(5000, 'z');
  EXPECT_EQ(orvacct("file encrypt --key k " + path("plain") + " " + path("sealed")).status, 0);
  EXPECT_EQ(fs::file_size(path("sealed")), 5016u);
  EXPECT_NE(orvacct("file encrypt --key k " + path("plain") + " " + path("sealed")).status, 0);

  std::ofstream(path("opened")) << "keep";
  EXPECT_NE(orvacct("file decrypt --key x --overwrite " + path("sealed") + " " + path("opened")).status, 0);
  EXPECT_EQ(fs::file_size(path("opened")), 4u);
  EXPECT_EQ(orvacct("file decrypt --key k --overwrite " + path("sealed") + " " + path("opened")).status, 0);
  EXPECT_EQ(fs::file_size(path("opened")), 5000u);
}

// "-" for standard input and output, as openssl enc takes it; a pipe (here a FIFO, as a shell's
// process substitution is) read as a file; a destination that could never be written is
// refused before the source is looked at.
TEST_F(OrvacctCipher, FilesThroughPipesAndDestinationsCheckedFirst) {
  std::ofstream(path("plain"), std::ios::binary) << std::string(70000, 'p') << "end";
  EXPECT_EQ(orvacct("file encrypt --key k - - < " + path("plain") + " > " + path("sealed")).status, 0);
  EXPECT_EQ(fs::file_size(path("sealed")), 70016u);
  const ToolRun opened = orvacct("file decrypt --key k " + path("sealed") + " -");
  EXPECT_EQ(opened.status, 0);
  EXPECT_EQ(opened.out, std::string(70000, 'p') + "end");
  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(orvacct("file decrypt --key k " + path("fifo") + " " + path("back") + " & cat " + path("sealed") + " > " +
                    path("fifo") + "; wait $!")
                .status,
            0);
  EXPECT_EQ(fs::file_size(path("back")), 70003u);
  EXPECT_EQ(orvacct("file decrypt --key wrong - - < " + path("sealed")).out, "") << "nothing before the check";

  const struct {
    std::string destination, error;
  } refused[] = {
      {folder_.path().string(), folder_.path().string() + " is a folder; name a file in it"},
      {path("none/out"), "cannot write " + path("none/out") + ": " + path("none") + " does not exist"},
      {path("plain/out"), "cannot write " + path("plain/out") + ": " + path("plain") + " is not a folder"},
      {path("sealed"), path("sealed") + " exists; give --overwrite to replace it"},
  };
  // Each before the key is asked for (the variable named is not set).
  for (const auto& r : refused) {
    const auto run = orv::testing::runToolApart("file encrypt --key-env ORVACCT_TEST_UNSET " + path("missing") + " '" +
                                                r.destination + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "orvacct: " + r.error + "\n");
  }
}

// A batch that keeps going leaves one row for every item, so rows still line up with the input;
// csv and jsonl carry what one plain line cannot.
TEST_F(OrvacctCipher, BatchesKeepGoingAndRowsStayAligned) {
  const std::string sealed = orvacct("pwd encrypt --key k 'two\nlines' ''").out;
  const std::string twoLines = sealed.substr(0, sealed.find('\n'));
  std::ofstream(path("batch")) << twoLines << "\nABCD\n"
                               << twoLines.substr(0, 40) << "\n"
                               << twoLines.substr(0, 31) << "G\n\n";
  const struct {
    std::string options, out, err;
  } cases[] = {
      {"--output csv", "\"two\nlines\"\n\n\n\n\"\"\n", ""},
      {"--output jsonl", "\"two\\nlines\"\nnull\nnull\nnull\n\"\"\n", ""},
      {"", "\n\n\n\n\n",
       "orvacct: line 1: the password holds a line break, which one line cannot show; give --output csv or "
       "--output jsonl\n"},
  };
  const std::string errors =
      "orvacct: line 2: cipher text too short or cut (4 hex digits); cipher text has a multiple of 16 hex digits, at "
      "least 32\norvacct: line 3: cipher text too short or cut (40 hex digits); cipher text has a multiple of 16 hex "
      "digits, at least 32\norvacct: line 4: not hexadecimal cipher text: \"G\" (U+0047) at character 32\n";
  for (const auto& c : cases) {
    const auto run =
        orv::testing::runToolApart("pwd decrypt --key k --keep-going " + c.options + " < " + path("batch"));
    EXPECT_EQ(run.exitCode, 1) << c.options;
    EXPECT_EQ(run.out, c.out) << c.options;
    const std::string expectedErrors =
        c.err + errors + "orvacct: " + (c.err.empty() ? "3" : "4") + " of 5 items failed\n";
    EXPECT_EQ(run.err, expectedErrors) << c.options;
  }
}

// One failed item fails the batch as surely as many: from the command line and from standard
// input, the good items' rows written and the failed one's left empty.
TEST_F(OrvacctCipher, ABatchWithExactlyOneFailedItemFails) {
  std::ofstream(path("lines")) << "C11E6A583229034D46E186A5BA641877\nABCD\n\n";
  const std::string tooShort =
      ": cipher text too short or cut (4 hex digits); cipher text has a multiple of 16 hex digits, at least 32\n";
  const struct {
    std::string input, out, err;
  } cases[] = {
      {"C11E6A583229034D46E186A5BA641877 ABCD ''", "abcd\n\n\n", "orvacct: item 2" + tooShort},
      {"< " + path("lines"), "abcd\n\n\n", "orvacct: line 2" + tooShort},
      {"--output jsonl < " + path("lines"), "\"abcd\"\nnull\n\"\"\n", "orvacct: line 2" + tooShort},
  };
  for (const auto& c : cases) {
    const auto run = orv::testing::runToolApart("pwd decrypt --key OrvKey --keep-going " + c.input);
    EXPECT_EQ(run.exitCode, 1) << c.input;
    EXPECT_EQ(run.out, c.out) << c.input;
    EXPECT_EQ(run.err, c.err + "orvacct: 1 of 3 items failed\n") << c.input;
  }
}

}  // namespace
