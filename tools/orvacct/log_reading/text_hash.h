#pragma once
// Hashing for maps keyed by std::string that are searched with a string_view, so a record's
// text is looked up without being copied.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace orvacct::logs {

struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;

}  // namespace orvacct::logs
