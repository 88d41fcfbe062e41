#include "progress_bar.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvacct {
namespace {

bool stderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

orv::cipher::ProgressHandler progressBar(std::string label) {
  if (!stderrIsTerminal()) return {};
  return [label = std::move(label)](std::int32_t percent) {
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", label.c_str(), std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), static_cast<int>(percent));
    if (percent >= 100) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

}  // namespace orvacct
