// Byte and string operations: the shared cipher-data vectors, the layout rules, the progress
// sequence, the failures DecryptByte absorbs, and the hexadecimal text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/byte_order.h"
#include "cipher/cipher_data.h"
#include "cipher/clsBlowfish.h"
#include "cipher/hex_text.h"
#include "text/ansi_codepage.h"
#include "support/forged_cipher_data.h"
#include "vector_files.h"

namespace orv::cipher {
namespace {

using testing::hexToBytes;

std::u16string keyFromHex(const std::string& hex) {
  const auto bytes = hexToBytes(hex);
  return text::fromAnsi(std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

struct Recorder {
  std::vector<std::int32_t> percents;
  ProgressHandler handler() {
    return [this](std::int32_t p) { percents.push_back(p); };
  }
};

// The progress rule exactly as worded, one block at a time.
std::vector<std::int32_t> progressAsWorded(std::uint64_t total) {
  std::vector<std::int32_t> reported;
  std::int32_t last = 0;
  double next = 0;
  for (std::uint64_t o = 0; o + 8 <= total; o += 8) {
    if (static_cast<double>(o) >= next) {
      last = static_cast<std::int32_t>(std::floor(static_cast<double>(o) / static_cast<double>(total) * 100));
      next = std::nearbyint((last + 1) / 100.0 * static_cast<double>(total) + 1);
      reported.push_back(last);
    }
  }
  if (last != 100) reported.push_back(100);
  return reported;
}

TEST(CipherDataVectors, EncryptWithGivenRandomWordsAndDecryptBack) {
  const auto rows = testing::readVectorRows("cipher-data.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const auto words = hexToBytes(row.at("random1_hex") + row.at("random2_hex"));
    const RandomWords given{static_cast<std::int32_t>(load32Be(words.data())),
                            static_cast<std::int32_t>(load32Be(words.data() + 4))};
    const std::u16string key = keyFromHex(row.at("key_hex"));
    const auto plain = hexToBytes(row.at("plain_hex"));

    clsBlowfish encrypter;
    encrypter.setRandomWordSource([given] { return given; });
    std::vector<std::uint8_t> data = plain;
    encrypter.EncryptByte(data, key);
    EXPECT_EQ(testing::bytesToHex(data), row.at("cipher_hex")) << "key " << row.at("key_hex");

    clsBlowfish decrypter;
    decrypter.DecryptByte(data, key);
    EXPECT_EQ(data, plain) << "key " << row.at("key_hex");
  }
}

TEST(CipherData, HeaderHoldsRandomWordsAndSizeLeastSignificantByteFirst) {
  // An extra block makes the size descriptor no longer fit, and then every decrypted byte
  // stays, header included.
  clsBlowfish cipher;
  cipher.setRandomWordSource([] { return RandomWords{0x11223344, 0x55667788}; });
  std::vector<std::uint8_t> data = bytesOf("hello");
  cipher.EncryptByte(data, u"key");
  data.resize(data.size() + 8);
  cipher.DecryptByte(data, u"key");
  const std::vector<std::uint8_t> expected{0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 5, 0, 0, 0,
                                           'h',  'e',  'l',  'l',  'o',  0,    0,    0};
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + 20), expected);
}

TEST(CipherData, SizeDescriptorMustLeaveTwelveToNineteenBytes) {
  BlowfishEngine engine;
  for (const std::int32_t descriptor : {-1, 4, 5, 12, 13, 2147483647}) {
    std::vector<std::uint8_t> data(24, 0);
    store32Le(data.data() + 8, static_cast<std::uint32_t>(descriptor));
    CbcChain chain;
    engine.cbcEncrypt(data, chain);
    const bool fits = descriptor >= 5 && descriptor <= 12;
    EXPECT_EQ(decryptCipherData(engine, data, {}), fits ? DecryptOutcome::Plain : DecryptOutcome::BadSizeDescriptor)
        << descriptor;
    EXPECT_EQ(data.size(), fits ? static_cast<std::size_t>(descriptor) : 24u);
  }
}

// The plain bytes move to the front; what the shorter array no longer counts (the plain bytes'
// old tail, the header) is wiped, not left in the capacity the array keeps.
TEST(CipherData, DecryptionLeavesNothingBeyondThePlainBytes) {
  const BlowfishEngine engine;
  for (const std::size_t length : {1u, 4u, 5u, 12u, 13u, 27u}) {
    std::vector<std::uint8_t> data(length, 0xA5);
    encryptCipherData(engine, data, {1, 2}, {});
    const std::size_t cipherLength = data.size();
    ASSERT_EQ(decryptCipherData(engine, data, {}), DecryptOutcome::Plain) << length;
    ASSERT_EQ(data, std::vector<std::uint8_t>(length, 0xA5));
    ASSERT_GE(data.capacity(), cipherLength);
    // Still the array's own buffer: a cut keeps its capacity.
    const std::uint8_t* const spare = data.data() + length;
    EXPECT_EQ(std::count(spare, static_cast<const std::uint8_t*>(data.data() + cipherLength), 0), static_cast<std::ptrdiff_t>(cipherLength - length))
        << length;
  }
}

TEST(CipherData, SameTextTwiceGivesDifferentCipherThatBothDecrypt) {
  clsBlowfish cipher;
  const std::u16string first = cipher.EncryptString(u"secret", u"k", true);
  const std::u16string second = cipher.EncryptString(u"secret", u"k", true);
  EXPECT_NE(first, second);
  std::u16string a = first, b = second;
  EXPECT_EQ(cipher.DecryptString(a, u"k", true), u"secret");
  EXPECT_EQ(cipher.DecryptString(b, u"k", true), u"secret");
}

TEST(CipherData, SystemRandomWordsStayWithinZeroTo2147483647) {
  for (int i = 0; i < 200; ++i) {
    const RandomWords words = systemRandomWords();
    ASSERT_GE(words.first, 0);
    ASSERT_GE(words.second, 0);
  }
  EXPECT_EQ(wordFromFraction(fractionFromBits(~std::uint64_t{0})), 2147483647);
  EXPECT_EQ(wordFromFraction(fractionFromBits(0)), 0);
}

TEST(Progress, SmallArraysReportTheDocumentedSequences) {
  for (const auto& [plain, expected] : {std::pair{std::size_t{4}, std::vector<std::int32_t>{0, 50, 100}},
                                        {std::size_t{12}, std::vector<std::int32_t>{0, 33, 66, 100}}}) {
    clsBlowfish cipher;
    Recorder encrypting, decrypting;
    std::vector<std::uint8_t> data(plain, 1);
    cipher.onProgress(encrypting.handler());
    cipher.EncryptByte(data, u"k");
    cipher.onProgress(decrypting.handler());
    cipher.DecryptByte(data, u"k");
    EXPECT_EQ(encrypting.percents, expected);
    EXPECT_EQ(decrypting.percents, expected);
  }
}

TEST(Progress, EveryLengthFollowsTheRuleBlockForBlock) {
  // Covers offsets where o / C * 100 falls just below an integer in double arithmetic (C = 800).
  for (std::size_t cipherLength = 16; cipherLength <= 4096; cipherLength += 8) {
    BlowfishEngine engine;
    std::vector<std::uint8_t> data(cipherLength - 12, 7);
    Recorder recorder;
    encryptCipherData(engine, data, {}, recorder.handler());
    ASSERT_EQ(recorder.percents, progressAsWorded(cipherLength)) << "C = " << cipherLength;
  }
}

TEST(DecryptByteFailures, WrongKeyKeepsEveryDecryptedByteAndSkipsTheFinal100) {
  clsBlowfish encrypter, decrypter;
  std::vector<std::uint8_t> data = bytesOf("password");
  encrypter.EncryptByte(data, u"right");
  Recorder recorder;
  decrypter.onProgress(recorder.handler());
  decrypter.DecryptByte(data, u"wrong");
  EXPECT_EQ(data.size(), 24u);
  EXPECT_EQ(recorder.percents, (std::vector<std::int32_t>{0, 33, 66}));
}

TEST(DecryptByteFailures, IncompleteLastBlockIsLeftAsItWas) {
  clsBlowfish cipher;
  std::vector<std::uint8_t> data = bytesOf("abcdefghij");
  cipher.EncryptByte(data, u"k");
  std::vector<std::uint8_t> full = data;
  cipher.DecryptByte(full, u"k");

  std::vector<std::uint8_t> truncated(data.begin(), data.end() - 1);
  const std::vector<std::uint8_t> tail(truncated.begin() + 16, truncated.end());
  cipher.DecryptByte(truncated, u"k");
  ASSERT_EQ(truncated.size(), 23u);
  EXPECT_EQ(std::vector<std::uint8_t>(truncated.begin() + 16, truncated.end()), tail);
  EXPECT_EQ(std::vector<std::uint8_t>(truncated.begin() + 12, truncated.begin() + 16), bytesOf("abcd"));
}

TEST(DecryptByteFailures, TooShortForADescriptorDecryptsWhatBlocksExist) {
  BlowfishEngine engine;
  std::vector<std::uint8_t> block{1, 2, 3, 4, 5, 6, 7, 8};
  const std::vector<std::uint8_t> plain = block;
  CbcChain chain;
  engine.cbcEncrypt(block, chain);
  Recorder recorder;
  EXPECT_EQ(decryptCipherData(engine, block, recorder.handler()), DecryptOutcome::TooShort);
  EXPECT_EQ(block, plain);
  EXPECT_EQ(recorder.percents, std::vector<std::int32_t>{0});

  std::vector<std::uint8_t> empty;
  EXPECT_EQ(decryptCipherData(engine, empty, {}), DecryptOutcome::TooShort);
  EXPECT_TRUE(empty.empty());
}

TEST(DecryptByteFailures, NegativeSizeDescriptorIsDamagedDataLikeAnyOther) {
  for (const std::int32_t descriptor : {-1, -2, -3, -4, INT32_MIN}) {
    const std::vector<std::uint8_t> forged = testing::forgedCipherData(u"k", descriptor);
    std::vector<std::uint8_t> bytes = forged;
    clsBlowfish cipher;
    EXPECT_EQ(cipher.decryptByteWithOutcome(bytes, u"k"), DecryptOutcome::BadSizeDescriptor) << descriptor;
    ASSERT_EQ(bytes.size(), 16u) << descriptor;
    EXPECT_EQ(static_cast<std::int32_t>(load32Le(bytes.data() + kSizeDescriptorOffset)), descriptor);

    clsBlowfish again;
    const std::string raw(forged.begin(), forged.end());
    std::u16string hex = toHexText(raw);
    EXPECT_EQ(again.DecryptString(hex, u"k", true).size(), 16u) << descriptor;
  }
}

// Cipher data is whole 8-byte blocks, two at least (8 random bytes and the 4-byte size
// descriptor need more than one): 32, 48, 64 ... hex digits.
TEST(HexText, CipherTextLengths) {
  const std::pair<std::size_t, bool> cases[] = {{0, false},  {2, false},  {15, false}, {16, false}, {17, false},
                                                {24, false}, {31, false}, {32, true},   {33, false}, {40, false},
                                                {48, true},  {64, true},  {4096, true}, {4104, false}};
  for (const auto& [digits, can] : cases) EXPECT_EQ(isCipherTextLength(digits), can) << digits;
}

TEST(HexText, UpperCasePairsAndTheLenientReading) {
  EXPECT_EQ(toHexText("abc"), u"616263");
  EXPECT_EQ(toHexText(std::string("\x00\x0F\xFF", 3)), u"000FFF");
  EXPECT_EQ(bytesFromHexText(u"616263"), "abc");
  EXPECT_EQ(bytesFromHexText(u"6a6B"), "jk");
  EXPECT_EQ(bytesFromHexText(u"4G"), "\x04");     // second no digit: the first's value
  EXPECT_EQ(bytesFromHexText(u"G4"), std::string(1, '\0'));  // first no digit: 0
  EXPECT_EQ(bytesFromHexText(u"414"), "A\x04");   // odd length: a one-digit group
  EXPECT_EQ(bytesFromHexText(u""), "");
  EXPECT_FALSE(isHexPairs(u"414"));
  EXPECT_FALSE(isHexPairs(u"4G"));
  EXPECT_TRUE(isHexPairs(u"0aF9"));
}

TEST(Strings, EmptyTextIs32DigitsAndComesBack) {
  clsBlowfish cipher;
  std::u16string hex = cipher.EncryptString(u"", u"k", true);
  EXPECT_EQ(hex.size(), 32u);
  EXPECT_EQ(cipher.DecryptString(hex, u"k", true), u"");
}

TEST(Strings, HexInputIsReplacedByItsRawTextAndLowerCaseReadsTheSame) {
  clsBlowfish cipher;
  const std::u16string hex = cipher.EncryptString(u"pässword", u"k", true);
  std::u16string upper = hex;
  std::u16string lower = hex;
  for (char16_t& c : lower) c = static_cast<char16_t>(std::tolower(c));
  EXPECT_EQ(cipher.DecryptString(lower, u"k", true), u"pässword");
  EXPECT_EQ(cipher.DecryptString(upper, u"k", true), u"pässword");
  EXPECT_EQ(upper.size(), hex.size() / 2);
  EXPECT_EQ(toHexText(text::toAnsi(upper)), hex);
}

TEST(Strings, RawTextFormRoundTripsEveryByte) {
  clsBlowfish cipher;
  std::u16string all;
  for (int c = 0; c < 256; ++c) all += text::fromAnsi(std::string(1, static_cast<char>(c)));
  std::u16string raw = cipher.EncryptString(all, u"k", false);
  EXPECT_EQ(raw.size(), cipherLength(256));
  EXPECT_EQ(cipher.DecryptString(raw, u"k", false), all);
}

}  // namespace
}  // namespace orv::cipher
