// libFuzzer target for everything that reads untrusted cipher text: the lenient hex reading,
// DecryptString and DecryptByte. Beyond the sanitizers, it checks the promises callers rely
// on: decryption never throws, leaves either the plain bytes or every byte it was given, and
// anything encrypted comes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cipher/clsBlowfish.h"
#include "cipher/hex_text.h"

namespace {

void check(bool promise) {
  if (!promise) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // First byte: key length; then the key; the rest is the cipher text under test.
  const std::size_t keyLength = std::min<std::size_t>(data[0] % 80, size - 1);
  const std::u16string key(data + 1, data + 1 + keyLength);
  const std::uint8_t* body = data + 1 + keyLength;
  const std::size_t bodySize = size - 1 - keyLength;

  std::u16string text(body, body + bodySize);
  const std::string decoded = orv::cipher::bytesFromHexText(text);
  check(decoded.size() == (text.size() + 1) / 2);

  orv::cipher::clsBlowfish cipher;
  std::u16string hexText = text;
  cipher.DecryptString(hexText, key, true);
  check(hexText.size() == decoded.size());

  std::vector<std::uint8_t> bytes(body, body + bodySize);
  const auto outcome = cipher.decryptByteWithOutcome(bytes, u"");
  check(outcome == orv::cipher::DecryptOutcome::Plain ? bytes.size() + 12 <= bodySize : bytes.size() == bodySize);

  std::vector<std::uint8_t> plain(body, body + bodySize);
  std::vector<std::uint8_t> sealed = plain;
  cipher.EncryptByte(sealed, u"");
  check(sealed.size() % 8 == 0 && sealed.size() >= plain.size() + 12 && sealed.size() <= plain.size() + 19);
  cipher.DecryptByte(sealed, u"");
  check(sealed == plain);
  return 0;
}
