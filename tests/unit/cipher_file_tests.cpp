// File encryption: the format, streaming that matches the whole-file algorithm, and the
// destination that only changes when the operation succeeds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"
#include "cipher/file_cipher.h"
#include "support/forged_cipher_data.h"
#include "support/temp_folder.h"

namespace orv::cipher {
namespace {

namespace fs = std::filesystem;

class FileCipher : public ::testing::Test {
 protected:
  fs::path path(const std::string& name) const { return folder_ / name; }

  static void write(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static std::vector<std::uint8_t> read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
  }
  std::size_t filesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()));
  }

  const testing::TempFolder folder_;
};

TEST_F(FileCipher, EncryptedLengthsAndRoundTripIncludingAnEmptySource) {
  for (const std::size_t plain : {0, 1, 4, 5, 100}) {
    const auto content = randomBytes(plain, 1);
    write(path("plain"), content);
    clsBlowfish cipher;
    ASSERT_TRUE(cipher.EncryptFile(path("plain").u16string(), path("sealed").u16string(), true, u"key"));
    EXPECT_EQ(fs::file_size(path("sealed")), cipherLength(plain)) << plain;
    ASSERT_TRUE(cipher.DecryptFile(path("sealed").u16string(), path("opened").u16string(), true, u"key"));
    EXPECT_EQ(read(path("opened")), content) << plain;
  }
}

TEST_F(FileCipher, StreamingGivesTheBytesOfTheWholeFileAlgorithm) {
  const RandomWords words{123456789, 987654321};
  const std::size_t chunk = 32;
  BlowfishEngine engine;
  engine.mixKey("stream");
  for (const std::size_t plain : {0, 3, 8, 19, 20, 21, 52, 53, 64, 100, 1000}) {
    const auto content = randomBytes(plain, static_cast<unsigned>(plain));
    write(path("plain"), content);
    std::vector<std::int32_t> streamedProgress, wholeProgress;
    const FileResult sealed = encryptFile(engine, {path("plain"), path("sealed"), true, chunk}, words,
                                          [&](std::int32_t p) { streamedProgress.push_back(p); });
    ASSERT_EQ(sealed.outcome, FileOutcome::Written) << sealed.detail;

    std::vector<std::uint8_t> whole = content;
    encryptCipherData(engine, whole, words, [&](std::int32_t p) { wholeProgress.push_back(p); });
    EXPECT_EQ(read(path("sealed")), whole) << plain << " bytes";
    EXPECT_EQ(streamedProgress, wholeProgress) << plain << " bytes";

    std::vector<std::int32_t> openedProgress;
    const FileResult opened = decryptFile(engine, {path("sealed"), path("opened"), true, chunk},
                                          [&](std::int32_t p) { openedProgress.push_back(p); });
    ASSERT_EQ(opened.outcome, FileOutcome::Written) << opened.detail;
    EXPECT_EQ(read(path("opened")), content) << plain << " bytes";
    EXPECT_EQ(openedProgress, wholeProgress) << plain << " bytes";
  }
}

TEST_F(FileCipher, ExistingDestinationNeedsOverwriteAndIsReplacedWhole) {
  write(path("plain"), {1, 2, 3});
  write(path("sealed"), {9, 9});
  clsBlowfish cipher;
  EXPECT_FALSE(cipher.EncryptFile(path("plain").u16string(), path("sealed").u16string(), false, u"k"));
  EXPECT_EQ(read(path("sealed")), (std::vector<std::uint8_t>{9, 9}));

  ASSERT_TRUE(cipher.EncryptFile(path("plain").u16string(), path("sealed").u16string(), true, u"k"));
  write(path("opened"), randomBytes(500, 2));
  ASSERT_TRUE(cipher.DecryptFile(path("sealed").u16string(), path("opened").u16string(), true, u"k"));
  EXPECT_EQ(read(path("opened")), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(FileCipher, WithoutOverwriteADestinationThatAppearsDuringTheWorkIsKept) {
  write(path("plain"), randomBytes(3000, 8));
  clsBlowfish cipher;
  ASSERT_TRUE(cipher.EncryptFile(path("plain").u16string(), path("sealed").u16string(), false, u"k"));
  // Another program writes the destination once the work has begun, after the first check.
  const std::vector<std::uint8_t> theirs{4, 2};
  cipher.onProgress([&](std::int32_t) {
    if (!fs::exists(path("late"))) write(path("late"), theirs);
  });
  EXPECT_FALSE(cipher.EncryptFile(path("plain").u16string(), path("late").u16string(), false, u"k"));
  EXPECT_EQ(read(path("late")), theirs);
  fs::remove(path("late"));
  EXPECT_FALSE(cipher.DecryptFile(path("sealed").u16string(), path("late").u16string(), false, u"k"));
  EXPECT_EQ(read(path("late")), theirs);
  EXPECT_EQ(filesInFolder(), 3u) << "a temporary file was left behind";
}

TEST_F(FileCipher, MissingSourceCreatesNothing) {
  clsBlowfish cipher;
  EXPECT_FALSE(cipher.EncryptFile(path("absent").u16string(), path("sealed").u16string(), true, u"k"));
  EXPECT_FALSE(cipher.DecryptFile(path("absent").u16string(), path("opened").u16string(), true, u"k"));
  EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(FileCipher, WrongKeyOrDamagedFileIsRefusedAndTheDestinationKept) {
  write(path("plain"), randomBytes(77, 3));
  clsBlowfish right;
  ASSERT_TRUE(right.EncryptFile(path("plain").u16string(), path("sealed").u16string(), false, u"right"));
  write(path("opened"), {4, 5, 6});

  clsBlowfish wrong;
  const FileResult result = wrong.decryptFileWithResult({path("sealed"), path("opened"), true}, u"wrong");
  EXPECT_EQ(result.outcome, FileOutcome::BadCipherData);
  EXPECT_FALSE(wrong.DecryptFile(path("sealed").u16string(), path("opened").u16string(), true, u"wrong"));

  auto damaged = read(path("sealed"));
  damaged.pop_back();
  write(path("damaged"), damaged);
  EXPECT_FALSE(right.DecryptFile(path("damaged").u16string(), path("opened").u16string(), true, u"right"));
  write(path("empty"), {});
  EXPECT_FALSE(right.DecryptFile(path("empty").u16string(), path("opened").u16string(), true, u"right"));

  write(path("forged"), testing::forgedCipherData(u"right", -1));
  EXPECT_EQ(right.decryptFileWithResult({path("forged"), path("opened"), true}, u"right").outcome,
            FileOutcome::BadCipherData);

  EXPECT_EQ(read(path("opened")), (std::vector<std::uint8_t>{4, 5, 6}));
  EXPECT_EQ(filesInFolder(), 6u) << "a temporary file was left behind";
}

TEST_F(FileCipher, FailureWhileWritingLeavesTheDestinationAndNoTemporaryFile) {
  write(path("plain"), randomBytes(4096, 4));
  write(path("sealed"), {7, 7, 7});
  BlowfishEngine engine;
  int reports = 0;
  // A listener that fails half way stands for any failure during the operation.
  const FileResult result = encryptFile(engine, {path("plain"), path("sealed"), true, 64}, {}, [&](std::int32_t) {
    if (++reports == 40) throw std::runtime_error("disk full");
  });
  EXPECT_EQ(result.outcome, FileOutcome::Failed);
  EXPECT_EQ(result.detail, "disk full");
  EXPECT_EQ(read(path("sealed")), (std::vector<std::uint8_t>{7, 7, 7}));
  EXPECT_EQ(filesInFolder(), 2u);
}

TEST_F(FileCipher, SourceMayBeItsOwnDestination) {
  const auto content = randomBytes(3000, 5);
  write(path("file"), content);
  clsBlowfish cipher;
  ASSERT_TRUE(cipher.EncryptFile(path("file").u16string(), path("file").u16string(), true, u"k"));
  EXPECT_EQ(fs::file_size(path("file")), cipherLength(3000));
  ASSERT_TRUE(cipher.DecryptFile(path("file").u16string(), path("file").u16string(), true, u"k"));
  EXPECT_EQ(read(path("file")), content);
  EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(FileCipher, NothingButTheDestinationAppearsAndAnyNameTheFolderAllowsWorks) {
  const auto content = randomBytes(3000, 6);
  write(path("plain"), content);
  const fs::path longest = path(std::string(pathconf(folder_.path().c_str(), _PC_NAME_MAX), 'n'));
  std::vector<std::size_t> seen;
  const auto count = [&](std::int32_t) { seen.push_back(filesInFolder()); };
  BlowfishEngine engine;
  // A new destination, then the same replaced, then decrypted over itself.
  ASSERT_EQ(encryptFile(engine, {path("plain"), longest, false, 64}, {}, count).outcome, FileOutcome::Written);
  seen.pop_back();  // the final 100% comes once the destination is in place
  EXPECT_EQ(seen, std::vector<std::size_t>(seen.size(), 1)) << "a file appeared before the destination was complete";
  seen.clear();
  ASSERT_EQ(encryptFile(engine, {path("plain"), longest, true, 64}, {}, count).outcome, FileOutcome::Written);
  ASSERT_EQ(decryptFile(engine, {longest, longest, true, 64}, count).outcome, FileOutcome::Written);
  EXPECT_EQ(seen, std::vector<std::size_t>(seen.size(), 2));
  EXPECT_EQ(read(longest), content);
  EXPECT_EQ(filesInFolder(), 2u);
}

TEST_F(FileCipher, AReplacedDestinationKeepsItsPermissionsAndANewOneIsPrivate) {
  const auto modeOf = [](const fs::path& p) {
    struct stat status {};
    ::stat(p.c_str(), &status);
    return status.st_mode & 07777;
  };
  const mode_t umaskBefore = ::umask(0);  // what the file is given, not what the umask lets through
  write(path("plain"), {1, 2, 3});
  clsBlowfish cipher;
  ASSERT_TRUE(cipher.EncryptFile(path("plain").u16string(), path("new").u16string(), false, u"k"));
  EXPECT_EQ(modeOf(path("new")), 0600u);
  fs::permissions(path("new"), fs::perms(0644));
  ASSERT_TRUE(cipher.DecryptFile(path("new").u16string(), path("new").u16string(), true, u"k"));
  EXPECT_EQ(modeOf(path("new")), 0644u);
  write(path("shared"), {0});
  fs::permissions(path("shared"), fs::perms(0664));
  ASSERT_TRUE(cipher.EncryptFile(path("plain").u16string(), path("shared").u16string(), true, u"k"));
  EXPECT_EQ(modeOf(path("shared")), 0664u);
  ::umask(umaskBefore);
}

TEST_F(FileCipher, TheObserverHearsOfEveryNamedTemporaryWhileItExists) {
  write(path("plain"), randomBytes(100, 7));
  write(path("sealed"), {1});
  std::vector<std::string> heard;
  FileJob job{path("plain"), path("sealed"), true};
  job.temporaryNames = [&](const fs::path& name) {
    heard.push_back(name.filename().string());
    EXPECT_TRUE(name.empty() || fs::exists(name)) << name;
  };
  ASSERT_EQ(encryptFile(BlowfishEngine(), job, {}, {}).outcome, FileOutcome::Written);
  // Replacing goes through a name of its own, which ends up as the destination.
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0].size(), 16u) << heard[0];
  EXPECT_EQ(heard[1], "");
  EXPECT_EQ(filesInFolder(), 2u);
}

}  // namespace
}  // namespace orv::cipher
