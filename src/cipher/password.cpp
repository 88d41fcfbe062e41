#include "cipher/password.h"

#include <vector>

#include "cipher/hex_text.h"
#include "text/ansi_codepage.h"

namespace orv::cipher {

PasswordDecryption decryptPassword(clsBlowfish& cipher, std::u16string_view hexText, const std::u16string& key) {
  const std::string decoded = bytesFromHexText(hexText);
  PasswordDecryption result;
  result.rawText = text::fromAnsi(decoded);
  std::vector<std::uint8_t> bytes(decoded.begin(), decoded.end());
  result.outcome = cipher.decryptByteWithOutcome(bytes, key);
  result.text = text::fromAnsi(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return result;
}

}  // namespace orv::cipher
