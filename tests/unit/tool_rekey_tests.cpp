// orvacct pwd rekey: stored cipher texts from the old key to the new one, over the forms pwd
// reads (items, lines, a CSV column), and --output-file, put in place only when complete.
// Cipher texts are known answers of tests/data/vectors/passwords.tsv.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

const std::string kAbcd = "C11E6A583229034D46E186A5BA641877";                  // "abcd" under OrvKey
const std::string kAbcde = "30CC09C5BE78F16AEE0020CE6C194263EEF4884A47E8EE3C";  // "abcde" under OrvKey
const std::string kKeys = "ORV_OLD=OrvKey ORV_NEW='new key'";
const std::string kRekey = "pwd rekey --key-env ORV_OLD --new-key-env ORV_NEW";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> all;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) all.push_back(line);
  return all;
}

// What each cipher text decrypts to under a key, one a line ("!" where it does not).
std::string openedUnder(const std::string& key, const std::vector<std::string>& cipherTexts) {
  std::string opened;
  for (const std::string& cipherText : cipherTexts) {
    const auto run = runToolApart("pwd decrypt --key '" + key + "' '" + cipherText + "'");
    opened += run.exitCode == 0 ? run.out : "!\n";
  }
  return opened;
}

TEST(ToolRekey, EachCipherTextGoesFromTheOldKeyToTheNewOne) {
  const auto run = runToolApart(kRekey + " " + kAbcd + " '' " + kAbcde, kKeys);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> rekeyed = lines(run.out);
  ASSERT_EQ(rekeyed.size(), 3u) << run.out;
  // The same lengths (the same passwords), no stored password staying none.
  EXPECT_EQ(rekeyed[0].size(), kAbcd.size());
  EXPECT_EQ(rekeyed[1], "");
  EXPECT_EQ(rekeyed[2].size(), kAbcde.size());
  EXPECT_EQ(openedUnder("new key", {rekeyed[0], rekeyed[2]}), "abcd\nabcde\n");
  EXPECT_EQ(openedUnder("OrvKey", {rekeyed[0], rekeyed[2]}), "!\n!\n");
  EXPECT_EQ(run.err, "");
}

TEST(ToolRekey, AnItemTheOldKeyDoesNotOpenIsNotWritten) {
  const std::string other = "7EA9321D7699869223A80AF9F3B7B9C77274D6C80736E51B";  // "hunter2" under the empty key
  const auto stopped = runToolApart(kRekey + " " + kAbcd + " " + other + " " + kAbcde, kKeys);
  EXPECT_EQ(stopped.exitCode, 1);
  EXPECT_EQ(lines(stopped.out).size(), 1u) << stopped.out;
  EXPECT_EQ(stopped.err,
            "orvacct: item 2: wrong key or damaged cipher text (size descriptor out of range); not re-encrypted\n");

  const auto kept = runToolApart(kRekey + " --keep-going " + kAbcd + " " + other + " " + kAbcde, kKeys);
  EXPECT_EQ(kept.exitCode, 1);
  const std::vector<std::string> rekeyed = lines(kept.out);
  ASSERT_EQ(rekeyed.size(), 3u) << kept.out;
  EXPECT_EQ(rekeyed[1], "");
  EXPECT_EQ(openedUnder("new key", {rekeyed[0], rekeyed[2]}), "abcd\nabcde\n");
  EXPECT_EQ(kept.err,
            "orvacct: item 2: wrong key or damaged cipher text (size descriptor out of range); not re-encrypted\n"
            "orvacct: 1 of 3 items failed\n");
}

TEST(ToolRekey, ACsvColumnInPlaceReplacedOnlyWhenEveryItemSucceeded) {
  const TempFolder folder;
  const std::string stored = (folder / "users.csv").string();
  const std::string original = "User,Password,Note\r\nann," + kAbcd + ",\"a, b\"\r\nbob,\"" + kAbcde + "\",\r\n";
  writeFile(stored, original);
  const std::string inPlace = " --csv-column Password --output-file '" + stored + "' < '" + stored + "'";

  // Without --overwrite the file is refused before anything is read.
  const auto refused = runToolApart(kRekey + inPlace, kKeys);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, "orvacct: " + stored + " exists; give --overwrite to replace it\n");

  // A wrong old key: the first cell fails, and the file stays as it was.
  const auto wrong = runToolApart(kRekey + " --overwrite" + inPlace, "ORV_OLD=wrong ORV_NEW='new key'");
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(readFile(stored), original);

  const auto done = runToolApart(kRekey + " --overwrite" + inPlace, kKeys);
  ASSERT_EQ(done.exitCode, 0) << done.err;
  EXPECT_EQ(done.out, "");
  const std::string rekeyed = readFile(stored);
  ASSERT_EQ(rekeyed.size(), original.size()) << rekeyed;
  EXPECT_TRUE(rekeyed.starts_with("User,Password,Note\r\nann,")) << rekeyed;
  EXPECT_TRUE(rekeyed.ends_with(",\"a, b\"\r\nbob,\"" + rekeyed.substr(rekeyed.size() - 52, 48) + "\",\r\n")) << rekeyed;
  EXPECT_EQ(openedUnder("new key", {rekeyed.substr(24, 32), rekeyed.substr(rekeyed.size() - 52, 48)}),
            "abcd\nabcde\n");
  // Nothing else left in the folder: the new file came in whole.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ToolRekey, WithKeepGoingTheFileIsReplacedItsFailedRowsEmpty) {
  const TempFolder folder;
  const std::string stored = (folder / "stored.txt").string();
  writeFile(stored, kAbcd + "\n0123\n");
  const auto run =
      runToolApart(kRekey + " --keep-going --overwrite --output-file '" + stored + "' < '" + stored + "'", kKeys);
  EXPECT_EQ(run.exitCode, 1);
  const std::vector<std::string> rekeyed = lines(readFile(stored));
  ASSERT_EQ(rekeyed.size(), 2u);
  EXPECT_EQ(rekeyed[1], "");
  EXPECT_EQ(openedUnder("new key", {rekeyed[0]}), "abcd\n");
}

// Put in place whole, a device or a pipe would be replaced by a plain file, never written to.
TEST(ToolRekey, ADestinationThatIsNoPlainFileIsRefused) {
  const TempFolder folder;
  const std::filesystem::path pipe = folder / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  writeFile(folder / "plain", "plain");
  for (const std::string& command :
       {kRekey + " --overwrite --output-file '" + pipe.string() + "' " + kAbcd,
        "file encrypt --key-env ORV_NEW --overwrite '" + (folder / "plain").string() + "' '" + pipe.string() + "'"}) {
    const auto run = runToolApart(command, kKeys);
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_EQ(run.err, "orvacct: cannot write " + pipe.string() +
                           ": it is no plain file (a device or a pipe); the destination is replaced whole, so name a "
                           "file, or - for standard output\n")
        << command;
    EXPECT_TRUE(std::filesystem::is_fifo(pipe)) << command;
  }
}

TEST(ToolRekey, BothKeysAreNeeded) {
  const auto noNewKey = runToolApart("pwd rekey --key-env ORV_OLD " + kAbcd, kKeys);
  EXPECT_EQ(noNewKey.exitCode, 2);
  EXPECT_EQ(noNewKey.err,
            "orvacct: no new key: give --new-key-env VAR, --new-key-file PATH, --new-key-prompt or --new-key TEXT "
            "(see 'orvacct pwd rekey --help')\n");
}

}  // namespace
}  // namespace orv::testing
