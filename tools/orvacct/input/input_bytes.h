#pragma once
// Where pwd reads its items or its CSV: standard input, or the file --input-file names. Read
// straight from the descriptor (no C stream or std::cin keeping a copy) into one buffer that is
// wiped each time it is refilled and at the end: the bytes may be passwords. The file is opened
// with delete sharing on Windows and closed before the output replaces it, so it may be the
// very file the output replaces.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/secret.h"
#include "platform/readable_file.h"

namespace orvacct {

class InputBytes {
 public:
  // An empty argument reads standard input. A ToolError, naming the file, when it cannot be opened.
  explicit InputBytes(const std::string& fileArgument);
  ~InputBytes();
  InputBytes(const InputBytes&) = delete;
  InputBytes& operator=(const InputBytes&) = delete;

  // The bytes not yet taken, refilled when all were; empty at the end. A ToolError when the
  // input cannot be read (standard input the tool was started without, too).
  std::string_view available();
  void take(std::size_t count) noexcept { taken_ += count; }

  enum class Line { None, Whole, TooLong };
  // The next line without its line feed; past `longest` bytes the rest of it is read and dropped.
  Line nextLine(orv::SecretBytes& line, std::size_t longest);

  // "standard input", or the file as it was named.
  const std::string& name() const noexcept { return name_; }

  // Done with the file, so it can be replaced.
  void close() noexcept;

 private:
  std::size_t readSome();

  std::string name_;
  std::optional<orv::platform::ReadableFile> file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t filled_ = 0;
  std::size_t taken_ = 0;
  bool ended_ = false;  // a terminal's end (Ctrl+D) is not asked for twice
};

}  // namespace orvacct
