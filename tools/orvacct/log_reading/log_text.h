#pragma once
// The pieces of text the log commands write: record text from the ANSI code page as UTF-8,
// dates and times, and the quoting of HTML (JSON and CSV: output_quoting.h).
#include <cstdint>
#include <string>
#include <string_view>

#include "text/code_page.h"

namespace orvacct::logs {

// "YYYY-MM-DD" of a day number (orv::log::dayNumber).
void appendDate(std::string& out, int days);
std::string dateText(int days);

// When a record was written: the day from its file's name, the second of the day from its
// Date line (-1 when that cannot be read). Earlier moments compare less; an unknown time
// comes first in its day.
struct Moment {
  int days = 0;
  int second = -1;
  friend auto operator<=>(const Moment&, const Moment&) = default;
};

// How many records, and when the first and the last of them were written.
struct Seen {
  Moment first, last;
  std::uint64_t count = 0;

  void add(const Moment& moment) {
    if (count == 0 || moment < first) first = moment;
    if (count == 0 || last < moment) last = moment;
    ++count;
  }
  void merge(const Seen& other) {
    if (other.count == 0) return;
    if (count == 0 || other.first < first) first = other.first;
    if (count == 0 || last < other.last) last = other.last;
    count += other.count;
  }
};

// "YYYY-MM-DDTHH:MM:SS", or "YYYY-MM-DD" alone when the time is unknown.
void appendMoment(std::string& out, const Moment& moment);
std::string momentText(const Moment& moment);

// Bytes of a code page as UTF-8 (ASCII passes as it is); the system's ANSI code page when none
// is given.
void appendUtf8FromAnsi(std::string& out, std::string_view ansi, const orv::text::CodePage* codePage = nullptr);
std::string utf8FromAnsi(std::string_view ansi, const orv::text::CodePage* codePage = nullptr);

// A record's text as UTF-8, with an ellipsis where it was cut.
void appendRecordText(std::string& out, std::string_view ansi, bool cut, const orv::text::CodePage* codePage);

// The longest start of a UTF-8 text that has at most `most` bytes and ends at a character's edge.
std::string_view utf8Prefix(std::string_view utf8, std::size_t most);

// "YYYY-Www" (ISO 8601 week) and "YYYY-MM" of a day number, and the day number each begins on.
std::string weekText(int days);
int weekStart(int days);
std::string monthText(int days);
int monthStart(int days);

// Text for HTML element content and attribute values.
void appendHtml(std::string& out, std::string_view utf8);

// A count as a person reads it: "1,200,000".
std::string countText(std::uint64_t count);

}  // namespace orvacct::logs
