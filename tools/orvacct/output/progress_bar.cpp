#include "output/progress_bar.h"

#include <cstdio>

#include "output/tool_output.h"
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvacct {
bool stderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

orv::cipher::ProgressHandler progressBar(std::string label) {
  if (!stderrIsTerminal()) return {};
  return [label = std::move(label)](std::int32_t percent) {
    constexpr int kWidth = 40;
    const auto filled = static_cast<std::size_t>(percent * kWidth / 100);
    char figure[8];
    std::snprintf(figure, sizeof figure, "%3d%%", static_cast<int>(percent));
    showProgressLine(label + " [" + std::string(filled, '#') + std::string(kWidth - filled, '.') + "] " + figure);
    if (percent >= 100) keepProgressLine();
  };
}

}  // namespace orvacct
