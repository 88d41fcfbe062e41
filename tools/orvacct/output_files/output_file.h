#pragma once
// The results' file of a command that would otherwise write them to standard output: written
// aside, put in place by commit only, and made only when the first results come (after every
// prompt). An interruption leaves the old file as it was and no other.
#include <optional>
#include <string>
#include <string_view>

#include "platform/staged_file.h"

namespace orvacct {

class OutputFile {
 public:
  explicit OutputFile(std::string argument,
                      orv::platform::NewFileAccess access = orv::platform::NewFileAccess::OwnerOnly)
      : argument_(std::move(argument)), access_(access) {}

  // A ToolError naming the file when it cannot be written.
  void write(std::string_view bytes);
  // In place of the destination; an existing one only when mayReplace, else a ToolError.
  void commit(bool mayReplace);

 private:
  std::string argument_;
  orv::platform::NewFileAccess access_;
  std::optional<orv::platform::StagedFile> staged_;
};

}  // namespace orvacct
