#pragma once
// The key of the cipher commands: from an environment variable, a file or the command line.
#include <CLI/CLI.hpp>
#include <string>

#include "base/secret.h"
#include "input_text.h"

namespace orvacct {

struct KeyOptions {
  std::string text;
  std::string environmentVariable;
  std::string file;
  ByteEncoding encoding = ByteEncoding::Utf8;
  CLI::Option* textOption = nullptr;
  CLI::Option* environmentOption = nullptr;
  CLI::Option* fileOption = nullptr;
};

void addKeyOptions(CLI::App& command, KeyOptions& options);

// The key as the component takes it, wiped when it ends. A ToolError when none was given, it cannot be read, it is
// not UTF-8 (unless code-page bytes were asked for), the code page cannot carry it, or it is
// empty without having been given as --key "" (which only warns).
orv::SecretText resolveKey(const KeyOptions& options);

}  // namespace orvacct
