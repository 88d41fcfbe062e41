// EnCrypt_Pwd and DeCrypt_Pwd: the shared password vectors, the write-back of sPwd, and
// results that reuse of keyed tables must not change.
#include <gtest/gtest.h>

#include <filesystem>

#include "cipher/clsBlowfish.h"
#include "cipher/hex_text.h"
#include "component/clsOrvAcctMan.h"
#include "support/forged_cipher_data.h"
#include "text/utf.h"
#include "vector_files.h"

namespace orv {
namespace {

using text::fromUtf8;

class PasswordMethods : public ::testing::Test {
 protected:
  PasswordMethods() : account_(servicesRecordingFailures()) {}

  Services servicesRecordingFailures() {
    Services services = platformServices();
    const auto folder = std::filesystem::temp_directory_path() / "orvacct-password-tests";
    services.identity = [folder] { return ComponentIdentity{folder.u16string(), u"orvacctman"}; };
    services.failureObserver = [this](std::int32_t number, const std::u16string&, const std::u16string&) {
      failures_.push_back(number);
    };
    return services;
  }

  // What a fresh clsBlowfish keyed once makes of the cipher text.
  static std::u16string freshDecrypt(std::u16string hex, const std::u16string& key) {
    cipher::clsBlowfish fresh;
    return std::u16string(fresh.DecryptString(hex, key, true).view());
  }

  // The class takes keys and plain passwords as secrets.
  std::u16string encrypt(std::u16string_view password, std::u16string_view key) {
    return account_.EnCrypt_Pwd(SecretText(password), SecretText(key));
  }
  std::u16string decrypt(std::u16string& cipherText, std::u16string_view key) {
    return std::u16string(account_.DeCrypt_Pwd(cipherText, SecretText(key)).view());
  }

  std::vector<std::int32_t> failures_;
  clsOrvAcctMan account_;
};

TEST_F(PasswordMethods, DecryptEveryVectorRowThroughTheAnsiCodePage) {
  const auto rows = testing::readVectorRows("passwords.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const std::u16string key = fromUtf8(row.at("key"));
    const std::u16string password = fromUtf8(row.at("password"));
    std::u16string cipherText = fromUtf8(row.at("cipher_hex"));
    EXPECT_EQ(decrypt(cipherText, key), password) << row.at("key") << " / " << row.at("password");
    const std::u16string again = encrypt(password, key);
    EXPECT_EQ(again.size(), row.at("cipher_hex").size());
    EXPECT_EQ(freshDecrypt(again, key), password);
  }
  EXPECT_TRUE(failures_.empty());
}

TEST_F(PasswordMethods, RoundTripsWithEmptyPasswordAndEmptyKey) {
  for (const std::u16string& key : {std::u16string(), std::u16string(u"k")}) {
    for (const std::u16string& password : {std::u16string(), std::u16string(u"p"), std::u16string(u"longer pässword")}) {
      std::u16string cipherText = encrypt(password, key);
      EXPECT_EQ(decrypt(cipherText, key), password);
    }
  }
  std::u16string empty;
  EXPECT_EQ(decrypt(empty, u"k"), u"");
  EXPECT_TRUE(failures_.empty());
}

TEST_F(PasswordMethods, DigitCountFollowsPasswordLength) {
  EXPECT_EQ(encrypt(u"abcd", u"k").size(), 32u);
  EXPECT_EQ(encrypt(u"abcde", u"k").size(), 48u);
  EXPECT_EQ(encrypt(std::u16string(21, u'x'), u"k").size(), 80u);
}

TEST_F(PasswordMethods, DecryptWritesTheRawTextBackAndAcceptsLowerCase) {
  const std::u16string hex = encrypt(u"secret", u"k");
  std::u16string lower = hex;
  for (char16_t& c : lower) c = static_cast<char16_t>(std::tolower(c));
  std::u16string upper = hex;
  EXPECT_EQ(decrypt(lower, u"k"), u"secret");
  EXPECT_EQ(decrypt(upper, u"k"), u"secret");
  EXPECT_EQ(upper.size(), hex.size() / 2);
  EXPECT_EQ(upper, lower);
}

TEST_F(PasswordMethods, WrongKeyOrForgedTextReturnsUnreadableTextAndReportsNothing) {
  std::u16string cipherText = encrypt(u"secret", u"right");
  EXPECT_EQ(decrypt(cipherText, u"wrong").size(), 24u);
  for (const std::u16string& key : {std::u16string(), std::u16string(u"right")}) {
    const std::vector<std::uint8_t> forged = testing::forgedCipherData(key, -1);
    std::u16string forgedText = cipher::toHexText(std::string(forged.begin(), forged.end()));
    EXPECT_EQ(decrypt(forgedText, key).size(), 16u);
  }
  EXPECT_TRUE(failures_.empty());
}

TEST_F(PasswordMethods, ReusedKeyedTablesGiveTheResultsOfAFreshInstance) {
  // More keys than the cache holds, interleaved, so entries are evicted and reused; keys
  // differing only in characters the code page lacks share one entry.
  std::vector<std::u16string> keys;
  for (int i = 0; i < 12; ++i) keys.push_back(u"key-" + std::u16string(1, static_cast<char16_t>(u'a' + i)));
  keys.push_back(u"\u4E00");
  keys.push_back(u"?");
  for (int round = 0; round < 3; ++round) {
    for (const std::u16string& key : keys) {
      cipher::clsBlowfish fresh;
      std::u16string cipherText = fresh.EncryptString(u"pw", key, true);
      EXPECT_EQ(decrypt(cipherText, key), u"pw");
      EXPECT_EQ(freshDecrypt(encrypt(u"pw", key), key), u"pw");
    }
  }
  EXPECT_TRUE(failures_.empty());
}

}  // namespace
}  // namespace orv
