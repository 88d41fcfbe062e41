#include "text/windows_code_page_additions.h"

#include <algorithm>

namespace orv::text {
namespace {

#include "text/windows_code_page_additions.inc"

bool runHoldsCode(const CodePageRun& run, std::uint16_t code) {
  return code >= run.code && code - run.code < run.count;
}

}  // namespace

std::optional<CodePageAdditions> windowsCodePageAdditions(int codePage) {
  switch (codePage) {
    case 932:
      return CodePageAdditions{kAdditions932};
    case 936:
      return CodePageAdditions{kAdditions936};
    case 949:
      return CodePageAdditions{kAdditions949};
    case 950:
      return CodePageAdditions{kAdditions950};
    default:
      return std::nullopt;
  }
}

std::optional<std::uint16_t> additionCode(const CodePageAdditions& additions, char16_t character) {
  // The last run that starts at or before the character.
  const auto after = std::upper_bound(additions.runs.begin(), additions.runs.end(), character,
                                      [](char16_t c, const CodePageRun& run) { return c < run.first; });
  if (after == additions.runs.begin()) return std::nullopt;
  const CodePageRun& run = *(after - 1);
  if (character - run.first >= run.count) return std::nullopt;
  return static_cast<std::uint16_t>(run.code + (character - run.first));
}

std::optional<char16_t> additionCharacter(const CodePageAdditions& additions, std::uint16_t code) {
  // Few runs, and asked only for bytes iconv could not read.
  for (const CodePageRun& run : additions.runs) {
    if (runHoldsCode(run, code)) return static_cast<char16_t>(run.first + (code - run.code));
  }
  return std::nullopt;
}

}  // namespace orv::text
