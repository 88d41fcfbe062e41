// orvacct pwd encrypt|decrypt|rekey: passwords to hexadecimal cipher text and back, or cipher
// text from one key to another, one item a line, from the command line or standard input, or one
// column of CSV from standard input; a password to encrypt can be typed at the terminal. Output
// rows stay aligned with input rows: with --keep-going an item that fails leaves an empty row
// (or cell) and the batch goes on. Output to a file replaces it only once it is complete.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "base/secret.h"
#include "base/secure_wipe.h"
#include "commands/commands.h"
#include "passwords/csv_column.h"
#include "output_files/destination_check.h"
#include "input/hidden_prompt.h"
#include "input/input_bytes.h"
#include "input/input_text.h"
#include "keys/key_options.h"
#include "output_files/output_file.h"
#include "passwords/password_batch.h"
#include "rows/row_writer.h"
#include "text/ansi_codepage.h"
#include "text/utf.h"
#include "output/standard_streams.h"
#include "output/tool_output.h"

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
  bool noHeader = false;
  std::string inputFile;   // empty: standard input
  std::string outputFile;  // empty: standard output
  bool overwrite = false;
  std::vector<std::string> items;
  CLI::Option* itemsOption = nullptr;
};

// Keys and passwords given on the command line also lie in the options and the parser's own
// copies: all are wiped when the run ends, however it ends.
struct ArgumentsWiped {
  PasswordOptions& options;
  ~ArgumentsWiped() {
    wipeKeyText(options.key);
    wipeKeyText(options.newKey);
    for (std::string& item : options.items) orv::secureWipe(item);
    for (const std::string& result : options.itemsOption->results()) {
      orv::secureWipe(const_cast<std::string&>(result));
    }
  }
};

// Text as UTF-8 in a buffer that is wiped: the result may be a password.
orv::SecretBytes utf8Of(std::u16string_view text) { return orv::SecretBytes(orv::text::toUtf8(text)); }

// Results in the chosen form, one a line, to standard output or to an output file put in place
// when complete. Every cell is written exactly: these are data a program reads back, not a
// sheet for people.
class ResultWriter {
 public:
  ResultWriter(RowFormat form, const std::string& outputFile)
      : file_(outputFile.empty() ? std::nullopt : std::optional<OutputFile>(std::in_place, outputFile)),
        rows_(form, {""}, file_ ? RowWriter::Sink([this](std::string_view rows) { file_->write(rows); })
                                : RowWriter::Sink(writeOutput),
              CsvCells::Exact) {}

  void add(const orv::SecretText& text) {
    rows_.text(utf8Of(text.view()).view());
    rows_.endRow();
  }
  // The row of an item that failed: empty (null in JSON), never the same as an empty result.
  void addFailed() {
    rows_.null();
    rows_.endRow();
  }
  RowWriter& rows() noexcept { return rows_; }
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
        operation_(operation),
        out_(form, options.outputFile),
        keepGoing_(options.keepGoing),
        overwrite_(options.overwrite) {}

  // The result of one item; nothing when it failed and the batch goes on, the reason told.
  template <class Item>
  std::optional<orv::SecretText> attempt(const std::string& where, Item&& item) {
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
    if (const std::optional<orv::SecretText> result = attempt(where, std::forward<Item>(item))) {
      out_.add(*result);
    } else {
      out_.addFailed();
    }
  }

  PasswordOperation operation() const noexcept { return operation_; }
  bool keepGoing() const noexcept { return keepGoing_; }
  RowWriter& rows() noexcept { return out_.rows(); }

  // Without --keep-going a failure has ended the run before this, and an output file is not put
  // in place; with it, the file is, its failed rows empty.
  void finish() {
    out_.commit(overwrite_);
    if (failed_ > 0) throw ToolError(std::to_string(failed_) + " of " + std::to_string(items_) + " items failed");
  }

 private:
  PasswordBatch batch_;
  PasswordOperation operation_;
  ResultWriter out_;
  bool keepGoing_;
  bool overwrite_;
  std::size_t items_ = 0;
  std::size_t failed_ = 0;
};

// An item read from input as text; refused, without being read whole, when it is longer than
// any the batch takes.
orv::SecretText itemFromBytes(const BatchRun& batch, std::string_view bytes, bool tooLong, const std::string& where,
                              const InputBytes& in, const PasswordOptions& options) {
  if (tooLong) throw ToolError(where + ": " + tooLongItem(batch.operation()));
  return orv::SecretText(
      textFromBytes(bytes, options.inputEncoding, where + " of " + in.name(), "--input-encoding", true));
}

// The column's cell of each record replaced by its result (left empty when it failed), every other
// cell copied as it came; the first record is the header row, copied too, unless --no-header.
// Cells come in UTF-8, or in the ANSI code page, and go out in UTF-8.
void runCsvColumn(BatchRun& batch, InputBytes& in, const PasswordOptions& options) {
  CsvColumnHandler handler;
  handler.cell = [&](std::size_t line, const orv::SecretBytes& cell,
                     bool tooLong) -> std::optional<orv::SecretBytes> {
    const std::string where = "line " + std::to_string(line);
    const std::optional<orv::SecretText> result =
        batch.attempt(where, [&] { return itemFromBytes(batch, cell.view(), tooLong, where, in, options); });
    if (!result) return std::nullopt;
    return utf8Of(result->view());
  };
  handler.shortRecord = [&](std::size_t line, std::size_t column, std::size_t cells) {
    const std::string where = "line " + std::to_string(line);
    batch.attempt(where, [&]() -> orv::SecretText {
      throw ToolError(where + ": no column " + std::to_string(column + 1) + " (the row has " + std::to_string(cells) +
                      (cells == 1 ? " cell)" : " cells)") +
                      (batch.keepGoing() ? "; the row is written as it was" : ""));
    });
  };
  CsvColumnRewriter rewriter(CsvColumn(*options.csvColumn), !options.noHeader,
                             options.inputEncoding == ByteEncoding::Ansi, longestItem(batch.operation()), handler,
                             batch.rows());
  try {
    rewriter.run(in);
  } catch (...) {
    batch.rows().dropUnendedRow();
    throw;
  }
  in.close();
  batch.finish();
}

// Refused before any key is asked for or any item read.
void checkOutputFile(const PasswordOptions& options) {
  if (options.outputFile.empty()) return;
  checkDestination(options.outputFile, options.overwrite);
}

void runPasswords(PasswordOperation operation, PasswordOptions& options) {
  const ArgumentsWiped wiped{options};
  if (options.csvColumn && !options.items.empty()) {
    throw UsageError("--csv-column reads CSV from standard input or --input-file; give no items");
  }
  if (!options.inputFile.empty() && !options.items.empty()) {
    throw UsageError("--input-file names where the items are; give no items besides");
  }
  if (options.noHeader && CsvColumn(*options.csvColumn).named()) {
    throw UsageError("--no-header: a column named " + *options.csvColumn +
                     " is found in the header row; give the column's number instead");
  }
  checkOutputFile(options);
  // An input file that cannot be read is told before any key is asked for.
  std::optional<InputBytes> in;
  if (!options.inputFile.empty()) in.emplace(options.inputFile);
  // The key first, then the new key: the order their prompts come in. Given on the command
  // line, neither stays there once it is resolved.
  const orv::SecretText key =
      resolveKey(options.key, operation == PasswordOperation::Encrypt ? KeyUse::Encrypt : KeyUse::Decrypt);
  wipeKeyText(options.key);
  const orv::SecretText newKey =
      operation == PasswordOperation::Rekey ? resolveKey(options.newKey, KeyUse::Encrypt) : orv::SecretText();
  wipeKeyText(options.newKey);
  // Rows go out from the row writer's buffer, which is wiped, and through no other.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  binaryMode(stdout);
  const RowFormat form = options.csvColumn ? RowFormat::Csv : options.form;  // a cell may hold line breaks
  BatchRun batch(operation, options, form, key, newKey);
  if (!options.items.empty()) {
    for (std::size_t i = 0; i < options.items.size(); ++i) {
      const std::string where = "item " + std::to_string(i + 1);
      batch.run(where, [&] { return orv::SecretText(argumentText(options.items[i], where, true)); });
    }
    batch.finish();
    return;
  }
  // A person at the terminal types the one password, unseen and twice, rather than lines that
  // stay on the screen.
  if (operation == PasswordOperation::Encrypt && options.inputFile.empty() && !options.csvColumn &&
      standardInputIsTerminal()) {
    batch.run("the password", [] { return readHiddenTwice("Password: ", "Password again: ", "the password"); });
    batch.finish();
    return;
  }
  if (!in) in.emplace(options.inputFile);
  if (options.csvColumn) {
    runCsvColumn(batch, *in, options);
    return;
  }
  orv::SecretBytes line;
  for (std::size_t number = 1;; ++number) {
    const InputBytes::Line read = in->nextLine(line, longestItem(operation) + 1);  // and its CR
    if (read == InputBytes::Line::None) break;
    if (!line.empty() && line.view().back() == '\r') line.resize(line.size() - 1);
    std::string_view bytes = line.view();
    if (number == 1 && options.inputEncoding == ByteEncoding::Utf8 && bytes.starts_with("\xEF\xBB\xBF")) {
      bytes.remove_prefix(3);  // an editor's byte order mark
    }
    const std::string where = "line " + std::to_string(number);
    const bool tooLong = read == InputBytes::Line::TooLong || bytes.size() > longestItem(operation);
    batch.run(where, [&] { return itemFromBytes(batch, bytes, tooLong, where, *in, options); });
  }
  in->close();
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
  CLI::Option* csvColumn =
      command
          ->add_option("--csv-column", options->csvColumn,
                       "Read CSV (RFC 4180) and replace this column's cells, every other cell kept as it was: a "
                       "number from 1, or a name in the header row")
          ->excludes(output);
  command
      ->add_flag("--no-header", options->noHeader,
                 "With --csv-column N: the first row is data too (by default it is a header row, written back as "
                 "it came)")
      ->needs(csvColumn);
  command
      ->add_option("--input-file", options->inputFile,
                   "Read the items (or the CSV) from this file instead of standard input; it may be the "
                   "--output-file, which replaces it when complete")
      ->transform(pathAsMeant());
  CLI::Option* outputFile =
      command
          ->add_option("--output-file", options->outputFile,
                       "Write the results to this file, put in place only when complete (and with --keep-going "
                       "even when items failed); it may be the --input-file")
          ->transform(pathAsMeant());
  command->add_flag("--overwrite", options->overwrite, "Replace the --output-file when it exists")->needs(outputFile);
  command->add_flag("--keep-going", options->keepGoing,
                    "An item that fails leaves an empty row (null in jsonl) and its reason on standard error; the "
                    "batch goes on, and fails at the end");
  options->itemsOption = command->add_option("items", options->items,
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
