#pragma once
// clsBlowfish: the component's cipher class, with its byte, string and file operations over
// the engine. One instance serves one call at a time.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/secret.h"
#include "cipher/blowfish_engine.h"
#include "cipher/cipher_data.h"
#include "cipher/file_cipher.h"
#include "cipher/progress_rule.h"
#include "cipher/random_words.h"

namespace orv::cipher {

class KeyedCipherCache;

// A decryption of hexadecimal cipher text, telling what it found.
struct PasswordDecryption {
  // Plain, or the damage that was found.
  DecryptOutcome outcome = DecryptOutcome::Plain;
  // As DecryptString returns it: the password, or every decrypted byte.
  SecretText text;
  // The hex text decoded, as DecryptString leaves it in its argument.
  std::u16string rawText;
};

class clsBlowfish {
 public:
  clsBlowfish();
  ~clsBlowfish();
  clsBlowfish(const clsBlowfish&) = delete;
  clsBlowfish& operator=(const clsBlowfish&) = delete;

  // In the order of the class's interface. An empty key keeps the key in force.
  void EncryptByte(std::vector<std::uint8_t>& byteArray, const std::u16string& key);
  std::u16string EncryptString(const std::u16string& text, const std::u16string& key, bool outputInHex);
  // Writes the decoded raw text back into `text` when it was hexadecimal.
  SecretText DecryptString(std::u16string& text, const std::u16string& key, bool isTextInHex);
  // Never fails: bad data leaves byteArray in the state reached.
  void DecryptByte(std::vector<std::uint8_t>& byteArray, const std::u16string& key) noexcept;
  // The write-only Key property. Same key again: nothing. Empty key while keyed: error 9.
  void Key(const std::u16string& newValue);
  bool EncryptFile(const std::u16string& inFile, const std::u16string& outFile, bool overwrite,
                   const std::u16string& key);
  bool DecryptFile(const std::u16string& inFile, const std::u16string& outFile, bool overwrite,
                   const std::u16string& key);

  // The Progress event.
  void onProgress(ProgressHandler handler) { progress_ = std::move(handler); }

  // Where the two random words of EncryptByte come from (tests give fixed ones).
  void setRandomWordSource(RandomWordSource source) { randomWords_ = std::move(source); }

  // DecryptByte that tells what it found, for callers that must tell a wrong key apart.
  DecryptOutcome decryptByteWithOutcome(std::vector<std::uint8_t>& byteArray, const std::u16string& key) noexcept;
  // DecryptString of hexadecimal text that tells what it found (the command line tool's).
  PasswordDecryption decryptHexWithOutcome(std::u16string_view hexText, const std::u16string& key);

  // File operations that say why they failed; EncryptFile and DecryptFile are these, reduced
  // to a Boolean.
  FileResult encryptFileWithResult(FileJob job, const std::u16string& key);
  FileResult decryptFileWithResult(FileJob job, const std::u16string& key);

  const BlowfishTables& tables() const { return engine_.tables(); }
  const SecretText& currentKey() const { return m_CurrentKey; }

 private:
  friend class KeyedCipherCache;
  // An instance whose tables are already those of `currentKey` applied once to a fresh one.
  clsBlowfish(const BlowfishTables& keyedTables, SecretText currentKey);
  // The key schedule over bytes already converted: the key becomes the current key first.
  void applyKey(std::u16string_view key, std::string_view scheduleBytes);
  void applyKeyIfGiven(const std::u16string& key);
  // decryptByteWithOutcome over bytes that are wiped when they end.
  DecryptOutcome decryptWhereItLies(SecretBytes& data, const std::u16string& key) noexcept;

  BlowfishEngine engine_;
  SecretText m_CurrentKey;
  ProgressHandler progress_;
  RandomWordSource randomWords_ = systemRandomWords;
};

}  // namespace orv::cipher
