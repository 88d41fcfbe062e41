#pragma once
// What Windows' double-byte code pages map beyond iconv's tables of the same name: the
// user-defined character areas (private use characters), the single bytes 0x80 and 0xA0, 0xFD
// to 0xFF, and in code page 950 four box-drawing characters Windows writes with other bytes.
// Generated from Windows' own conversion (tools/codepages/); see windows_code_page_additions.inc.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orv::text {

// `count` consecutive characters from `first` stand for consecutive byte codes from `code`
// (one byte when below 0x100, else lead byte then trail byte).
struct CodePageRun {
  char16_t first;
  std::uint16_t code;
  std::uint16_t count;
};

struct CodePageAdditions {
  // Sorted by character. Where iconv encodes one of these characters differently, these
  // bytes are Windows' and win.
  std::span<const CodePageRun> runs;
};

// The additions of a Windows code page (932, 936, 949, 950); none for others.
std::optional<CodePageAdditions> windowsCodePageAdditions(int codePage);

// The byte code of a character in the additions, or none.
std::optional<std::uint16_t> additionCode(const CodePageAdditions& additions, char16_t character);

// The character of a byte code in the additions, or none.
std::optional<char16_t> additionCharacter(const CodePageAdditions& additions, std::uint16_t code);

}  // namespace orv::text
