// orvacct file encrypt|decrypt: whole files, streamed. "-" is standard input or output, as with
// openssl enc: input that cannot be measured (standard input, a pipe) is first copied aside;
// output to a pipe is written as it comes (decryption checks the size descriptor first).
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "cipher/clsBlowfish.h"
#include "keys/cipher_direction.h"
#include "commands/commands.h"
#include "output_files/destination_check.h"
#include "input/input_text.h"
#include "output_files/interrupt_cleanup.h"
#include "keys/key_options.h"
#include "platform/unique_file.h"
#include "output/progress_bar.h"
#include "input/temporary_copy.h"
#include "output/standard_streams.h"
#include "output/tool_output.h"

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace file_commands {
namespace {

namespace fs = std::filesystem;
using orv::cipher::clsBlowfish;
using orv::cipher::FileOutcome;


struct FileOptions {
  KeyOptions key;
  bool overwrite = false;
  std::string source;
  std::string destination;
};

constexpr const char* kStandardStream = "-";

// Standard input, and anything else that is not a plain file (a pipe, a process substitution).
bool mustCopyAside(const std::string& source) {
  if (source == kStandardStream) return true;
  std::error_code error;
  const fs::file_status status = fs::status(pathArgument(source), error);
  return !error && fs::exists(status) && !fs::is_regular_file(status);
}

// Standard input stays open; a named source is closed however the copy ends.
void copyAside(const std::string& source, std::optional<TemporaryCopy>& copy) {
  if (source == kStandardStream) {
    binaryMode(stdin);
    copy.emplace(stdin, "standard input");
    return;
  }
  const orv::platform::UniqueFile in = orv::platform::openFile(pathArgument(source), "rb");
  if (!in) throw ToolError("cannot read " + source + ": " + std::generic_category().message(errno));
  copy.emplace(in.get(), source);
}

std::string describe(const orv::cipher::FileResult& result, const FileOptions& options) {
  const std::string source = options.source == kStandardStream ? "standard input" : options.source;
  const std::string destination = options.destination == kStandardStream ? "standard output" : options.destination;
  switch (result.outcome) {
    case FileOutcome::SourceMissing:
      return "cannot read " + source + ": " + result.detail;
    case FileOutcome::DestinationExists:
      return destination + " exists; give --overwrite to replace it";
    case FileOutcome::SourceTooLarge:
      return source + " is too large (the size descriptor holds at most 2147483628 bytes)";
    case FileOutcome::BadCipherData:
      return source + ": wrong key or damaged file (size descriptor out of range); " + destination + " not written";
    case FileOutcome::Failed:
    case FileOutcome::Written:
      break;
  }
  return "cannot write " + destination + ": " + result.detail;
}

void runFile(Direction direction, FileOptions& options) {
  const bool toStandardOutput = options.destination == kStandardStream;
  if (!toStandardOutput) checkDestination(options.destination, options.overwrite);
  clsBlowfish cipher;
  const orv::SecretText key = resolveKey(options.key, direction == Direction::Encrypt ? KeyUse::Encrypt : KeyUse::Decrypt);
  wipeKeyText(options.key);
  orv::cipher::FileJob job{pathArgument(options.source), pathArgument(options.destination), options.overwrite};
  job.temporaryNames = removeTemporaryOnInterrupt();

  std::optional<TemporaryCopy> copy;
  if (mustCopyAside(options.source)) {
    copyAside(options.source, copy);
    job.sourceFile = copy->file();
  }
  if (toStandardOutput) {
    binaryMode(stdout);
    job.sink = [](std::span<const std::uint8_t> bytes) {
      writeOutput({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    };
  }

  const orv::cipher::ProgressHandler bar = progressBar(direction == Direction::Encrypt ? "encrypting" : "decrypting");
  cipher.onProgress(bar);
  const orv::cipher::FileResult result =
      direction == Direction::Encrypt ? cipher.encryptFileWithResult(job, key.str())
                                      : cipher.decryptFileWithResult(job, key.str());
  if (result.outcome == FileOutcome::Written) return;
  if (bar) std::fputc('\n', stderr);
  throw ToolError(describe(result, options));
}

void addFileCommand(CLI::App& file, const std::string& name, Direction direction, const std::string& description) {
  auto options = std::make_shared<FileOptions>();
  CLI::App* command = file.add_subcommand(name, description);
  addKeyOptions(*command, options->key);
  command->add_flag("--overwrite", options->overwrite, "Replace OUT when it exists, keeping its permissions");
  command->add_option("IN", options->source, "Source file; - for standard input")->required()->transform(pathAsMeant());
  command
      ->add_option("OUT", options->destination,
                   "Destination file (may be IN itself with --overwrite), - for standard output; outside Windows a "
                   "new file is private (0600)")
      ->required()
      ->transform(pathAsMeant());
  command->callback([options, direction] { runFile(direction, *options); });
}

}  // namespace
}  // namespace file_commands

void addFileCommands(CLI::App& app) {
  using namespace file_commands;
  CLI::App* file = commandGroup(app, "file", "Encrypt or decrypt a whole file");
  addFileCommand(*file, "encrypt", Direction::Encrypt, "Encrypt IN into OUT");
  addFileCommand(*file, "decrypt", Direction::Decrypt, "Decrypt IN into OUT; a wrong key leaves OUT untouched");
}

}  // namespace orvacct
