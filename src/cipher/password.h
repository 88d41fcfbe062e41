#pragma once
// Passwords as clients store them: hexadecimal cipher text. One decryption serves the
// component's DeCrypt_Pwd, which hands back whatever came out, and the command line tool,
// which must tell a wrong key or damaged text apart.
#include <string>
#include <string_view>

#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"

namespace orv::cipher {

struct PasswordDecryption {
  // Plain, or the damage that was found.
  DecryptOutcome outcome = DecryptOutcome::Plain;
  // As DecryptString returns it: the password, or every decrypted byte.
  std::u16string text;
  // The hex text decoded, as DecryptString leaves it in its argument.
  std::u16string rawText;
};

// DecryptString of hexadecimal text, telling what it found.
PasswordDecryption decryptPassword(clsBlowfish& cipher, std::u16string_view hexText, const std::u16string& key);

}  // namespace orv::cipher
