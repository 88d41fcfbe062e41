// The orvacct pwd and file commands, run as a user would.
#include <gtest/gtest.h>

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

}  // namespace
