// libFuzzer target for the log commands' state file, read back from wherever a run left it: the
// input is what follows the first line and checksum (both made right here, so that the bytes are
// looked at rather than refused at once). Beyond the sanitizers, it checks the promises: a state
// is read or refused as a state, nothing else; every event of what is read can be given back; and
// what is read, written again, reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "log/record_reader.h"
#include "log_reading/log_state.h"
#include "log_reading/state_bytes.h"

namespace {

using namespace orvacct::logs;

void check(bool promise) {
  if (!promise) std::abort();
}

class Counting final : public orv::log::RecordSink {
 public:
  void record(const orv::log::ReadRecord& record) override {
    ++events;
    check(record.description.size() + record.module.size() + record.procedure.size() + record.version.size() <= bytes);
  }
  void problem(const orv::log::ReadProblem&) override { ++events; }

  std::size_t bytes = 0;
  std::uint64_t events = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::string state = std::string(kStateMagic) + std::to_string(kStateVersion) + "\n";
  putFixed(state, bytesChecksum(rest));
  state += rest;
  std::vector<std::shared_ptr<const FileState>> files;
  try {
    files = parseLogState(state);
  } catch (const StateRefused&) {
    return 0;
  }
  for (const auto& file : files) {
    Counting sink;
    sink.bytes = size;
    EventDecoder decoder(file->contribution);
    while (decoder.next(sink)) {
    }
    check(sink.events == file->contribution.eventCount);
  }
  // Written again, it reads back to itself (a number may be written in more bytes than it needs,
  // so the bytes first given need not come back as they were).
  const std::string written = serializedLogState(files);
  check(serializedLogState(parseLogState(written)) == written);
  return 0;
}
