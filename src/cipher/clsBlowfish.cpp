#include "cipher/clsBlowfish.h"

#include <filesystem>

#include "cipher/hex_text.h"
#include "cipher/key_bytes.h"
#include "base/failure.h"
#include "text/ansi_codepage.h"

namespace orv::cipher {
namespace {

std::span<std::uint8_t> writableBytes(SecretBytes& data) {
  return {reinterpret_cast<std::uint8_t*>(data.data()), data.size()};
}

}  // namespace

clsBlowfish::clsBlowfish() = default;

clsBlowfish::clsBlowfish(const BlowfishTables& keyedTables, SecretText currentKey)
    : engine_(keyedTables), m_CurrentKey(std::move(currentKey)) {}

clsBlowfish::~clsBlowfish() = default;

void clsBlowfish::Key(const std::u16string& newValue) {
  if (m_CurrentKey == newValue) return;
  SecretBytes keyBytes;
  try {
    if (!newValue.empty()) keyBytes = keyScheduleBytes(newValue);
  } catch (...) {
    // Not applied: the same key given again must be tried again, not taken as in force.
    m_CurrentKey.clear();
    throw;
  }
  applyKey(newValue, keyBytes.view());
}

void clsBlowfish::applyKey(std::u16string_view key, std::string_view scheduleBytes) {
  // The current key is taken before the schedule runs: an empty key, refused below, still
  // leaves no current key, so the previous key would be mixed in again.
  m_CurrentKey = SecretText(key);
  // The schedule needs at least one key byte: no bytes is a subscript out of range.
  if (scheduleBytes.empty()) throwSubscriptOutOfRange();
  engine_.mixKey(scheduleBytes);
}

void clsBlowfish::applyKeyIfGiven(const std::u16string& key) {
  if (!key.empty()) Key(key);
}

void clsBlowfish::EncryptByte(std::vector<std::uint8_t>& byteArray, const std::u16string& key) {
  applyKeyIfGiven(key);
  encryptCipherData(engine_, byteArray, randomWords_(), progress_);
}

DecryptOutcome clsBlowfish::decryptByteWithOutcome(std::vector<std::uint8_t>& byteArray,
                                                   const std::u16string& key) noexcept {
  try {
    applyKeyIfGiven(key);
    return decryptCipherData(engine_, byteArray, progress_);
  } catch (...) {
    // Decryption absorbs its failures; the array stays as far as it got.
    return DecryptOutcome::Interrupted;
  }
}

DecryptOutcome clsBlowfish::decryptWhereItLies(SecretBytes& data, const std::u16string& key) noexcept {
  try {
    applyKeyIfGiven(key);
    const InPlaceDecryption decrypted = decryptInPlace(engine_, writableBytes(data), progress_);
    if (decrypted.outcome == DecryptOutcome::Plain) data.resize(decrypted.plainLength);
    return decrypted.outcome;
  } catch (...) {
    return DecryptOutcome::Interrupted;
  }
}

void clsBlowfish::DecryptByte(std::vector<std::uint8_t>& byteArray, const std::u16string& key) noexcept {
  static_cast<void>(decryptByteWithOutcome(byteArray, key));
}

// The text's bytes are encrypted where they lie, in a buffer that is wiped.
std::u16string clsBlowfish::EncryptString(const std::u16string& text, const std::u16string& key, bool outputInHex) {
  SecretBytes data(text::toAnsi(text));
  const std::size_t plainLength = data.size();
  applyKeyIfGiven(key);
  data.resize(static_cast<std::size_t>(checkedCipherLength(plainLength)));
  encryptInPlace(engine_, writableBytes(data), plainLength, randomWords_(), progress_);
  // Every byte survives the trip through a single-byte code page, so the hex digits can be
  // taken from the cipher bytes directly.
  return outputInHex ? toHexText(data.view()) : text::fromAnsi(data.view());
}

PasswordDecryption clsBlowfish::decryptHexWithOutcome(std::u16string_view hexText, const std::u16string& key) {
  SecretBytes data(bytesFromHexText(hexText));
  PasswordDecryption result;
  result.rawText = text::fromAnsi(data.view());
  result.outcome = decryptWhereItLies(data, key);
  result.text = SecretText(text::fromAnsi(data.view()));
  return result;
}

SecretText clsBlowfish::DecryptString(std::u16string& text, const std::u16string& key, bool isTextInHex) {
  if (isTextInHex) {
    PasswordDecryption decrypted = decryptHexWithOutcome(text, key);
    text = std::move(decrypted.rawText);
    return std::move(decrypted.text);
  }
  SecretBytes data(text::toAnsi(text));
  static_cast<void>(decryptWhereItLies(data, key));
  return SecretText(text::fromAnsi(data.view()));
}

FileResult clsBlowfish::encryptFileWithResult(FileJob job, const std::u16string& key) {
  applyKeyIfGiven(key);
  return cipher::encryptFile(engine_, job, randomWords_(), progress_);
}

FileResult clsBlowfish::decryptFileWithResult(FileJob job, const std::u16string& key) {
  applyKeyIfGiven(key);
  return cipher::decryptFile(engine_, job, progress_);
}

bool clsBlowfish::EncryptFile(const std::u16string& inFile, const std::u16string& outFile, bool overwrite,
                              const std::u16string& key) {
  try {
    return encryptFileWithResult({std::filesystem::path(inFile), std::filesystem::path(outFile), overwrite}, key)
               .outcome == FileOutcome::Written;
  } catch (...) {
    return false;
  }
}

bool clsBlowfish::DecryptFile(const std::u16string& inFile, const std::u16string& outFile, bool overwrite,
                              const std::u16string& key) {
  try {
    return decryptFileWithResult({std::filesystem::path(inFile), std::filesystem::path(outFile), overwrite}, key)
               .outcome == FileOutcome::Written;
  } catch (...) {
    return false;
  }
}

}  // namespace orv::cipher
