// Keys and plain passwords on their way through the class and the cipher: no block freed on the
// way still holds one, however the call goes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/secret.h"
#include "cipher/clsBlowfish.h"
#include "cipher/keyed_cipher_cache.h"
#include "component/clsOrvAcctMan.h"
#include "support/freed_memory_watch.h"
#include "text/ansi_codepage.h"

namespace orv {
namespace {

using testing::blocksFreedHolding;
using testing::bytesOf;

// Longer than a string keeps inside itself, so every copy is on the heap.
constexpr char16_t kPassword[] = u"Tr0ub4dor&3 is the password";
constexpr char16_t kKey[] = u"correct horse battery staple";

// Each text as 16-bit characters and as the ANSI bytes the schedule and the cipher see; a part
// of it is enough to give it away.
std::vector<std::string> patternsOf(std::u16string_view text) {
  return {bytesOf(text.substr(0, 12)), bytesOf(text.substr(12)), text::toAnsi(text.substr(0, 12)),
          text::toAnsi(text.substr(12))};
}

struct Case {
  const char* what;
  void (*run)(bool& same);
};

const Case kCases[] = {
    {"EnCrypt_Pwd and DeCrypt_Pwd",
     [](bool& same) {
       clsOrvAcctMan account;
       std::u16string sealed = account.EnCrypt_Pwd(SecretText(kPassword), SecretText(kKey));
       same = account.DeCrypt_Pwd(sealed, SecretText(kKey)) == kPassword;
     }},
    {"EncryptString and DecryptString, raw and hexadecimal",
     [](bool& same) {
       cipher::clsBlowfish cipher;
       const SecretText password(kPassword), key(kKey);
       std::u16string hex = cipher.EncryptString(password.str(), key.str(), true);
       std::u16string raw = cipher.EncryptString(password.str(), key.str(), false);
       same = cipher.DecryptString(hex, key.str(), true) == kPassword &&
              cipher.DecryptString(raw, key.str(), false) == kPassword;
     }},
    {"EncryptByte of an array with no room to spare",
     [](bool& same) {
       const std::u16string_view password = kPassword;  // ASCII: one byte a character
       std::vector<std::uint8_t> bytes(password.begin(), password.end());
       cipher::clsBlowfish cipher;
       const SecretText key(kKey);
       cipher.EncryptByte(bytes, key.str());
       same = bytes.size() == 40;
     }},
    {"keyed tables kept, evicted and dropped",
     [](bool& same) {
       cipher::KeyedCipherCache cache;
       cache.giveBack(cache.take(SecretText(kKey)));
       for (std::size_t other = 0; other < cipher::KeyedCipherCache::kCapacity; ++other) {
         cache.giveBack(cache.take(SecretText(std::u16string(20, static_cast<char16_t>(u'a' + other)))));
       }
       same = cache.take(SecretText(kKey))->currentKey() == kKey;
     }},
};

TEST(PasswordSecrets, NoFreedBlockHoldsTheKeyOrThePassword) {
  std::vector<std::string> patterns = patternsOf(kPassword);
  for (std::string& pattern : patternsOf(kKey)) patterns.push_back(std::move(pattern));
  for (const Case& c : kCases) {
    bool same = false;
    EXPECT_EQ(blocksFreedHolding(patterns, [&] { c.run(same); }), 0u) << c.what;
    EXPECT_TRUE(same) << c.what;
  }
}

}  // namespace
}  // namespace orv
