#include "cipher/clsBlowfish.h"

#include <filesystem>

#include "cipher/hex_text.h"
#include "cipher/key_bytes.h"
#include "base/secure_wipe.h"
#include "base/failure.h"
#include "text/ansi_codepage.h"

namespace orv::cipher {
namespace {

std::vector<std::uint8_t> toByteArray(std::string_view bytes) { return {bytes.begin(), bytes.end()}; }

std::string_view asChars(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

clsBlowfish::clsBlowfish() = default;

clsBlowfish::clsBlowfish(const BlowfishTables& keyedTables, std::u16string currentKey)
    : engine_(keyedTables), m_CurrentKey(std::move(currentKey)) {}

clsBlowfish::~clsBlowfish() { secureWipe(m_CurrentKey); }

void clsBlowfish::Key(const std::u16string& newValue) {
  if (newValue == m_CurrentKey) return;
  std::string keyBytes;
  try {
    if (!newValue.empty()) keyBytes = keyScheduleBytes(newValue);
  } catch (...) {
    // Not applied: the same key given again must be tried again, not taken as in force.
    secureWipe(m_CurrentKey);
    throw;
  }
  try {
    applyKey(newValue, keyBytes);
  } catch (...) {
    secureWipe(keyBytes);
    throw;
  }
  secureWipe(keyBytes);
}

void clsBlowfish::applyKey(const std::u16string& key, std::string_view scheduleBytes) {
  // The current key is taken before the schedule runs: an empty key, refused below, still
  // leaves no current key, so the previous key would be mixed in again.
  secureWipe(m_CurrentKey);
  m_CurrentKey = key;
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

void clsBlowfish::DecryptByte(std::vector<std::uint8_t>& byteArray, const std::u16string& key) noexcept {
  static_cast<void>(decryptByteWithOutcome(byteArray, key));
}

std::u16string clsBlowfish::EncryptString(const std::u16string& text, const std::u16string& key, bool outputInHex) {
  std::vector<std::uint8_t> bytes = toByteArray(text::toAnsi(text));
  EncryptByte(bytes, key);
  // Every byte survives the trip through a single-byte code page, so the hex digits can be
  // taken from the cipher bytes directly.
  return outputInHex ? toHexText(asChars(bytes)) : text::fromAnsi(asChars(bytes));
}

PasswordDecryption clsBlowfish::decryptHexWithOutcome(std::u16string_view hexText, const std::u16string& key) {
  const std::string decoded = bytesFromHexText(hexText);
  PasswordDecryption result;
  result.rawText = text::fromAnsi(decoded);
  std::vector<std::uint8_t> bytes = toByteArray(decoded);
  result.outcome = decryptByteWithOutcome(bytes, key);
  result.text = text::fromAnsi(asChars(bytes));
  return result;
}

std::u16string clsBlowfish::DecryptString(std::u16string& text, const std::u16string& key, bool isTextInHex) {
  if (isTextInHex) {
    PasswordDecryption decrypted = decryptHexWithOutcome(text, key);
    text = std::move(decrypted.rawText);
    return std::move(decrypted.text);
  }
  std::vector<std::uint8_t> bytes = toByteArray(text::toAnsi(text));
  DecryptByte(bytes, key);
  return text::fromAnsi(asChars(bytes));
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
