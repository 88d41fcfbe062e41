// orvacct pwd encrypt|decrypt|rekey: passwords to hexadecimal cipher text and back, or cipher
// text from one key to another, one item a line, from the command line or standard input, or one
// column of CSV from standard input; a password to encrypt can be typed at the terminal. Output
// rows stay aligned with input rows: with --keep-going an item that fails leaves an empty row
// (or cell) and the batch goes on. Output to a file replaces it only once it is complete.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "base/secret.h"
#include "base/secure_wipe.h"
#include "commands.h"
#include "csv_column.h"
#include "destination_check.h"
#include "hidden_prompt.h"
#include "input_text.h"
#include "key_options.h"
#include "output_file.h"
#include "password_batch.h"
#include "row_writer.h"
#include "text/ansi_codepage.h"
#include "text/utf.h"
#include "standard_streams.h"
#include "tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace password_commands {
namespace {

struct PasswordOptions {
  KeyOptions key;     // for rekey, the old key
  KeyOptions newKey;  // rekey only
  ByteEncoding inputEncoding = ByteEncoding::Utf8;
  RowFormat form = RowFormat::Lines;  // --output
  bool keepGoing = false;
  std::optional<std::string> csvColumn;  // none: one item a line
  std::string outputFile;                // empty: standard output
  bool overwrite = false;
  std::vector<std::string> items;
};


// Results in the chosen form, one a line, to standard output or to an output file put in place
// when complete.
class ResultWriter {
 public:
  ResultWriter(RowFormat form, const std::string& outputFile)
      : file_(outputFile.empty() ? std::nullopt : std::optional<OutputFile>(std::in_place, outputFile)),
        rows_(form, {""}, file_ ? RowWriter::Sink([this](std::string_view rows) { file_->write(rows); })
                                             : RowWriter::Sink()) {}

  void add(std::u16string_view text) {
    rows_.text(orv::text::toUtf8(text));
    rows_.endRow();
  }
  // The row of an item that failed: empty (null in JSON), never the same as an empty result.
  void addFailed() {
    rows_.null();
    rows_.endRow();
  }
  // A whole row already in its form, its line end included (a CSV record).
  void addRow(std::string_view row) { rows_.row(row); }
  // The output file, complete, in place of the destination.
  void commit(bool mayReplace) {
    rows_.flush();
    if (file_) file_->commit(mayReplace);
  }

 private:
  std::optional<OutputFile> file_;
  RowWriter rows_;  // after file_, which it writes to, so it is gone first
};

// Each item in turn; with keepGoing a failure is reported and leaves its row empty.
class BatchRun {
 public:
  BatchRun(PasswordOperation operation, const PasswordOptions& options, RowFormat form, const orv::SecretText& key,
           const orv::SecretText& newKey)
      : batch_(operation, key, newKey, form == RowFormat::Lines),
        out_(form, options.outputFile),
        keepGoing_(options.keepGoing),
        overwrite_(options.overwrite) {}

  // The result of one item; nothing when it failed and the batch goes on, the reason told.
  template <class Item>
  std::optional<std::u16string> attempt(const std::string& where, Item&& item) {
    ++items_;
    try {
      const orv::SecretText text = std::forward<Item>(item)();
      return batch_.process(text, where);
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

  // Without --keep-going a failure has ended the run before this, and an output file is not put
  // in place; with it, the file is, its failed rows empty.
  void finish() {
    out_.commit(overwrite_);
    if (failed_ > 0) throw ToolError(std::to_string(failed_) + " of " + std::to_string(items_) + " items failed");
  }

 private:
  PasswordBatch batch_;
  ResultWriter out_;
  bool keepGoing_;
  bool overwrite_;
  std::size_t items_ = 0;
  std::size_t failed_ = 0;
};

// The column's cell of each record replaced by its result (left empty when it failed), every other
// cell written back as it came; with a column named, the first record is the header row and
// stays as it is. Cells come in UTF-8, or in the ANSI code page, and go out in UTF-8.
void runCsvColumn(BatchRun& batch, const PasswordOptions& options) {
  // Bytes in and out: line ends stay as they came, and a cell's CR LF reaches the cipher whole.
  binaryMode(stdin);
  binaryMode(stdout);
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
      batch.attempt(where, [&]() -> orv::SecretText {
        throw ToolError(where + ": no column " + std::to_string(column.index() + 1) + " (the row has " +
                        std::to_string(record.cells.size()) + " cells); the row is written as it was");
      });
    } else {
      CsvCell& cell = record.cells[column.index()];
      const std::optional<std::u16string> result = batch.attempt(where, [&] {
        return orv::SecretText(
            textFromBytes(cell.text, ByteEncoding::Utf8, where + " of standard input", "--input-encoding"));
      });
      orv::secureWipe(cell.text);
      cell.text = result ? orv::text::toUtf8(*result) : std::string();
      cell.written = true;
    }
    appendCsvRecord(row, record);
    batch.addRow(row);
  }
  batch.finish();
}

// Refused before any key is asked for or any item read.
void checkOutputFile(const PasswordOptions& options) {
  if (options.outputFile.empty()) return;
  checkDestination(options.outputFile, options.overwrite);
}

void runPasswords(PasswordOperation operation, const PasswordOptions& options) {
  if (options.csvColumn && !options.items.empty()) {
    throw UsageError("--csv-column reads CSV from standard input; give no items");
  }
  checkOutputFile(options);
  // The key first, then the new key: the order their prompts come in.
  const orv::SecretText key =
      resolveKey(options.key, operation == PasswordOperation::Encrypt ? KeyUse::Encrypt : KeyUse::Decrypt);
  const orv::SecretText newKey =
      operation == PasswordOperation::Rekey ? resolveKey(options.newKey, KeyUse::Encrypt) : orv::SecretText();
  const RowFormat form = options.csvColumn ? RowFormat::Csv : options.form;  // a cell may hold line breaks
  BatchRun batch(operation, options, form, key, newKey);
  if (options.csvColumn) {
    runCsvColumn(batch, options);
    return;
  }
  if (!options.items.empty()) {
    for (std::size_t i = 0; i < options.items.size(); ++i) {
      const std::string where = "item " + std::to_string(i + 1);
      batch.run(where, [&] { return orv::SecretText(argumentText(options.items[i], where)); });
    }
    batch.finish();
    return;
  }
  // A person at the terminal types the one password, unseen and twice, rather than lines that
  // stay on the screen.
  if (operation == PasswordOperation::Encrypt && standardInputIsTerminal()) {
    batch.run("the password", [] { return readHiddenTwice("Password: ", "Password again: ", "the password"); });
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
      return orv::SecretText(
          textFromBytes(bytes, options.inputEncoding, where + " of standard input", "--input-encoding"));
    });
    orv::secureWipe(line);
  }
  if (std::cin.bad()) throw ToolError("cannot read standard input");
  batch.finish();
}

CLI::Option* addOutputOption(CLI::App& command, RowFormat& form) {
  const CLI::Validator word(
      [](std::string& value) -> std::string {
        const RowFormat chosen = value == "csv"     ? RowFormat::Csv
                                 : value == "jsonl" ? RowFormat::Jsonl
                                                    : RowFormat::Lines;
        if (chosen == RowFormat::Lines && value != "plain") return "'" + value + "' is not plain, csv or jsonl";
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

void addPasswordCommand(CLI::App& pwd, const std::string& name, PasswordOperation operation,
                        const std::string& description) {
  auto options = std::make_shared<PasswordOptions>();
  CLI::App* command = pwd.add_subcommand(name, description);
  addKeyOptions(*command, options->key);
  if (operation == PasswordOperation::Rekey) addKeyOptions(*command, options->newKey, "new-", "new key");
  addEncodingOption(*command, "--input-encoding", options->inputEncoding,
                    "How standard input's bytes are read: utf8 (default) or ansi, bytes in the ANSI code page");
  CLI::Option* output = addOutputOption(*command, options->form);
  command
      ->add_option("--csv-column", options->csvColumn,
                   "Read CSV (RFC 4180) from standard input and replace this column's cells, every other cell kept "
                   "as it was: a number from 1, or a name in the header row")
      ->excludes(output);
  CLI::Option* outputFile =
      command
          ->add_option("--output-file", options->outputFile,
                       "Write the results to this file, put in place only when complete (and with --keep-going "
                       "even when items failed); it may be the file standard input reads")
          ->transform(pathAsMeant());
  command->add_flag("--overwrite", options->overwrite, "Replace the --output-file when it exists")->needs(outputFile);
  command->add_flag("--keep-going", options->keepGoing,
                    "An item that fails leaves an empty row (null in jsonl) and its reason on standard error; the "
                    "batch goes on, and fails at the end");
  command->add_option("items", options->items,
                      "Texts to process; without any, each line of standard input (a blank line is the empty text)" +
                          std::string(operation == PasswordOperation::Encrypt
                                          ? ", or at a terminal one password typed unseen, twice"
                                          : ""));
  command->callback([options, operation] { runPasswords(operation, *options); });
}

}  // namespace
}  // namespace password_commands

void addPasswordCommands(CLI::App& app) {
  using namespace password_commands;
  CLI::App* pwd = commandGroup(
      app, "pwd", "Passwords to hexadecimal cipher text and back, as EnCrypt_Pwd/DeCrypt_Pwd, and from one key to another");
  addPasswordCommand(*pwd, "encrypt", PasswordOperation::Encrypt, "Encrypt each password, one cipher text a line");
  addPasswordCommand(*pwd, "decrypt", PasswordOperation::Decrypt,
                     "Decrypt each cipher text, one password a line; a wrong key is an error");
  addPasswordCommand(*pwd, "rekey", PasswordOperation::Rekey,
                     "Decrypt each cipher text with the key and encrypt it with the new key, one cipher text a line; "
                     "the password itself is never written");
}

}  // namespace orvacct
