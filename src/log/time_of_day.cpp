// The time of day in a Date line. The writer wrote the machine's short date and long time, so
// the date's form is anyone's guess (the file name has the date anyway); the time is the one run
// of H:MM:SS (or H.MM.SS) digits standing apart, with perhaps an AM or PM marker anywhere else.
// Digits, colons, dots and spaces are never the trail byte of a double-byte character, so the
// bytes can be scanned as they are in every ANSI code page.
#include <array>

#include "log/record_reader.h"
#include "text/ansi_codepage.h"

namespace orv::log {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Clock {
  std::size_t begin = 0, end = 0;  // the time's bytes
  int hour = 0, minute = 0, second = 0;
};

int twoDigits(std::string_view text, std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

// H:MM[:SS] or HH:MM[:SS] beginning at `at`, separated by `separator`, with no digit on either side.
std::optional<Clock> clockAt(std::string_view text, std::size_t at, char separator, bool secondsRequired) {
  if (at > 0 && (isDigit(text[at - 1]) || text[at - 1] == separator)) return std::nullopt;
  std::size_t i = at;
  int hour = 0;
  while (i < text.size() && isDigit(text[i]) && i - at < 2) hour = hour * 10 + (text[i++] - '0');
  if (i == at || i >= text.size() || text[i] != separator) return std::nullopt;
  const auto pair = [&](std::size_t from) {
    return from + 1 < text.size() && isDigit(text[from]) && isDigit(text[from + 1]);
  };
  if (!pair(i + 1)) return std::nullopt;
  Clock clock{at, i + 3, hour, twoDigits(text, i + 1), 0};
  if (clock.end < text.size() && text[clock.end] == separator && pair(clock.end + 1)) {
    clock.second = twoDigits(text, clock.end + 1);
    clock.end += 3;
  } else if (secondsRequired) {
    return std::nullopt;
  }
  if (clock.end < text.size() && (isDigit(text[clock.end]) || text[clock.end] == separator)) return std::nullopt;
  return clock;
}

std::optional<Clock> findClock(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (auto clock = clockAt(text, at, ':', false)) return clock;
  }
  // A few regional settings separate the time's parts by dots, as their dates are; three
  // parts then tell a time from a date such as 05.03.2002.
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (auto clock = clockAt(text, at, '.', true)) return clock;
  }
  return std::nullopt;
}

enum class Marker { None, Am, Pm, Unknown };

// The words of the Date line outside its time and its date's digits: "PM", "p.m.", "午後", ...
Marker markerIn(std::string_view before, std::string_view after) {
  std::u16string letters;
  for (const std::string_view part : {before, after}) {
    for (const char16_t c : text::fromAnsi(part)) {
      if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
        letters += static_cast<char16_t>(c | 0x20);
      } else if (c > 0x7F) {
        letters += c;
      }
    }
  }
  if (letters.empty()) return Marker::None;
  constexpr std::array<std::u16string_view, 4> am = {u"am", u"\u5348\u524D", u"\u4E0A\u5348", u"\uC624\uC804"};
  constexpr std::array<std::u16string_view, 4> pm = {u"pm", u"\u5348\u5F8C", u"\u4E0B\u5348", u"\uC624\uD6C4"};
  for (const auto word : am) {
    if (letters == word) return Marker::Am;
  }
  for (const auto word : pm) {
    if (letters == word) return Marker::Pm;
  }
  return Marker::Unknown;
}

bool asciiOnly(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) > 0x7F) return false;
  }
  return true;
}

// The fast way for the usual lines: ASCII letters only, read without converting.
Marker asciiMarker(std::string_view before, std::string_view after) {
  char letters[3];
  std::size_t count = 0;
  for (const std::string_view part : {before, after}) {
    for (const char c : part) {
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
        if (count == 2) return Marker::Unknown;
        letters[count++] = static_cast<char>(c | 0x20);
      }
    }
  }
  if (count == 0) return Marker::None;
  if (count == 2 && letters[1] == 'm' && (letters[0] == 'a' || letters[0] == 'p')) {
    return letters[0] == 'a' ? Marker::Am : Marker::Pm;
  }
  return Marker::Unknown;
}

}  // namespace

std::optional<int> secondOfDay(std::string_view dateText) {
  const std::optional<Clock> clock = findClock(dateText);
  if (!clock) return std::nullopt;
  const std::string_view before = dateText.substr(0, clock->begin), after = dateText.substr(clock->end);
  const Marker marker = asciiOnly(before) && asciiOnly(after) ? asciiMarker(before, after) : markerIn(before, after);
  int hour = clock->hour;
  if (marker == Marker::Unknown) return std::nullopt;  // 2:07 in the afternoon or at night: cannot tell
  if (marker != Marker::None && hour >= 1 && hour <= 12) hour = hour % 12 + (marker == Marker::Pm ? 12 : 0);
  if (hour > 23 || clock->minute > 59 || clock->second > 59) return std::nullopt;
  return (hour * 60 + clock->minute) * 60 + clock->second;
}

}  // namespace orv::log
