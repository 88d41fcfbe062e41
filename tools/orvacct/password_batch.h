#pragma once
// What pwd does to each item: a password to cipher text, cipher text to its password, or cipher
// text decrypted under the old key and encrypted under the new one. One engine keyed once per key
// serves every item, as a fresh instance per item would.
#include <string>

#include "base/secret.h"
#include "cipher/clsBlowfish.h"

namespace orvacct {

enum class PasswordOperation { Encrypt, Decrypt, Rekey };

class PasswordBatch {
 public:
  // newKey: the key rekeying encrypts with; unused otherwise. oneLineResults: a decrypted
  // password holding a line break is refused, as a line of its own could not show it.
  PasswordBatch(PasswordOperation operation, const orv::SecretText& key, const orv::SecretText& newKey,
                bool oneLineResults);

  // The item's result; a ToolError naming `where` when there is none.
  std::u16string process(const orv::SecretText& item, const std::string& where);

 private:
  std::u16string decrypt(const orv::SecretText& item, const std::string& where);
  std::u16string rekey(const orv::SecretText& item, const std::string& where);

  PasswordOperation operation_;
  bool oneLineResults_;
  orv::cipher::clsBlowfish cipher_;
  orv::cipher::clsBlowfish newCipher_;
};

}  // namespace orvacct
