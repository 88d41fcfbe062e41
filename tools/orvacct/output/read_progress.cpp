#include "output/read_progress.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "output/progress_bar.h"
#include "output/tool_output.h"

namespace orvacct {
namespace {

using namespace std::chrono_literals;

std::string mebibytes(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

// How long before the line is first drawn: a second, so a quick read shows nothing. The tests
// at a terminal set it to none with ORVACCT_PROGRESS_AFTER_MS, to see every redrawing.
std::chrono::milliseconds firstDrawnAfter() {
  if (const char* given = std::getenv("ORVACCT_PROGRESS_AFTER_MS")) return std::chrono::milliseconds(std::atoi(given));
  return 1000ms;
}

}  // namespace

std::string readProgressText(const ReadFigures& figures, double seconds) {
  std::string text = "read " + std::to_string(figures.filesRead) + " of " + std::to_string(figures.filesFound) +
                     (figures.filesFound == 1 ? " file, " : " files, ") + mebibytes(figures.bytesRead) + " of " +
                     mebibytes(figures.bytesFound) + " MiB";
  if (figures.bytesRead == 0 || seconds <= 0) return text;
  const double rate = static_cast<double>(figures.bytesRead) / seconds;
  text += ", " + mebibytes(static_cast<std::uint64_t>(rate)) + " MiB/s";
  const double left = static_cast<double>(figures.bytesFound - std::min(figures.bytesFound, figures.bytesRead)) / rate;
  char estimate[48];
  if (left < 60) {
    std::snprintf(estimate, sizeof estimate, ", about %.0f s left", left);
  } else {
    std::snprintf(estimate, sizeof estimate, ", about %.0f min left", left / 60);
  }
  return text + estimate;
}

ReadProgressLine::ReadProgressLine(bool quiet) {
  if (quiet || !stderrIsTerminal()) return;
  const std::chrono::milliseconds after = firstDrawnAfter();
  due_ = start_ + after;
  every_ = std::min<Clock::duration>(after, 250ms);
  shown_ = true;
}

ReadProgressLine::~ReadProgressLine() { showProgressLine({}); }

void ReadProgressLine::found(std::uint64_t bytes) {
  ++figures_.filesFound;
  figures_.bytesFound += bytes;
  drawWhenDue();
}

void ReadProgressLine::read(std::uint64_t bytes) {
  ++figures_.filesRead;
  figures_.bytesRead += bytes;
  drawWhenDue();
}

void ReadProgressLine::finished() { showProgressLine({}); }

void ReadProgressLine::drawWhenDue() {
  const Clock::time_point now = Clock::now();
  if (now < due_) return;
  due_ = now + every_;
  showProgressLine(readProgressText(figures_, std::chrono::duration<double>(now - start_).count()));
}

}  // namespace orvacct
