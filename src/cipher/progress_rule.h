#pragma once
// When a byte operation raises Progress and with which percent. Clients' progress bars were
// written against this exact sequence: the first block reports 0, then roughly one report per
// percent, and 100 after the last block.
#include <cstdint>
#include <functional>
#include <utility>

namespace orv::cipher {

using ProgressHandler = std::function<void(std::int32_t percent)>;

class ProgressRule {
 public:
  ProgressRule(std::uint64_t totalBytes, ProgressHandler handler) : total_(totalBytes), handler_(std::move(handler)) {}

  // The lowest block offset that will report.
  std::uint64_t nextReportOffset() const { return next_; }

  // Called after the block at this offset is done.
  void blockDone(std::uint64_t offset) {
    if (offset >= next_) report(offset);
  }

  void finish();

 private:
  void report(std::uint64_t offset);

  std::uint64_t total_;
  ProgressHandler handler_;
  std::int32_t lastPercent_ = 0;
  std::uint64_t next_ = 0;
};

}  // namespace orv::cipher
