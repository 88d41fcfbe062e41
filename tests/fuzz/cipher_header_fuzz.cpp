// libFuzzer target over the cipher data header: the fuzzer chooses the key, the twelve header
// bytes (random words and size descriptor, so every descriptor value is reachable) and the plain
// text; the data is then encrypted under the key and handed to every decryption path, bytes,
// hexadecimal text and file. Each must give the plain bytes exactly when the descriptor fits
// the length, and otherwise every decrypted byte (the file path: no destination at all).
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"
#include "cipher/hex_text.h"

namespace {

namespace fs = std::filesystem;
using orv::cipher::DecryptOutcome;

void check(bool promise) {
  if (!promise) std::abort();
}

const fs::path& scratch() {
  static const fs::path folder = [] {
    const fs::path path = fs::temp_directory_path() / ("orvacct-header-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

std::vector<std::uint8_t> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHeader = orv::cipher::kHeaderSize;
  if (size < 1 + kHeader) return 0;
  // First byte: key length; then the key, the header, and the plain text.
  const std::size_t keyLength = std::min<std::size_t>(data[0] % 40, size - 1 - kHeader);
  const std::u16string key(data + 1, data + 1 + keyLength);
  const std::uint8_t* header = data + 1 + keyLength;
  const std::vector<std::uint8_t> plain(header + kHeader, data + size);

  orv::cipher::clsBlowfish keyed;
  if (!key.empty()) keyed.Key(key);
  std::vector<std::uint8_t> sealed(header, header + kHeader);
  sealed.insert(sealed.end(), plain.begin(), plain.end());
  sealed.resize(orv::cipher::cipherLength(plain.size()));
  const std::vector<std::uint8_t> opened = sealed;  // what decryption gives back byte for byte
  orv::cipher::CbcChain chain;
  orv::cipher::BlowfishEngine(keyed.tables()).cbcEncrypt(sealed, chain);

  const auto descriptor = static_cast<std::int32_t>(orv::load32Le(header + orv::cipher::kSizeDescriptorOffset));
  const bool fits = orv::cipher::sizeDescriptorFits(sealed.size(), descriptor);
  check(fits == (descriptor >= 0 && sealed.size() - static_cast<std::size_t>(descriptor) >= 12 &&
                 sealed.size() - static_cast<std::size_t>(descriptor) <= 19));
  const std::vector<std::uint8_t> expected =
      fits ? std::vector<std::uint8_t>(opened.begin() + kHeader, opened.begin() + kHeader + descriptor) : opened;

  std::vector<std::uint8_t> bytes = sealed;
  orv::cipher::clsBlowfish byBytes;
  check(byBytes.decryptByteWithOutcome(bytes, key) ==
        (fits ? DecryptOutcome::Plain : DecryptOutcome::BadSizeDescriptor));
  check(bytes == expected);

  orv::cipher::clsBlowfish byText;
  const std::u16string hex = orv::cipher::toHexText(std::string(sealed.begin(), sealed.end()));
  const orv::cipher::PasswordDecryption password = byText.decryptHexWithOutcome(hex, key);
  check(password.outcome == (fits ? DecryptOutcome::Plain : DecryptOutcome::BadSizeDescriptor));
  check(password.rawText.size() == sealed.size() && password.text.size() == expected.size());

  const fs::path source = scratch() / "sealed";
  const fs::path destination = scratch() / "opened";
  std::ofstream(source, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(sealed.data()), static_cast<std::streamsize>(sealed.size()));
  fs::remove(destination);
  orv::cipher::clsBlowfish byFile;
  const auto file = byFile.decryptFileWithResult({source, destination, true, 64}, key);
  check((file.outcome == orv::cipher::FileOutcome::Written) == fits);
  check(fits ? readAll(destination) == expected : !fs::exists(destination));
  return 0;
}
