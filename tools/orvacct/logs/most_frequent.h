#pragma once
// The text seen most often in a stream, in bounded memory: at most kSlots texts are counted,
// and a new one takes the place of the least counted, inheriting its count (Space-Saving,
// Metwally, Agrawal and El Abbadi, 2005). The answer is exact whenever it is more than
// 1/kSlots of the stream, as an error number's usual description is; among equals, the first seen.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvacct::logs {

class MostFrequent {
 public:
  static constexpr std::size_t kSlots = 16;

  void add(std::string_view text) {
    for (auto& [seen, count] : slots_) {
      if (seen == text) {
        ++count;
        return;
      }
    }
    if (slots_.size() < kSlots) {
      slots_.emplace_back(std::string(text), 1);
      return;
    }
    auto* least = &slots_.front();
    for (auto& slot : slots_) {
      if (slot.second < least->second) least = &slot;
    }
    least->first.assign(text);
    ++least->second;
  }

  std::string_view top() const {
    const std::pair<std::string, std::uint64_t>* best = nullptr;
    for (const auto& slot : slots_) {
      if (best == nullptr || slot.second > best->second) best = &slot;
    }
    return best != nullptr ? std::string_view(best->first) : std::string_view();
  }

 private:
  std::vector<std::pair<std::string, std::uint64_t>> slots_;
};

}  // namespace orvacct::logs
