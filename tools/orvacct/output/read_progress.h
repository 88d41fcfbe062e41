#pragma once
// The log commands' progress on a terminal: one line, after the first second, of the files and
// MiB read of those found so far, the rate, and an estimate of the time left. A long read over a
// network share then shows that it lives; a pipe or a file is told nothing.
#include <chrono>
#include <cstdint>
#include <string>

#include "log_reading/log_types.h"

namespace orvacct {

struct ReadFigures {
  std::uint64_t filesFound = 0, filesRead = 0;
  std::uint64_t bytesFound = 0, bytesRead = 0;
};

// "read 12 of 400 files, 8.1 of 262.0 MiB, 40.3 MiB/s, about 7 s left", seconds after the start;
// the rate and the time left once there is one to tell.
std::string readProgressText(const ReadFigures& figures, double seconds);

// The scans given it draw their progress (unless quiet, or standard error is no terminal); the
// line is cleared when a scan ends.
class ReadProgressLine final : public logs::ScanProgress {
 public:
  explicit ReadProgressLine(bool quiet);
  ~ReadProgressLine();
  ReadProgressLine(const ReadProgressLine&) = delete;
  ReadProgressLine& operator=(const ReadProgressLine&) = delete;

  // This, for a scan's settings; null when nothing is to be shown.
  logs::ScanProgress* shown() { return shown_ ? this : nullptr; }

  void found(std::uint64_t bytes) override;
  void read(std::uint64_t bytes) override;
  void finished() override;

 private:
  using Clock = std::chrono::steady_clock;
  void drawWhenDue();

  bool shown_ = false;
  ReadFigures figures_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point due_;
  Clock::duration every_;
};

}  // namespace orvacct
