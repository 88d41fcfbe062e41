#pragma once
// The log commands' state file (--state): per log file read, what it was (its identity, size, time
// of change, and hashes of its first bytes, its last bytes and the bytes before the place a later
// reading may start again) and what it gave (state_contribution.h). The file opens with a line
// naming it and its format's version, then a checksum of the rest; a file that is not one, of
// another version, or whose bytes do not hold together is refused, never followed: every length
// and count is checked against what is left, so a hostile one cannot make a run crash, hang or
// allocate more than its own size.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "log_reading/state_contribution.h"
#include "platform/file_identity.h"

namespace orvacct::logs {

// Where a later reading of a grown file starts: the line that begins the file's last record
// (a record is settled only when the next begins, so the last is read again, whole).
struct RestartPoint {
  std::uint64_t offset = 0;
  std::uint64_t line = 0;       // the line number of the line at offset
  std::uint64_t hash = 0;       // of the bytes just before offset
  std::uint64_t events = 0;     // the contribution's events before it
};

struct FileState {
  std::string path;      // as shown
  std::string codePage;  // the name of the code page it was read in
  orv::platform::FileIdentity identity;
  std::uint64_t headHash = 0, endHash = 0;
  std::optional<RestartPoint> restart;
  Contribution contribution;
};

// How much of a file's start and of the bytes before a place is hashed.
inline constexpr std::size_t kHashedBytes = 4096;

inline constexpr std::string_view kStateMagic = "orvacct log state ";
inline constexpr int kStateVersion = 1;

// Why a state is refused, in words to follow its name: "is not a state of orvacct logs".
class StateRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::vector<std::shared_ptr<const FileState>> parseLogState(std::string_view bytes);
std::string serializedLogState(const std::vector<std::shared_ptr<const FileState>>& files);

}  // namespace orvacct::logs
