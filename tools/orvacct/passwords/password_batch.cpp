#include "passwords/password_batch.h"

#include <cstdint>
#include <vector>

#include "base/secure_wipe.h"
#include "cipher/hex_text.h"
#include "input/input_text.h"
#include "output/tool_output.h"

namespace orvacct {
namespace {

using orv::cipher::DecryptOutcome;

// Cipher text is two hex digits a byte, of cipher data of whole 8-byte blocks, 16 bytes at least.
void requireCipherText(std::u16string_view item, const std::string& where) {
  if (const auto bad = orv::cipher::firstNonHexDigit(item)) {
    throw ToolError(where + ": not hexadecimal cipher text: " + describeCharacter(item[*bad]) + " at character " +
                    std::to_string(*bad + 1));
  }
  if (!orv::cipher::isCipherTextLength(item.size())) {
    throw ToolError(where + ": cipher text too short or cut (" + std::to_string(item.size()) +
                    " hex digits); cipher text has a multiple of 16 hex digits, at least 32");
  }
}

const std::string kWrongKey = ": wrong key or damaged cipher text (size descriptor out of range)";

// The bytes of a password between its two cipher texts: wiped, spare capacity included, however
// the rekeying ends.
struct WipedBytes {
  std::vector<std::uint8_t>& bytes;
  ~WipedBytes() {
    bytes.resize(bytes.capacity());
    orv::secureWipe(bytes.data(), bytes.size());
  }
};

}  // namespace

std::string tooLongItem(PasswordOperation operation) {
  return operation == PasswordOperation::Encrypt
             ? "the password is longer than " + std::to_string(kLongestPassword) + " bytes, the longest pwd takes"
             : "the cipher text is longer than " + std::to_string(kLongestCipherText) +
                   " hex digits, that of the longest password pwd takes (" + std::to_string(kLongestPassword) +
                   " bytes)";
}

PasswordBatch::PasswordBatch(PasswordOperation operation, const orv::SecretText& key, const orv::SecretText& newKey,
                             bool oneLineResults)
    : operation_(operation), oneLineResults_(oneLineResults) {
  cipher_.Key(key.str());
  if (operation == PasswordOperation::Rekey) newCipher_.Key(newKey.str());
}

orv::SecretText PasswordBatch::process(const orv::SecretText& item, const std::string& where) {
  switch (operation_) {
    case PasswordOperation::Encrypt:
      requireRepresentableSecret(item.view(), where + ": the password");
      return orv::SecretText(cipher_.EncryptString(item.str(), u"", true));
    case PasswordOperation::Decrypt:
      return decrypt(item, where);
    case PasswordOperation::Rekey:
      return rekey(item, where);
  }
  return {};
}

orv::SecretText PasswordBatch::decrypt(const orv::SecretText& item, const std::string& where) {
  // No cipher text at all is the empty password, as the component decrypts it.
  if (item.empty()) return {};
  requireCipherText(item.view(), where);
  orv::cipher::PasswordDecryption decrypted = cipher_.decryptHexWithOutcome(item.view(), u"");
  if (decrypted.outcome != DecryptOutcome::Plain) throw ToolError(where + kWrongKey);
  if (oneLineResults_ && decrypted.text.view().find_first_of(u"\r\n") != std::u16string::npos) {
    throw ToolError(where +
                    ": the password holds a line break, which one line cannot show; give --output csv or "
                    "--output jsonl");
  }
  return std::move(decrypted.text);
}

// The password's bytes go from one cipher to the other as they are, never through text, so a
// byte the code page has no character for survives too. Encryption writes the cipher data over
// the plain bytes in the same buffer (the same password has the same cipher length), and the
// buffer is wiped after.
orv::SecretText PasswordBatch::rekey(const orv::SecretText& item, const std::string& where) {
  // No cipher text stands for no stored password: it stays none.
  if (item.empty()) return {};
  requireCipherText(item.view(), where);
  const std::string cipherBytes = orv::cipher::bytesFromHexText(item.view());
  std::vector<std::uint8_t> bytes(cipherBytes.begin(), cipherBytes.end());
  const WipedBytes wiped{bytes};
  if (cipher_.decryptByteWithOutcome(bytes, u"") != DecryptOutcome::Plain) {
    throw ToolError(where + kWrongKey + "; not re-encrypted");
  }
  newCipher_.EncryptByte(bytes, u"");
  return orv::SecretText(
      orv::cipher::toHexText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

}  // namespace orvacct
