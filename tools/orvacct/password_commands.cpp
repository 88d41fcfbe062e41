// orvacct pwd encrypt|decrypt: passwords to hexadecimal cipher text and back, one item a line,
// from the command line or standard input, or one column of CSV from standard input. Output
// rows stay aligned with input rows: with --keep-going an item that fails leaves an empty row
// (or cell) and the batch goes on.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/secure_wipe.h"
#include "cipher/clsBlowfish.h"
#include "cipher/hex_text.h"
#include "cipher_direction.h"
#include "commands.h"
#include "csv_column.h"
#include "input_text.h"
#include "key_options.h"
#include "output_quoting.h"
#include "text/ansi_codepage.h"
#include "text/utf.h"
#include "tool_output.h"

namespace orvacct {
namespace {

using orv::cipher::clsBlowfish;
using orv::cipher::DecryptOutcome;

enum class OutputForm { Plain, Csv, Jsonl };

struct PasswordOptions {
  KeyOptions key;
  ByteEncoding inputEncoding = ByteEncoding::Utf8;
  OutputForm form = OutputForm::Plain;
  bool keepGoing = false;
  std::optional<std::string> csvColumn;  // none: one item a line
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

  void add(const std::u16string& text) {
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
  // A whole row already in its form, its line end included (a CSV record).
  void addRow(std::string_view row) {
    buffer_ += row;
    flushWhenFull();
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
    flushWhenFull();
  }
  void flushWhenFull() {
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

  std::u16string process(const std::u16string& item, const std::string& where) {
    if (direction_ == Direction::Encrypt) {
      requireRepresentable(item, where + ": the password");
      return cipher_.EncryptString(item, u"", true);
    }
    // No cipher text at all is the empty password, as the component decrypts it.
    if (item.empty()) return {};
    requireCipherText(item, where);
    const orv::cipher::PasswordDecryption decrypted = cipher_.decryptHexWithOutcome(item, u"");
    if (decrypted.outcome != DecryptOutcome::Plain) {
      throw ToolError(where + ": wrong key or damaged cipher text (size descriptor out of range)");
    }
    if (form_ == OutputForm::Plain && decrypted.text.find_first_of(u"\r\n") != std::u16string::npos) {
      throw ToolError(where +
                      ": the password holds a line break, which one line cannot show; give --output csv or "
                      "--output jsonl");
    }
    return decrypted.text;
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

  // The result of one item; nothing when it failed and the batch goes on, the reason told.
  template <class Item>
  std::optional<std::u16string> attempt(const std::string& where, Item&& item) {
    ++items_;
    try {
      return batch_.process(std::forward<Item>(item)(), where);
    } catch (const UsageError&) {
      throw;
    } catch (const ToolError& error) {
      if (!keepGoing_) throw;
      reportProblem(error.what());
      ++failed_;
      return std::nullopt;
    }
  }

  template <class Item>
  void run(const std::string& where, Item&& item) {
    if (const std::optional<std::u16string> result = attempt(where, std::forward<Item>(item))) {
      out_.add(*result);
    } else {
      out_.addFailed();
    }
  }

  void addRow(std::string_view row) { out_.addRow(row); }

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

// The column's cell of each record replaced by its result (left empty when it failed), every other
// cell written back as it came; with a column named, the first record is the header row and
// stays as it is. Cells come in UTF-8, or in the ANSI code page, and go out in UTF-8.
void runCsvColumn(BatchRun& batch, const PasswordOptions& options) {
  CsvColumn column(*options.csvColumn);
  CsvReader reader(std::cin, options.inputEncoding == ByteEncoding::Utf8);
  CsvRecord record;
  std::string row;
  for (bool first = true; reader.next(record); first = false) {
    row.clear();
    if (first && reader.hadByteOrderMark()) row = "\xEF\xBB\xBF";
    if (options.inputEncoding == ByteEncoding::Ansi) {
      for (CsvCell& cell : record.cells) cell.text = orv::text::toUtf8(orv::text::fromAnsi(cell.text));
    }
    const std::string where = "line " + std::to_string(record.firstLine);
    if (first && column.namedInHeader()) {
      column.findIn(record);
    } else if (column.index() >= record.cells.size()) {
      batch.attempt(where, [&]() -> std::u16string {
        throw ToolError(where + ": no column " + std::to_string(column.index() + 1) + " (the row has " +
                        std::to_string(record.cells.size()) + " cells); the row is written as it was");
      });
    } else {
      std::string& cell = record.cells[column.index()].text;
      const std::optional<std::u16string> result = batch.attempt(
          where, [&] { return textFromBytes(cell, ByteEncoding::Utf8, where + " of standard input", "--input-encoding"); });
      orv::secureWipe(cell);
      cell = result ? orv::text::toUtf8(*result) : std::string();
    }
    appendCsvRecord(row, record);
    batch.addRow(row);
  }
  batch.finish();
}

void runPasswords(Direction direction, PasswordOptions options) {
  if (options.csvColumn) {
    if (!options.items.empty()) throw UsageError("--csv-column reads CSV from standard input; give no items");
    options.form = OutputForm::Csv;  // a cell may hold line breaks
    BatchRun batch(direction, options);
    runCsvColumn(batch, options);
    return;
  }
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

CLI::Option* addOutputOption(CLI::App& command, OutputForm& form) {
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
  return command
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
  CLI::Option* output = addOutputOption(*command, options->form);
  command
      ->add_option("--csv-column", options->csvColumn,
                   "Read CSV (RFC 4180) from standard input and replace this column's cells, every other cell kept "
                   "as it was: a number from 1, or a name in the header row")
      ->excludes(output);
  command->add_flag("--keep-going", options->keepGoing,
                    "An item that fails leaves an empty row (null in jsonl) and its reason on standard error; the "
                    "batch goes on, and fails at the end");
  command->add_option("items", options->items,
                      "Texts to process; without any, each line of standard input (a blank line is the empty text)");
  command->callback([options, direction] { runPasswords(direction, *options); });
}

}  // namespace

void addPasswordCommands(CLI::App& app) {
  CLI::App* pwd =
      app.add_subcommand("pwd", "Passwords to hexadecimal cipher text and back, as EnCrypt_Pwd/DeCrypt_Pwd");
  pwd->require_subcommand(1);
  addPasswordCommand(*pwd, "encrypt", Direction::Encrypt, "Encrypt each password, one cipher text a line");
  addPasswordCommand(*pwd, "decrypt", Direction::Decrypt,
                     "Decrypt each cipher text, one password a line; a wrong key is an error");
}

}  // namespace orvacct
