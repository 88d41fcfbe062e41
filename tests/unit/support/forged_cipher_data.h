#pragma once
// Cipher data with whatever size descriptor a test asks for: what anyone who knows the key (or
// anyone at all, for the empty key) can make, so decryption must survive every value.
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "cipher/blowfish_engine.h"
#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"

namespace orv::testing {

// cipherLength zero bytes but the descriptor, encrypted under the key (empty: the initial tables).
inline std::vector<std::uint8_t> forgedCipherData(const std::u16string& key, std::int32_t descriptor,
                                                  std::size_t cipherLength = 16) {
  cipher::clsBlowfish keyed;
  if (!key.empty()) keyed.Key(key);
  const cipher::BlowfishEngine engine(keyed.tables());
  std::vector<std::uint8_t> bytes(cipherLength, 0);
  store32Le(bytes.data() + cipher::kSizeDescriptorOffset, static_cast<std::uint32_t>(descriptor));
  cipher::CbcChain chain;
  engine.cbcEncrypt(bytes, chain);
  return bytes;
}

}  // namespace orv::testing
