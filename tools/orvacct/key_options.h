#pragma once
// The key of the cipher commands: from an environment variable, a file or the command line.
#include <CLI/CLI.hpp>
#include <string>

namespace orvacct {

struct KeyOptions {
  std::string text;
  std::string environmentVariable;
  std::string file;
  CLI::Option* textOption = nullptr;
  CLI::Option* environmentOption = nullptr;
  CLI::Option* fileOption = nullptr;
};

void addKeyOptions(CLI::App& command, KeyOptions& options);

// The key as the component takes it; a ToolError when none was given or it cannot be read.
std::u16string resolveKey(const KeyOptions& options);

}  // namespace orvacct
