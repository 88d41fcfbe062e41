// orvacct pwd encrypt|decrypt: passwords to hexadecimal cipher text and back, one item a line,
// from the command line or standard input. Output rows stay aligned with input rows: with
// --keep-going an item that fails leaves an empty row and the batch goes on.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cipher/clsBlowfish.h"
#include "cipher/hex_text.h"
#include "cipher_direction.h"
#include "commands.h"
#include "input_text.h"
#include "key_options.h"
#include "output_quoting.h"
#include "text/utf.h"
#include "tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace password_commands {
namespace {

using orv::cipher::clsBlowfish;
using orv::cipher::DecryptOutcome;

enum class OutputForm { Plain, Csv, Jsonl };

struct PasswordOptions {
  KeyOptions key;
  ByteEncoding inputEncoding = ByteEncoding::Utf8;
  OutputForm form = OutputForm::Plain;
  bool keepGoing = false;
  std::vector<std::string> items;
};

// Results in the chosen form, collected and written in large pieces: a batch may be millions
// of lines.
class ResultWriter {
 public:
  explicit ResultWriter(OutputForm form) : form_(form) {}
  ~ResultWriter() {
    // After a failure, what was done before it still reaches the reader.
    try {
      finish();
    } catch (...) {
    }
  }

  void add(std::u16string_view text) {
    const std::string utf8 = orv::text::toUtf8(text);
    if (form_ == OutputForm::Csv) {
      appendCsvField(buffer_, utf8, true);
    } else if (form_ == OutputForm::Jsonl) {
      appendJsonString(buffer_, utf8);
    } else {
      buffer_ += utf8;
    }
    endRow();
  }
  // The row of an item that failed: empty (null in JSON), never the same as an empty result.
  void addFailed() {
    if (form_ == OutputForm::Jsonl) buffer_ += "null";
    endRow();
  }
  void finish() {
    // Emptied even when the write fails, so it is not tried again from the destructor.
    struct Emptied {
      std::string& buffer;
      ~Emptied() { buffer.clear(); }
    } emptied{buffer_};
    writeOutput(buffer_);
  }

 private:
  void endRow() {
    buffer_ += '\n';
    if (buffer_.size() >= kFlushAt) finish();
  }

  static constexpr std::size_t kFlushAt = 1 << 16;
  OutputForm form_;
  std::string buffer_;
};

// Cipher text is two hex digits a byte, of cipher data of whole 8-byte blocks, 16 bytes at least.
void requireCipherText(const std::u16string& item, const std::string& where) {
  if (const auto bad = orv::cipher::firstNonHexDigit(item)) {
    throw ToolError(where + ": not hexadecimal cipher text: " + describeCharacter(item[*bad]) + " at character " +
                    std::to_string(*bad + 1));
  }
  if (item.size() % 16 != 0 || item.size() < 32) {
    throw ToolError(where + ": cipher text too short or cut (" + std::to_string(item.size()) +
                    " hex digits); cipher text has a multiple of 16 hex digits, at least 32");
  }
}

// One engine keyed once serves every line, as a fresh instance per line would.
class PasswordBatch {
 public:
  PasswordBatch(Direction direction, const orv::SecretText& key, OutputForm form) : direction_(direction), form_(form) {
    cipher_.Key(key.str());
  }

  // The row: a password's cipher text, or a password.
  orv::SecretText process(const std::u16string& item, const std::string& where) {
    if (direction_ == Direction::Encrypt) {
      requireRepresentable(item, where + ": the password");
      return orv::SecretText(cipher_.EncryptString(item, u"", true));
    }
    // No cipher text at all is the empty password, as the component decrypts it.
    if (item.empty()) return {};
    requireCipherText(item, where);
    orv::cipher::PasswordDecryption decrypted = cipher_.decryptHexWithOutcome(item, u"");
    if (decrypted.outcome != DecryptOutcome::Plain) {
      throw ToolError(where + ": wrong key or damaged cipher text (size descriptor out of range)");
    }
    if (form_ == OutputForm::Plain && decrypted.text.view().find_first_of(u"\r\n") != std::u16string::npos) {
      throw ToolError(where +
                      ": the password holds a line break, which one line cannot show; give --output csv or "
                      "--output jsonl");
    }
    return std::move(decrypted.text);
  }

 private:
  Direction direction_;
  OutputForm form_;
  clsBlowfish cipher_;
};

// Each item in turn; with keepGoing a failure is reported and leaves its row empty.
class BatchRun {
 public:
  BatchRun(Direction direction, const PasswordOptions& options)
      : batch_(direction, resolveKey(options.key), options.form), out_(options.form), keepGoing_(options.keepGoing) {}

  template <class Item>
  void run(const std::string& where, Item&& item) {
    ++items_;
    try {
      out_.add(batch_.process(std::forward<Item>(item)(), where).view());
    } catch (const UsageError&) {
      throw;
    } catch (const ToolError& error) {
      if (!keepGoing_) throw;
      reportProblem(error.what());
      out_.addFailed();
      ++failed_;
    }
  }

  void finish() {
    out_.finish();
    if (failed_ > 0) throw ToolError(std::to_string(failed_) + " of " + std::to_string(items_) + " items failed");
  }

 private:
  PasswordBatch batch_;
  ResultWriter out_;
  bool keepGoing_;
  std::size_t items_ = 0;
  std::size_t failed_ = 0;
};

void runPasswords(Direction direction, const PasswordOptions& options) {
  BatchRun batch(direction, options);
  if (!options.items.empty()) {
    for (std::size_t i = 0; i < options.items.size(); ++i) {
      const std::string where = "item " + std::to_string(i + 1);
      batch.run(where, [&] { return argumentText(options.items[i], where); });
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
    batch.run(where, [&] {
      return textFromBytes(bytes, options.inputEncoding, where + " of standard input", "--input-encoding");
    });
  }
  if (std::cin.bad()) throw ToolError("cannot read standard input");
  batch.finish();
}

void addOutputOption(CLI::App& command, OutputForm& form) {
  const CLI::Validator word(
      [](std::string& value) -> std::string {
        const OutputForm chosen = value == "csv"     ? OutputForm::Csv
                                  : value == "jsonl" ? OutputForm::Jsonl
                                                     : OutputForm::Plain;
        if (chosen == OutputForm::Plain && value != "plain") return "'" + value + "' is not plain, csv or jsonl";
        value = std::to_string(static_cast<int>(chosen));
        return {};
      },
      "plain|csv|jsonl");
  command
      .add_option("--output", form,
                  "plain (default): one result a line; csv or jsonl: one quoted field a line, for results that "
                  "hold line breaks")
      ->transform(word);
}

void addPasswordCommand(CLI::App& pwd, const std::string& name, Direction direction, const std::string& description) {
  auto options = std::make_shared<PasswordOptions>();
  CLI::App* command = pwd.add_subcommand(name, description);
  addKeyOptions(*command, options->key);
  addEncodingOption(*command, "--input-encoding", options->inputEncoding,
                    "How standard input's bytes are read: utf8 (default) or ansi, bytes in the ANSI code page");
  addOutputOption(*command, options->form);
  command->add_flag("--keep-going", options->keepGoing,
                    "An item that fails leaves an empty row (null in jsonl) and its reason on standard error; the "
                    "batch goes on, and fails at the end");
  command->add_option("items", options->items,
                      "Texts to process; without any, each line of standard input (a blank line is the empty text)");
  command->callback([options, direction] { runPasswords(direction, *options); });
}

}  // namespace
}  // namespace password_commands

void addPasswordCommands(CLI::App& app) {
  using namespace password_commands;
  CLI::App* pwd =
      app.add_subcommand("pwd", "Passwords to hexadecimal cipher text and back, as EnCrypt_Pwd/DeCrypt_Pwd");
  pwd->require_subcommand(1);
  addPasswordCommand(*pwd, "encrypt", Direction::Encrypt, "Encrypt each password, one cipher text a line");
  addPasswordCommand(*pwd, "decrypt", Direction::Decrypt,
                     "Decrypt each cipher text, one password a line; a wrong key is an error");
}

}  // namespace orvacct
