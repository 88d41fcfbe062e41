#pragma once
// Reading error records back, as real folders hold them: lines ended by CR LF or LF alone,
// descriptions written over several lines, records cut short by a failed write, records that
// lost a line, stray text between records, junk under a log's name. Text stays in the bytes of
// the ANSI code page it was written in; only what is shown needs converting.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/record_lines.h"

namespace orv::platform {
class ReadableFile;
}
namespace orv::text {
class CodePage;
}

namespace orv::log {

// How much of a record's text is kept: a description (all its lines together) or any other
// line longer than this is cut here, and the record still counts whole. Real descriptions are
// a few hundred bytes; this bounds what a damaged or hostile file can make the reader hold.
inline constexpr std::size_t kTextKept = std::size_t{64} << 10;

// A whole record. The views live until the reader is given its next line.
struct ReadRecord {
  std::uint64_t line = 0;  // the record's first line, counted from 1
  std::int32_t number = 0;
  std::string_view description;  // the lines of a description written over several joined by '\n'
  std::string_view module;
  std::string_view procedure;
  std::string_view version;  // as written: ".." when its parts were left out
  int secondOfDay = -1;      // from the Date line; -1 when it cannot be read
  std::uint8_t cutLines = 0;  // a bit (1 << line) for each line whose text was cut at kTextKept

  bool wasCut(RecordLine line) const { return (cutLines >> indexOf(line) & 1) != 0; }
};

enum class Damage {
  CutShort,        // a record ended before its last line: a failed write, the end of the file
  MissingLine,     // a record without one of its lines
  BadNumber,       // an Error Number that is not a signed 32-bit decimal
  UnexpectedLine,  // text inside a record that is none of its lines
  StrayLines,      // text between records
  NotText,         // a file that holds no record at all, only other text or bytes
};

struct ReadProblem {
  Damage kind = Damage::CutShort;
  std::uint64_t line = 0;   // the record's first line; the first stray line; 1 for a file of no record
  std::uint64_t at = 0;     // where it shows: the next record's line (CutShort; 0 at the end of
                            // the file) or the unexpected text's (UnexpectedLine)
  std::uint64_t count = 0;  // StrayLines: how many
  RecordLine missing = RecordLine::First;  // MissingLine: which of the eight lines

  // Whether a record was lost to it (stray lines and files of no record are not records).
  bool losesRecord() const { return kind != Damage::StrayLines && kind != Damage::NotText; }
};

// One line of text for a problem, without file or line: "record cut short by the end of the file".
std::string describe(const ReadProblem& problem);

class RecordSink {
 public:
  virtual void record(const ReadRecord& record) = 0;
  virtual void problem(const ReadProblem& problem) = 0;

 protected:
  ~RecordSink() = default;
};

// The time of day of a Date line's text, in seconds from midnight. The date and time follow the
// writing machine's regional settings ("3/5/2002 2:07:09 PM", "05.03.2002 14:07:09",
// "2002-03-05 14:07:09", "2002/03/05 午後 2:07:09"); only the time is read. -1 when there is
// no time, or a marker other than AM or PM (in English or East Asian forms) would change it.
// Text beyond ASCII is read in the code page given, the system's ANSI code page when none is.
int secondOfDay(std::string_view dateText, const text::CodePage* codePage = nullptr);

// A line too long to be kept whole: the reader is given its beginning, and told whether the
// whole line ended in a record's first line (what a failed write leaves before the next record).
struct LineCut {
  bool cut = false;
  bool endsWithFirstLine = false;
};

// The record format as a state machine over lines; a file's records and problems go to the sink
// in file order.
class RecordReader {
 public:
  // The file's text is in codePage (the system's ANSI code page when none is given).
  explicit RecordReader(RecordSink& sink, const text::CodePage* codePage = nullptr)
      : sink_(sink), codePage_(codePage) {}

  // The next line, without its LF (a CR before the LF is taken off here).
  void line(std::string_view text, LineCut cut = {});
  // The end of the file, with whatever follows its last line end: a record still open there,
  // or ending in such an unfinished line, was cut short.
  void finish(std::string_view tail = {}, LineCut cut = {});
  // A record as the writer writes it, its eight lines whole at the start of text, taken as line()
  // would take them one by one: the bytes taken, or 0 (nothing taken) when the text does not
  // begin with such a record. Its texts are read where they are: the text must stay as it is
  // until the next call, or until keepLentText().
  std::size_t wholeRecord(std::string_view text);
  // The bytes given to wholeRecord are about to change: what is still needed of them is copied.
  void keepLentText();

 private:
  void outside(std::string_view text, bool gluedFirstLine, bool cut);
  void inside(std::string_view text, bool gluedFirstLine, bool cut);
  void begin(bool withFirstLine);
  void take(RecordLine line, std::string_view value, bool cut);
  void keep(std::string& kept, RecordLine line, std::string_view value, bool cut);
  void damage(ReadProblem problem);
  void end();
  // Ends the open record as cut short; nextRecordLine is where the next begins, 0 at the end of the file.
  void cutShort(std::uint64_t nextRecordLine);
  void flushStrayLines();
  // A record's lines after its first line are held until its closing line, so that its fixed
  // lines are read from its end: label lines in a description are then the description's.
  void hold(std::string_view text, bool gluedFirstLine, bool cut);
  std::string_view heldLine(std::size_t index) const;
  bool heldEndsWithTail() const;
  // The lines held, read now as they came; those before descriptionUntil belong to the description.
  void readHeld(std::uint64_t descriptionUntil);
  void dispatch(std::string_view text, bool gluedFirstLine, bool cut);
  // A whole record is held until its span ends (the next first line or the end of the file):
  // a description may hold any line but the first line, so a later complete tail in the span,
  // not the first, is the record's own, and everything before it is the description's.
  void held(std::string_view text, bool gluedFirstLine, bool cut);
  bool continuesCandidate(std::string_view text);
  void dropCandidate();
  void addAfter(std::string_view text, std::uint64_t line);
  void supersede();
  void release();

  RecordSink& sink_;
  const text::CodePage* codePage_;
  std::uint64_t lineNumber_ = 0;
  RecordLine expected_ = RecordLine::First;  // the next of the record's lines; First between records
  std::optional<ReadProblem> damage_;
  std::uint64_t strayFrom_ = 0;
  std::uint64_t strayCount_ = 0;
  // The lines held since the record's first line (heldFrom_ is the line after it): texts one
  // after another, with where each ends and whether it was cut.
  bool collecting_ = false;
  std::uint64_t heldFrom_ = 0;
  std::string heldText_;
  struct HeldLine {
    std::size_t end;
    bool cut;
  };
  std::vector<HeldLine> heldLines_;
  std::uint64_t descriptionUntil_ = 0;
  bool anyRecord_ = false;  // whole or damaged: whether the file is an error log at all
  bool withFirstLine_ = false;
  // The held record: its tail (Error Number to Date) as written, and the text after its closing
  // line, each line after a '\n'; a later tail as far as it has come, and where it began.
  bool holding_ = false;
  std::array<std::string, 5> tail_, candidate_;
  std::size_t candidateLines_ = 0;
  std::uint64_t candidateFrom_ = 0;
  std::string after_;
  bool afterCut_ = false;
  ReadRecord record_;
  std::string description_, module_, procedure_, version_;
  // A record taken whole keeps its texts in the caller's bytes: its tail's lines, and its
  // description, module, procedure and version.
  bool lent_ = false;
  std::array<std::string_view, 5> lentTail_;
  std::array<std::string_view, 4> lentText_;
};

// Reads log files chunk by chunk through one buffer, whatever their size: lines are counted
// exactly however long they are, and no more than kTextKept of one is held.
class LogFileReader {
 public:
  LogFileReader();
  // Throws std::system_error when the file cannot be read.
  void read(platform::ReadableFile& file, RecordSink& sink, const text::CodePage* codePage = nullptr);

 private:
  std::vector<char> buffer_;
};

}  // namespace orv::log
