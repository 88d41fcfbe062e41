#include "input/input_bytes.h"

#include <cerrno>
#include <system_error>

#include "base/secure_wipe.h"
#include "input/input_text.h"
#include "output/standard_streams.h"
#include "output/tool_output.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvacct {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 16;

}  // namespace

InputBytes::InputBytes(const std::string& fileArgument)
    : name_(fileArgument.empty() ? "standard input" : fileArgument), buffer_(new char[kBufferSize]) {
  if (fileArgument.empty()) {
    binaryMode(stdin);
    return;
  }
  try {
    file_.emplace(orv::platform::ReadableFile::open(pathArgument(fileArgument)));
  } catch (const std::system_error& error) {
    throw ToolError("cannot read " + name_ + ": " + error.code().message());
  } catch (const orv::platform::NotARegularFile& kind) {
    throw ToolError("cannot read " + name_ + ": it is " + kind.what() + ", not a file");
  }
}

InputBytes::~InputBytes() { orv::secureWipe(buffer_.get(), kBufferSize); }

std::size_t InputBytes::readSome() {
  if (file_) {
    try {
      return file_->read(buffer_.get(), kBufferSize);
    } catch (const std::system_error& error) {
      throw ToolError("cannot read " + name_ + ": " + error.code().message());
    }
  }
  for (;;) {
#ifdef _WIN32
    const int got = _read(0, buffer_.get(), static_cast<unsigned>(kBufferSize));
#else
    const ssize_t got = ::read(STDIN_FILENO, buffer_.get(), kBufferSize);
#endif
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) throw ToolError("cannot read standard input");
  }
}

std::string_view InputBytes::available() {
  if (taken_ == filled_ && !ended_) {
    orv::secureWipe(buffer_.get(), filled_);
    taken_ = filled_ = 0;
    filled_ = readSome();
    ended_ = filled_ == 0;
  }
  return {buffer_.get() + taken_, filled_ - taken_};
}

InputBytes::Line InputBytes::nextLine(orv::SecretBytes& line, std::size_t longest) {
  line.clear();
  Line found = Line::None;
  for (std::string_view rest = available(); !rest.empty(); rest = available()) {
    if (found == Line::None) found = Line::Whole;
    const std::size_t end = rest.find('\n');
    const std::string_view part = rest.substr(0, end);
    if (found == Line::Whole && line.size() + part.size() <= longest) {
      line.append(part);
    } else {
      found = Line::TooLong;
      line.clear();
    }
    take(end == std::string_view::npos ? rest.size() : end + 1);
    if (end != std::string_view::npos) break;
  }
  return found;
}

void InputBytes::close() noexcept { file_.reset(); }

}  // namespace orvacct
