#include "keys/key_options.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/secure_wipe.h"
#include "input/hidden_prompt.h"
#include "platform/unique_file.h"
#include "text/utf.h"
#include "output/tool_output.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace orvacct {
// This file's own, under its name: the command files are compiled as one.
namespace key_options {
namespace {

const std::string kEmptyKeyRisk =
    "an empty key encrypts with the cipher's public initial tables, which anyone can decrypt";

// "cannot read the key file PATH: REASON", the reason in the system's words.
[[noreturn]] void unreadableKeyFile(const std::string& path, const std::string& reason) {
  throw ToolError("cannot read the key file " + path + ": " + reason);
}

// Unbuffered, so the key lies in no buffer but its own.
orv::SecretBytes readKeyFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(pathArgument(path), error);
  if (error) unreadableKeyFile(path, error.message());
  if (std::filesystem::is_directory(status)) unreadableKeyFile(path, "it is a folder");
  errno = 0;
  const orv::platform::UniqueFile in = orv::platform::openFile(pathArgument(path), "rb");
  if (!in) unreadableKeyFile(path, errno != 0 ? std::generic_category().message(errno) : "cannot open it");
  std::setvbuf(in.get(), nullptr, _IONBF, 0);
  orv::SecretBytes key;
  constexpr std::size_t kPiece = 4096;
  for (std::size_t got = kPiece; got == kPiece;) {
    const std::size_t used = key.size();
    key.resize(used + kPiece);
    errno = 0;
    got = std::fread(key.data() + used, 1, kPiece, in.get());
    key.resize(used + got);
  }
  if (std::ferror(in.get()) != 0) {
    unreadableKeyFile(path, errno != 0 ? std::generic_category().message(errno) : "a read failed");
  }
  // An editor's final line break is not part of the key.
  if (!key.empty() && key.view().back() == '\n') key.resize(key.size() - 1);
  if (!key.empty() && key.view().back() == '\r') key.resize(key.size() - 1);
  return key;
}

// "Key: ", "New key again: ".
std::string promptText(const KeyOptions& options, bool again) {
  std::string text = options.name + (again ? " again: " : ": ");
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

// Windows keeps the environment as 16-bit text; elsewhere it is bytes.
orv::SecretText environmentKey(const KeyOptions& options) {
  const std::string what = "environment variable " + options.environmentVariable;
#ifdef _WIN32
  const std::u16string name = orv::text::fromUtf8(options.environmentVariable);
  const auto* wideName = reinterpret_cast<const wchar_t*>(name.c_str());
  SetLastError(ERROR_SUCCESS);
  const DWORD size = GetEnvironmentVariableW(wideName, nullptr, 0);
  if (size == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) throw ToolError(what + " is not set");
  orv::SecretText value;
  value.resize(size);
  const DWORD length =
      size == 0 ? 0 : GetEnvironmentVariableW(wideName, reinterpret_cast<wchar_t*>(value.data()), size);
  value.resize(length < size ? length : 0);
  return value;
#else
  const char* value = std::getenv(options.environmentVariable.c_str());
  if (value == nullptr) throw ToolError(what + " is not set");
  return orv::SecretText(textFromBytes(value, options.encoding, what, "--" + options.prefix + "key-encoding", true));
#endif
}

}  // namespace
}  // namespace key_options

void addKeyOptions(CLI::App& command, KeyOptions& options, const std::string& prefix, const std::string& name) {
  options.prefix = prefix;
  options.name = name;
  const std::string option = "--" + prefix + "key";
  options.environmentOption =
      command.add_option(option + "-env", options.environmentVariable, "Take the " + name + " from this environment variable");
  options.fileOption = command.add_option(option + "-file", options.file,
                                          "Take the " + name + " from this file: its content, less one trailing line break")
                           ->transform(pathAsMeant());
  options.textOption =
      command.add_option(option, options.text,
                         "The " + name + " itself (visible to other users in the process list; prefer " + option + "-env)");
  options.promptOption = command.add_flag(
      option + "-prompt", options.prompt,
      "Type the " + name + " at the terminal, the echo off (twice when it encrypts); the items may come from a file");
  CLI::Option* encoding = addEncodingOption(
      command, option + "-encoding", options.encoding,
      "How the " + name + " file's bytes (and, outside Windows, the variable's) are read: utf8 (default) or ansi, "
      "bytes in the ANSI code page");
  options.textOption->excludes(options.environmentOption)
      ->excludes(options.fileOption)
      ->excludes(options.promptOption)
      ->excludes(encoding);
  options.environmentOption->excludes(options.fileOption)->excludes(options.promptOption);
  options.fileOption->excludes(options.promptOption);
  options.promptOption->excludes(encoding);
}

orv::SecretText resolveKey(const KeyOptions& options, KeyUse use) {
  using namespace key_options;
  orv::SecretText key;
  std::string what;
  if (options.environmentOption->count() > 0) {
    what = "environment variable " + options.environmentVariable;
    key = environmentKey(options);
  } else if (options.fileOption->count() > 0) {
    what = "the key file " + options.file;
    const orv::SecretBytes bytes = readKeyFile(options.file);
    // A byte order mark is how some editors say UTF-8; it is not part of the key.
    const std::string_view bom = "\xEF\xBB\xBF";
    const std::string_view content = options.encoding == ByteEncoding::Utf8 && bytes.view().starts_with(bom)
                                         ? bytes.view().substr(bom.size())
                                         : bytes.view();
    key = orv::SecretText(
        textFromBytes(content, options.encoding, what, "--" + options.prefix + "key-encoding", true));
  } else if (options.promptOption->count() > 0) {
    what = "the prompt";
    key = use == KeyUse::Encrypt
              ? readHiddenTwice(promptText(options, false), promptText(options, true), "the " + options.name)
              : readHidden(promptText(options, false), "the " + options.name);
  } else if (options.textOption->count() > 0) {
    key = orv::SecretText(argumentText(options.text, "the " + options.name, true));
    // Given as such on the command line, an empty key is meant; anywhere else it is a mistake.
    if (key.empty()) warn("the " + options.name + " is empty: " + kEmptyKeyRisk);
  } else {
    const std::string option = "--" + options.prefix + "key";
    throw UsageError("no " + options.name + ": give " + option + "-env VAR, " + option + "-file PATH, " + option +
                     "-prompt or " + option + " TEXT");
  }
  if (key.empty() && !what.empty()) {
    const std::string empty = options.promptOption->count() > 0 ? "an empty " + options.name + " was typed"
                                                                : what + " holds an empty " + options.name;
    throw ToolError(empty + "; " + kEmptyKeyRisk + " (give --" + options.prefix + "key \"\" to mean that)");
  }
  requireRepresentableSecret(key.view(), "the " + options.name);
  return key;
}

void wipeKeyText(KeyOptions& options) noexcept {
  orv::secureWipe(options.text);
  if (options.textOption == nullptr) return;
  // The parser's own copy: the only way to it is the view it gives.
  for (const std::string& result : options.textOption->results()) orv::secureWipe(const_cast<std::string&>(result));
}

}  // namespace orvacct
