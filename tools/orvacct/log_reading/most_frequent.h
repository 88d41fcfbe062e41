#pragma once
// The text seen most often in a stream, in bounded memory: at most kSlots texts are counted, each
// kept up to kKept bytes, and a new one takes the place of the least counted, inheriting its
// count (Space-Saving, Metwally, Agrawal and El Abbadi, 2005). The answer is exact whenever it is
// more than 1/kSlots of the stream, as an error number's usual description is; among equals, the
// first seen. Texts are kept in the bytes of their code page, converted only when shown.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log_reading/text_hash.h"
#include "text/code_page.h"

namespace orvacct::logs {

class MostFrequent {
 public:
  static constexpr std::size_t kSlots = 8;
  static constexpr std::size_t kKept = std::size_t{4} << 10;

  struct Text {
    std::string bytes;
    const orv::text::CodePage* codePage = nullptr;
    bool cut = false;  // longer than kept
  };

  void add(std::string_view bytes, const orv::text::CodePage* codePage, bool cut = false) {
    const std::string_view kept = bytes.substr(0, kKept);
    cut = cut || bytes.size() > kKept;
    for (Slot& slot : slots_) {
      if (sameText(slot.text.bytes, kept) && slot.text.codePage == codePage && slot.text.cut == cut) {
        ++slot.count;
        return;
      }
    }
    if (slots_.size() < kSlots) {
      slots_.push_back({{std::string(kept), codePage, cut}, 1});
      return;
    }
    Slot* least = &slots_.front();
    for (Slot& slot : slots_) {
      if (slot.count < least->count) least = &slot;
    }
    least->text = {std::string(kept), codePage, cut};
    ++least->count;
  }

  // Empty when nothing was added.
  const Text& top() const {
    static const Text kNone;
    const Slot* best = nullptr;
    for (const Slot& slot : slots_) {
      if (best == nullptr || slot.count > best->count) best = &slot;
    }
    return best != nullptr ? best->text : kNone;
  }

 private:
  struct Slot {
    Text text;
    std::uint64_t count = 0;
  };
  std::vector<Slot> slots_;
};

}  // namespace orvacct::logs
