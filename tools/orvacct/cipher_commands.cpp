// orvacct pwd encrypt|decrypt, orvacct file encrypt|decrypt
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cipher/clsBlowfish.h"
#include "cipher/hex_text.h"
#include "cipher/password.h"
#include "commands.h"
#include "input_text.h"
#include "interrupt_cleanup.h"
#include "key_options.h"
#include "progress_bar.h"
#include "text/utf.h"
#include "tool_output.h"

namespace orvacct {
namespace {

using orv::cipher::clsBlowfish;
using orv::cipher::DecryptOutcome;
using orv::cipher::FileOutcome;

enum class Direction { Encrypt, Decrypt };

struct PasswordOptions {
  KeyOptions key;
  ByteEncoding inputEncoding = ByteEncoding::Utf8;
  std::vector<std::string> items;
};

struct FileOptions {
  KeyOptions key;
  bool overwrite = false;
  std::string source;
  std::string destination;
};

// Results collected and written in large pieces: a batch may be millions of lines.
class LineWriter {
 public:
  ~LineWriter() {
    // After a failure, what was done before it still reaches the reader.
    try {
      finish();
    } catch (...) {
    }
  }
  void add(const std::u16string& text) {
    buffer_ += orv::text::toUtf8(text);
    buffer_ += '\n';
    if (buffer_.size() >= kFlushAt) finish();
  }
  void finish() {
    const std::string pending = std::move(buffer_);
    buffer_.clear();
    writeOutput(pending);
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  std::string buffer_;
};

// One engine keyed once serves every line, as a fresh instance per line would.
class PasswordBatch {
 public:
  PasswordBatch(Direction direction, const std::u16string& key) : direction_(direction) { cipher_.Key(key); }

  void process(const std::u16string& item, const std::string& where) {
    if (direction_ == Direction::Encrypt) {
      requireRepresentable(item, where + ": the password");
      out_.add(cipher_.EncryptString(item, u"", true));
      return;
    }
    // No cipher text at all is the empty password, as the component decrypts it.
    if (item.empty()) {
      out_.add(u"");
      return;
    }
    if (!orv::cipher::isHexPairs(item)) throw ToolError(where + ": not hexadecimal cipher text");
    const orv::cipher::PasswordDecryption decrypted = orv::cipher::decryptPassword(cipher_, item, u"");
    if (decrypted.outcome != DecryptOutcome::Plain) {
      throw ToolError(where + ": wrong key or damaged cipher text (size descriptor out of range)");
    }
    out_.add(decrypted.text);
  }

  void finish() { out_.finish(); }

 private:
  Direction direction_;
  clsBlowfish cipher_;
  LineWriter out_;
};

void runPasswords(Direction direction, const PasswordOptions& options) {
  PasswordBatch batch(direction, resolveKey(options.key));
  if (!options.items.empty()) {
    for (std::size_t i = 0; i < options.items.size(); ++i) {
      const std::string where = "item " + std::to_string(i + 1);
      batch.process(argumentText(options.items[i], where), where);
    }
    batch.finish();
    return;
  }
  std::ios::sync_with_stdio(false);
  std::string line;
  for (std::size_t number = 1; std::getline(std::cin, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string_view bytes = line;
    if (number == 1 && options.inputEncoding == ByteEncoding::Utf8 && bytes.starts_with("\xEF\xBB\xBF")) {
      bytes.remove_prefix(3);  // an editor's byte order mark
    }
    const std::string where = "line " + std::to_string(number);
    batch.process(textFromBytes(bytes, options.inputEncoding, where + " of standard input", "--input-encoding"), where);
  }
  if (std::cin.bad()) throw ToolError("cannot read standard input");
  batch.finish();
}

std::string describe(const orv::cipher::FileResult& result, const FileOptions& options) {
  switch (result.outcome) {
    case FileOutcome::SourceMissing:
      return "cannot read " + options.source + ": " + result.detail;
    case FileOutcome::DestinationExists:
      return options.destination + " exists; give --overwrite to replace it";
    case FileOutcome::SourceTooLarge:
      return options.source + " is too large (the size descriptor holds at most 2147483628 bytes)";
    case FileOutcome::BadCipherData:
      return options.source + ": wrong key or damaged file (size descriptor out of range); " + options.destination +
             " not written";
    case FileOutcome::Failed:
    case FileOutcome::Written:
      break;
  }
  return "cannot write " + options.destination + ": " + result.detail;
}

void runFile(Direction direction, const FileOptions& options) {
  clsBlowfish cipher;
  const std::u16string key = resolveKey(options.key);
  orv::cipher::FileJob job{pathArgument(options.source), pathArgument(options.destination), options.overwrite};
  job.temporaryNames = removeTemporaryOnInterrupt();
  const orv::cipher::ProgressHandler bar = progressBar(direction == Direction::Encrypt ? "encrypting" : "decrypting");
  cipher.onProgress(bar);
  const orv::cipher::FileResult result =
      direction == Direction::Encrypt ? cipher.encryptFileWithResult(job, key) : cipher.decryptFileWithResult(job, key);
  if (result.outcome == FileOutcome::Written) return;
  if (bar) std::fputc('\n', stderr);
  throw ToolError(describe(result, options));
}

void addPasswordCommand(CLI::App& pwd, const std::string& name, Direction direction, const std::string& description) {
  auto options = std::make_shared<PasswordOptions>();
  CLI::App* command = pwd.add_subcommand(name, description);
  addKeyOptions(*command, options->key);
  addEncodingOption(*command, "--input-encoding", options->inputEncoding,
                    "How standard input's bytes are read: utf8 (default) or ansi, bytes in the ANSI code page");
  command->add_option("items", options->items,
                      "Texts to process; without any, each line of standard input (a blank line is the empty text)");
  command->callback([options, direction] { runPasswords(direction, *options); });
}

void addFileCommand(CLI::App& file, const std::string& name, Direction direction, const std::string& description) {
  auto options = std::make_shared<FileOptions>();
  CLI::App* command = file.add_subcommand(name, description);
  addKeyOptions(*command, options->key);
  command->add_flag("--overwrite", options->overwrite, "Replace OUT when it exists, keeping its permissions");
  command->add_option("IN", options->source, "Source file")->required();
  command->add_option("OUT", options->destination,
                      "Destination file (may be IN itself with --overwrite); outside Windows a new one is private (0600)")
      ->required();
  command->callback([options, direction] { runFile(direction, *options); });
}

}  // namespace

void addCipherCommands(CLI::App& app) {
  CLI::App* pwd =
      app.add_subcommand("pwd", "Passwords to hexadecimal cipher text and back, as EnCrypt_Pwd/DeCrypt_Pwd");
  pwd->require_subcommand(1);
  addPasswordCommand(*pwd, "encrypt", Direction::Encrypt, "Encrypt each password, one cipher text a line");
  addPasswordCommand(*pwd, "decrypt", Direction::Decrypt,
                     "Decrypt each cipher text, one password a line; a wrong key is an error");

  CLI::App* file = app.add_subcommand("file", "Encrypt or decrypt a whole file");
  file->require_subcommand(1);
  addFileCommand(*file, "encrypt", Direction::Encrypt, "Encrypt IN into OUT");
  addFileCommand(*file, "decrypt", Direction::Decrypt, "Decrypt IN into OUT; a wrong key leaves OUT untouched");
}

}  // namespace orvacct
