// The time of day in a Date line. The writer wrote the machine's short date and long time, so
// the date's form is anyone's guess (the file name has the date anyway); the time is the one run
// of H:MM:SS (or H.MM.SS) digits standing apart, with perhaps an AM or PM marker anywhere else.
// Digits, colons, dots and spaces are never the trail byte of a double-byte character, so the
// bytes can be scanned as they are in every ANSI code page.
#include <array>

#include "log/record_reader.h"
#include "text/ansi_codepage.h"
#include "text/code_page.h"

namespace orv::log {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Clock {
  std::size_t begin = 0, end = 0;  // the time's bytes
  int hour = 0, minute = 0, second = 0;
};

int twoDigits(std::string_view text, std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

// H:MM[:SS] or HH:MM[:SS] beginning at `at`, separated by `separator`, with no digit on either
// side. (A plain bool and an out-parameter: this runs for every record.)
bool clockAt(std::string_view text, std::size_t at, char separator, bool secondsRequired, Clock& clock) {
  if (at > 0 && (isDigit(text[at - 1]) || text[at - 1] == separator)) return false;
  std::size_t i = at;
  int hour = 0;
  while (i < text.size() && isDigit(text[i]) && i - at < 2) hour = hour * 10 + (text[i++] - '0');
  if (i == at || i >= text.size() || text[i] != separator) return false;
  const auto pair = [&](std::size_t from) {
    return from + 1 < text.size() && isDigit(text[from]) && isDigit(text[from + 1]);
  };
  if (!pair(i + 1)) return false;
  std::size_t end = i + 3;
  int second = 0;
  if (end < text.size() && text[end] == separator && pair(end + 1)) {
    second = twoDigits(text, end + 1);
    end += 3;
  } else if (secondsRequired) {
    return false;
  }
  if (end < text.size() && (isDigit(text[end]) || text[end] == separator)) return false;
  clock = Clock{at, end, hour, twoDigits(text, i + 1), second};
  return true;
}

bool findClock(std::string_view text, Clock& clock) {
  // Usually the first colon is the time's: tried alone before a search from the start.
  if (const std::size_t colon = text.find(':'); colon != std::string_view::npos && colon > 0) {
    const std::size_t hour = colon >= 2 && isDigit(text[colon - 2]) ? colon - 2 : colon - 1;
    if (clockAt(text, hour, ':', false, clock)) return true;
  }
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (clockAt(text, at, ':', false, clock)) return true;
  }
  // A few regional settings separate the time's parts by dots, as their dates are; three
  // parts then tell a time from a date such as 05.03.2002.
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (clockAt(text, at, '.', true, clock)) return true;
  }
  return false;
}

enum class Marker { None, Am, Pm, Unknown, BeyondAscii };

// The words of a Date line beyond ASCII outside its time: "午後", "오후", ...
Marker markerIn(std::string_view before, std::string_view after, const text::CodePage* codePage) {
  std::u16string letters;
  for (const std::string_view part : {before, after}) {
    for (const char16_t c : codePage != nullptr ? codePage->toText(part) : text::fromAnsi(part)) {
      if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
        letters += static_cast<char16_t>(c | 0x20);
      } else if (c > 0x7F) {
        letters += c;
      }
    }
  }
  constexpr std::array<std::u16string_view, 4> am = {u"am", u"\u5348\u524D", u"\u4E0A\u5348", u"\uC624\uC804"};
  constexpr std::array<std::u16string_view, 4> pm = {u"pm", u"\u5348\u5F8C", u"\u4E0B\u5348", u"\uC624\uD6C4"};
  for (const auto word : am) {
    if (letters == word) return Marker::Am;
  }
  for (const auto word : pm) {
    if (letters == word) return Marker::Pm;
  }
  return letters.empty() ? Marker::None : Marker::Unknown;
}

// The usual line, all ASCII, read without converting: "PM", "p.m." or no letters at all;
// BeyondAscii when the line needs converting first.
Marker asciiMarker(std::string_view text, const Clock& clock) {
  char letters[2] = {};
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == clock.begin) {
      i = clock.end - 1;
      continue;
    }
    const auto c = static_cast<unsigned char>(text[i]);
    if (c > 0x7F) return Marker::BeyondAscii;
    const auto lower = static_cast<char>(c | 0x20);
    if (lower >= 'a' && lower <= 'z' && count++ < 2) letters[count - 1] = lower;
  }
  if (count == 0) return Marker::None;
  if (count == 2 && letters[1] == 'm' && (letters[0] == 'a' || letters[0] == 'p')) {
    return letters[0] == 'a' ? Marker::Am : Marker::Pm;
  }
  return Marker::Unknown;
}

}  // namespace

int secondOfDay(std::string_view dateText, const text::CodePage* codePage) {
  Clock clock;
  if (!findClock(dateText, clock)) return -1;
  Marker marker = asciiMarker(dateText, clock);
  if (marker == Marker::BeyondAscii) {
    marker = markerIn(dateText.substr(0, clock.begin), dateText.substr(clock.end), codePage);
  }
  if (marker == Marker::Unknown) return -1;  // 2:07 in the afternoon or at night: cannot tell
  int hour = clock.hour;
  if (marker != Marker::None && hour >= 1 && hour <= 12) hour = hour % 12 + (marker == Marker::Pm ? 12 : 0);
  if (hour > 23 || clock.minute > 59 || clock.second > 59) return -1;
  return (hour * 60 + clock.minute) * 60 + clock.second;
}

}  // namespace orv::log
