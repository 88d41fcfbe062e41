#include "log_reading/log_text.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "text/ansi_codepage.h"
#include "text/code_page.h"
#include "text/utf.h"

namespace orvacct::logs {
namespace {

void appendDigits(std::string& out, int value, int width) {
  char digits[12];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  for (auto length = static_cast<int>(end - digits); length < width; ++length) out += '0';
  out.append(digits, end);
}

bool isAscii(std::string_view text) {
  // Eight bytes at a time: every record's texts are asked this.
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::uint64_t seen = 0;
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, 8);
    seen |= word;
  }
  for (; at < text.size(); ++at) seen |= static_cast<unsigned char>(text[at]);
  return (seen & kHighBits) == 0;
}

}  // namespace

void appendDate(std::string& out, int days) {
  const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(days))};
  appendDigits(out, static_cast<int>(date.year()), 4);
  out += '-';
  appendDigits(out, static_cast<int>(static_cast<unsigned>(date.month())), 2);
  out += '-';
  appendDigits(out, static_cast<int>(static_cast<unsigned>(date.day())), 2);
}

std::string dateText(int days) {
  std::string text;
  appendDate(text, days);
  return text;
}

void appendMoment(std::string& out, const Moment& moment) {
  appendDate(out, moment.days);
  if (moment.second < 0) return;
  out += 'T';
  appendDigits(out, moment.second / 3600, 2);
  out += ':';
  appendDigits(out, moment.second / 60 % 60, 2);
  out += ':';
  appendDigits(out, moment.second % 60, 2);
}

std::string momentText(const Moment& moment) {
  std::string text;
  appendMoment(text, moment);
  return text;
}

void appendUtf8FromAnsi(std::string& out, std::string_view ansi, const orv::text::CodePage* codePage) {
  // Every ANSI code page agrees with ASCII, and most log text is ASCII.
  if (isAscii(ansi)) {
    out += ansi;
  } else {
    out += orv::text::toUtf8(codePage != nullptr ? codePage->toText(ansi) : orv::text::fromAnsi(ansi));
  }
}

std::string utf8FromAnsi(std::string_view ansi, const orv::text::CodePage* codePage) {
  std::string text;
  appendUtf8FromAnsi(text, ansi, codePage);
  return text;
}

void appendRecordText(std::string& out, std::string_view ansi, bool cut, const orv::text::CodePage* codePage) {
  appendUtf8FromAnsi(out, ansi, codePage);
  if (cut) out += "\xE2\x80\xA6";  // …
}

std::string_view utf8Prefix(std::string_view utf8, std::size_t most) {
  if (utf8.size() <= most) return utf8;
  while (most > 0 && (static_cast<unsigned char>(utf8[most]) & 0xC0) == 0x80) --most;
  return utf8.substr(0, most);
}

int weekStart(int days) {
  // Day 0 (1970-01-01) was a Thursday; ISO weeks begin on Monday.
  const int weekday = ((days + 3) % 7 + 7) % 7;  // 0 for Monday
  return days - weekday;
}

std::string weekText(int days) {
  // An ISO week belongs to the year of its Thursday.
  const int thursday = weekStart(days) + 3;
  const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(thursday))};
  const int firstOfYear = std::chrono::sys_days(date.year() / 1 / 1).time_since_epoch().count();
  const int week = (thursday - firstOfYear) / 7 + 1;
  std::string text;
  appendDigits(text, static_cast<int>(date.year()), 4);
  text += "-W";
  appendDigits(text, week, 2);
  return text;
}

int monthStart(int days) {
  const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(days))};
  return std::chrono::sys_days(date.year() / date.month() / 1).time_since_epoch().count();
}

std::string monthText(int days) { return dateText(days).substr(0, 7); }

void appendHtml(std::string& out, std::string_view utf8) {
  static constexpr std::pair<char, std::string_view> kEntities[] = {
      {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"},
      // A NUL from a client's string, which a browser would drop, shown as the terminal shows it.
      {'\0', "\\x00"}};
  for (const char c : utf8) {
    const auto* entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                      [c](const auto& candidate) { return candidate.first == c; });
    if (entity != std::end(kEntities)) {
      out += entity->second;
    } else {
      out += c;
    }
  }
}

std::string countText(std::uint64_t count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
  return digits;
}

}  // namespace orvacct::logs
