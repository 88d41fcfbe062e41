#pragma once
// The pieces of text the log commands write: record text from the ANSI code page as UTF-8,
// dates and times, and the quoting of HTML (JSON and CSV: output_quoting.h).
#include <cstdint>
#include <string>
#include <string_view>

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
};

// "YYYY-MM-DDTHH:MM:SS", or "YYYY-MM-DD" alone when the time is unknown.
void appendMoment(std::string& out, const Moment& moment);
std::string momentText(const Moment& moment);

// Bytes of the ANSI code page as UTF-8 (ASCII passes as it is).
void appendUtf8FromAnsi(std::string& out, std::string_view ansi);
std::string utf8FromAnsi(std::string_view ansi);

// Text for HTML element content and attribute values.
void appendHtml(std::string& out, std::string_view utf8);

}  // namespace orvacct::logs
