#include "rows/output_quoting.h"

#include <cstdint>

namespace orvacct {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// The short escapes JSON and a terminal's text share; empty for any other character.
std::string_view controlEscape(char c) {
  if (c == '\n') return "\\n";
  if (c == '\r') return "\\r";
  if (c == '\t') return "\\t";
  return {};
}

void appendHexByte(std::string& out, unsigned char byte) {
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

// -?digits(.digits)?: what a spreadsheet reads as a number and nothing else.
bool isPlainNumber(std::string_view text) {
  if (text.starts_with('-')) text.remove_prefix(1);
  bool digits = false, point = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && digits && !point) {
      point = true;
      digits = false;
    } else {
      return false;
    }
  }
  return digits;
}

bool runsAsFormula(std::string_view text) {
  if (text.empty()) return false;
  switch (text.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
      return !isPlainNumber(text);
    default:
      return false;
  }
}

// The length of the UTF-8 sequence at the start of text, 0 when it is not one.
std::size_t sequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  std::uint32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

std::uint32_t codePointOf(std::string_view sequence) {
  std::uint32_t code = static_cast<unsigned char>(sequence[0]) & (0x7F >> sequence.size());
  for (std::size_t i = 1; i < sequence.size(); ++i) code = code << 6 | (static_cast<unsigned char>(sequence[i]) & 0x3F);
  return code;
}

// C1 controls, and the characters that reorder what follows them on the line.
bool isHiddenControl(std::uint32_t code) {
  return (code >= 0x80 && code <= 0x9F) || (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) ||
         code == 0x200E || code == 0x200F || code == 0x061C;
}

}  // namespace

void appendJsonString(std::string& out, std::string_view utf8) {
  out += '"';
  for (const char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (const std::string_view escape = controlEscape(c); !escape.empty()) {
      out += escape;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void appendCsvField(std::string& out, std::string_view utf8, bool alwaysQuoted, CsvCells cells) {
  const bool formula = cells == CsvCells::SpreadsheetSafe && runsAsFormula(utf8);
  if (!alwaysQuoted && !formula && utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += utf8;
    return;
  }
  out += '"';
  if (formula) out += '\'';
  for (const char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void appendTerminalSafe(std::string& out, std::string_view utf8) {
  while (!utf8.empty()) {
    const auto c = static_cast<unsigned char>(utf8.front());
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      utf8.remove_prefix(1);
      continue;
    }
    if (c < 0x80) {
      if (const std::string_view escape = controlEscape(static_cast<char>(c)); !escape.empty()) {
        out += escape;
      } else {
        appendHexByte(out, c);
      }
      utf8.remove_prefix(1);
      continue;
    }
    const std::size_t length = sequenceLength(utf8);
    if (length == 0) {
      appendHexByte(out, c);
      utf8.remove_prefix(1);
      continue;
    }
    const std::string_view sequence = utf8.substr(0, length);
    if (const std::uint32_t code = codePointOf(sequence); isHiddenControl(code)) {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
    } else {
      out += sequence;
    }
    utf8.remove_prefix(length);
  }
}

std::string terminalSafe(std::string_view utf8) {
  std::string out;
  appendTerminalSafe(out, utf8);
  return out;
}

}  // namespace orvacct
