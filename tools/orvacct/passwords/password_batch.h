#pragma once
// What pwd does to each item: a password to cipher text, cipher text to its password, or cipher
// text decrypted under the old key and encrypted under the new one. One engine keyed once per key
// serves every item, as a fresh instance per item would.
#include <cstddef>
#include <string>

#include "base/secret.h"
#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"

namespace orvacct {

enum class PasswordOperation { Encrypt, Decrypt, Rekey };

// The longest password pwd takes, in bytes as they are read, and the longest cipher text (of
// such a password, in ANSI bytes at most as many): an item is held whole, several times over on
// its way through the cipher, so a longer one is refused rather than read.
inline constexpr std::size_t kLongestPassword = std::size_t{1} << 20;
inline constexpr std::size_t kLongestCipherText = 2 * orv::cipher::cipherLength(kLongestPassword);

// The longest item of the operation: a password to encrypt, cipher text otherwise.
constexpr std::size_t longestItem(PasswordOperation operation) {
  return operation == PasswordOperation::Encrypt ? kLongestPassword : kLongestCipherText;
}

// The reason an item longer than that is refused, after its place.
std::string tooLongItem(PasswordOperation operation);

class PasswordBatch {
 public:
  // newKey: the key rekeying encrypts with; unused otherwise. oneLineResults: a decrypted
  // password holding a line break is refused, as a line of its own could not show it.
  PasswordBatch(PasswordOperation operation, const orv::SecretText& key, const orv::SecretText& newKey,
                bool oneLineResults);

  // The item's result (a password, or cipher text); a ToolError naming `where` when there is none.
  orv::SecretText process(const orv::SecretText& item, const std::string& where);

 private:
  orv::SecretText decrypt(const orv::SecretText& item, const std::string& where);
  orv::SecretText rekey(const orv::SecretText& item, const std::string& where);

  PasswordOperation operation_;
  bool oneLineResults_;
  orv::cipher::clsBlowfish cipher_;
  orv::cipher::clsBlowfish newCipher_;
};

}  // namespace orvacct
