#include "key_options.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "cipher/secure_wipe.h"
#include "text/utf.h"
#include "tool_output.h"

namespace orvacct {
namespace {

std::string readKeyFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError("cannot read the key file " + path);
  std::string key{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // An editor's final line break is not part of the key.
  if (!key.empty() && key.back() == '\n') key.pop_back();
  if (!key.empty() && key.back() == '\r') key.pop_back();
  return key;
}

}  // namespace

void addKeyOptions(CLI::App& command, KeyOptions& options) {
  options.environmentOption =
      command.add_option("--key-env", options.environmentVariable, "Take the key from this environment variable");
  options.fileOption = command.add_option(
      "--key-file", options.file, "Take the key from this file: its content, less one trailing line break");
  options.textOption = command.add_option(
      "--key", options.text, "The key itself (visible to other users in the process list; prefer --key-env)");
  options.textOption->excludes(options.environmentOption)->excludes(options.fileOption);
  options.environmentOption->excludes(options.fileOption);
}

std::u16string resolveKey(const KeyOptions& options) {
  std::string utf8;
  if (options.environmentOption->count() > 0) {
    const char* value = std::getenv(options.environmentVariable.c_str());
    if (value == nullptr) throw ToolError("environment variable " + options.environmentVariable + " is not set");
    utf8 = value;
  } else if (options.fileOption->count() > 0) {
    utf8 = readKeyFile(options.file);
  } else if (options.textOption->count() > 0) {
    utf8 = options.text;
  } else {
    throw ToolError("no key: give --key-env VAR, --key-file PATH or --key TEXT");
  }
  std::u16string key = orv::text::fromUtf8(utf8);
  orv::cipher::secureWipe(utf8);
  return key;
}

}  // namespace orvacct
