#pragma once
// What one log file gave a reading, kept so that a later run can give the same again without
// reading the file: its records and damage in the order they came, each record's texts once per
// file however often they recur. Given again, they reach the consumers as a reading would give
// them, so every figure, filter, key and order-dependent choice comes out as it did.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "log/record_reader.h"

namespace orvacct::logs {

class ByteReader;

// A record's number, cut lines and texts as the state holds them: its number, its cut lines, its
// texts after their lengths.
void putBody(std::string& out, const orv::log::ReadRecord& record);
// The body `in` is at, its texts views into in's bytes; its line and time of day still to be
// given. Throws StateDamaged.
orv::log::ReadRecord takeBody(ByteReader& in);

struct Contribution {
  // Each record's body once, one after the other; kept as they are written, so a state's
  // bodies take no more memory than its bytes, and read as their events are given.
  std::string bodies;
  std::vector<std::size_t> bodyAt;  // where each begins
  std::string events;  // encoded one after the other
  std::uint64_t eventCount = 0;
};

// The record of the body `index`, its texts views into the contribution.
orv::log::ReadRecord bodyRecord(const Contribution& contribution, std::size_t index);

// Where an encoding or decoding of events is: each event is told from the one before.
struct EventCursor {
  std::uint64_t events = 0;  // before it
  std::size_t at = 0;        // in Contribution::events
  std::uint64_t line = 0;
  std::int64_t second = -1;
};

// A contribution's events one by one, from a cursor. Throws StateDamaged on bytes that are not
// events of it (a hostile or damaged state is refused, never followed).
class EventDecoder {
 public:
  explicit EventDecoder(const Contribution& contribution, EventCursor from = {})
      : contribution_(contribution), cursor_(from) {}
  // The next event to the sink; false at the end.
  bool next(orv::log::RecordSink& sink) { return decode(&sink); }
  // The next event checked and passed over; false at the end.
  bool skip() { return decode(nullptr); }
  const EventCursor& cursor() const { return cursor_; }

 private:
  // Records of the first bodies, once each: most events are of a few bodies.
  static constexpr std::size_t kBodiesKept = 4096;

  bool decode(orv::log::RecordSink* sink);

  const Contribution& contribution_;
  EventCursor cursor_;
  std::vector<orv::log::ReadRecord> bodies_;
};

// Passes on what a reading gives, its line numbers moved by lineShift (a reading from the middle
// of a file counts from 1), and keeps it in the contribution after what it holds up to `from`.
class ContributionRecorder final : public orv::log::RecordSink {
 public:
  static constexpr std::size_t kCursorsKept = 64;

  ContributionRecorder(Contribution& into, EventCursor from, orv::log::RecordSink& next, std::uint64_t lineShift = 0);
  void record(const orv::log::ReadRecord& record) override;
  void problem(const orv::log::ReadProblem& problem) override;
  // The cursor before each of the last kCursorsKept events, the latest last.
  const std::vector<EventCursor>& lastCursors() const { return cursors_; }

 private:
  void mark();

  Contribution& into_;
  EventCursor cursor_;
  orv::log::RecordSink& next_;
  std::uint64_t lineShift_;
  std::unordered_map<std::string, std::uint32_t> bodyIndex_;
  std::string key_;
  std::vector<EventCursor> cursors_;
};

}  // namespace orvacct::logs
