#pragma once
// The key of the cipher commands: from an environment variable, a file, the command line or a
// prompt at the terminal.
#include <CLI/CLI.hpp>
#include <string>

#include "base/secret.h"
#include "input/input_text.h"

namespace orvacct {

struct KeyOptions {
  std::string name = "key";  // as messages and prompts call it
  std::string prefix;        // of the options' names: "new-" gives --new-key-env ...
  std::string text;
  std::string environmentVariable;
  std::string file;
  bool prompt = false;
  ByteEncoding encoding = ByteEncoding::Utf8;
  CLI::Option* textOption = nullptr;
  CLI::Option* environmentOption = nullptr;
  CLI::Option* fileOption = nullptr;
  CLI::Option* promptOption = nullptr;
};

// --key-env, --key-file, --key, --key-prompt and --key-encoding; with a prefix and a name, the
// same options of another key (pwd rekey's --new-key-env ... of the "new key").
void addKeyOptions(CLI::App& command, KeyOptions& options, const std::string& prefix = "",
                   const std::string& name = "key");

// What the key is for: a key that encrypts is typed twice at the prompt, since a mistyped one
// would make cipher text nobody can read; one that decrypts once, as a wrong one shows at once.
enum class KeyUse { Decrypt, Encrypt };

// The key as the component takes it, wiped when it ends. A ToolError when none was given, it
// cannot be read, it is not UTF-8 (unless code-page bytes were asked for), the code page cannot
// carry it, or it is empty without having been given as --key "" (which only warns).
orv::SecretText resolveKey(const KeyOptions& options, KeyUse use = KeyUse::Decrypt);

// A key given as --key TEXT, wiped from the options and from the parser's copy once resolved.
void wipeKeyText(KeyOptions& options) noexcept;

}  // namespace orvacct
