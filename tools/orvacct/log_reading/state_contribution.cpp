// An event is its tag (a record's body index, or a problem's kind, with the low bit telling
// which) and then its line as a step from the event before; a record adds its time of day the
// same way, a problem what else it says. Records of a log come in order of line and, mostly, of
// time, so most events take three or four bytes.
#include "log_reading/state_contribution.h"

#include "log_reading/state_bytes.h"

namespace orvacct::logs {
namespace {

using orv::log::ReadProblem;
using orv::log::ReadRecord;

// Past a day and a leap second: no time of day the reader gives.
constexpr std::int64_t kLatestSecond = 2 * 86400;

}  // namespace

void putBody(std::string& out, const ReadRecord& record) {
  putSigned(out, record.number);
  out += static_cast<char>(record.cutLines);
  putText(out, record.description);
  putText(out, record.module);
  putText(out, record.procedure);
  putText(out, record.version);
}

ReadRecord takeBody(ByteReader& in) {
  ReadRecord record;
  const std::int64_t number = in.signedNumber();
  if (number < INT32_MIN || number > INT32_MAX) throw StateDamaged("an error number out of range");
  record.number = static_cast<std::int32_t>(number);
  record.cutLines = static_cast<std::uint8_t>(in.take(1)[0]);
  record.description = in.text();
  record.module = in.text();
  record.procedure = in.text();
  record.version = in.text();
  return record;
}

ReadRecord bodyRecord(const Contribution& contribution, std::size_t index) {
  ByteReader in(std::string_view(contribution.bodies).substr(contribution.bodyAt[index]));
  return takeBody(in);
}

bool EventDecoder::decode(orv::log::RecordSink* sink) {
  if (cursor_.events == contribution_.eventCount) return false;
  const std::string& events = contribution_.events;
  ByteReader in(std::string_view(events.data() + cursor_.at, events.size() - cursor_.at));
  const std::uint64_t tag = in.number();
  const std::uint64_t line = cursor_.line + static_cast<std::uint64_t>(in.signedNumber());
  if ((tag & 1) == 0) {
    const std::uint64_t index = tag >> 1;
    if (index >= contribution_.bodyAt.size()) throw StateDamaged("a record of no known text");
    const std::int64_t second = cursor_.second + in.signedNumber();
    if (second < -1 || second >= kLatestSecond) throw StateDamaged("a time of day out of range");
    cursor_.second = second;
    if (sink != nullptr) {
      // Bodies are numbered as they first come, so they are kept in that order.
      const auto body = static_cast<std::size_t>(index);
      while (bodies_.size() <= body && bodies_.size() < kBodiesKept) {
        bodies_.push_back(bodyRecord(contribution_, bodies_.size()));
      }
      ReadRecord record = body < bodies_.size() ? bodies_[body] : bodyRecord(contribution_, body);
      record.line = line;
      record.secondOfDay = static_cast<int>(second);
      sink->record(record);
    }
  } else {
    ReadProblem problem;
    const std::uint64_t kind = tag >> 1;
    problem.line = line;
    problem.at = in.number();
    problem.count = in.number();
    const std::uint64_t missing = in.number();
    if (kind > static_cast<std::uint64_t>(orv::log::Damage::NotText) || missing > orv::log::indexOf(orv::log::RecordLine::Closing)) {
      throw StateDamaged("a problem of no known kind");
    }
    problem.kind = static_cast<orv::log::Damage>(kind);
    problem.missing = static_cast<orv::log::RecordLine>(missing);
    if (sink != nullptr) sink->problem(problem);
  }
  cursor_.line = line;
  cursor_.at += in.at();
  ++cursor_.events;
  return true;
}

ContributionRecorder::ContributionRecorder(Contribution& into, EventCursor from, orv::log::RecordSink& next,
                                           std::uint64_t lineShift)
    : into_(into), cursor_(from), next_(next), lineShift_(lineShift) {
  into_.events.resize(from.at);
  into_.eventCount = from.events;
  const std::string_view bodies = into_.bodies;
  for (std::size_t i = 0; i < into_.bodyAt.size(); ++i) {
    const std::size_t end = i + 1 < into_.bodyAt.size() ? into_.bodyAt[i + 1] : bodies.size();
    bodyIndex_.emplace(bodies.substr(into_.bodyAt[i], end - into_.bodyAt[i]), static_cast<std::uint32_t>(i));
  }
}

void ContributionRecorder::mark() {
  if (cursors_.size() == kCursorsKept) cursors_.erase(cursors_.begin());
  cursors_.push_back(cursor_);
}

void ContributionRecorder::record(const ReadRecord& given) {
  ReadRecord record = given;
  record.line += lineShift_;
  mark();
  key_.clear();
  putBody(key_, record);
  auto [found, added] = bodyIndex_.try_emplace(key_, static_cast<std::uint32_t>(into_.bodyAt.size()));
  if (added) {
    into_.bodyAt.push_back(into_.bodies.size());
    into_.bodies += key_;
  }
  std::string& out = into_.events;
  putNumber(out, std::uint64_t{found->second} << 1);
  putSigned(out, static_cast<std::int64_t>(record.line - cursor_.line));
  putSigned(out, record.secondOfDay - cursor_.second);
  cursor_.line = record.line;
  cursor_.second = record.secondOfDay;
  cursor_.at = out.size();
  into_.eventCount = ++cursor_.events;
  next_.record(record);
}

void ContributionRecorder::problem(const ReadProblem& given) {
  ReadProblem problem = given;
  problem.line += lineShift_;
  if (problem.at != 0) problem.at += lineShift_;
  mark();
  std::string& out = into_.events;
  putNumber(out, (static_cast<std::uint64_t>(problem.kind) << 1) | 1);
  putSigned(out, static_cast<std::int64_t>(problem.line - cursor_.line));
  putNumber(out, problem.at);
  putNumber(out, problem.count);
  putNumber(out, orv::log::indexOf(problem.missing));
  cursor_.line = problem.line;
  cursor_.at = out.size();
  into_.eventCount = ++cursor_.events;
  next_.problem(problem);
}

}  // namespace orvacct::logs
