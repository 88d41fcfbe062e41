// orvacct file encrypt|decrypt ended by a signal at several points, meeting a destination that
// appeared while it worked, or a disk that cannot make the new file durable: afterwards the
// destination is the old file or the complete new one, and nothing else is in its folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "cipher/cipher_data.h"
#include "support/forged_cipher_data.h"
#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kOld[] = "the old destination";

// What the process has handed to write() so far.
std::uint64_t bytesWritten(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  std::string field;
  std::uint64_t value = 0;
  while (io >> field >> value) {
    if (field == "wchar:") return value;
  }
  return 0;
}

struct Interruption {
  int signal;
  double share;  // of the destination's bytes written when the signal is sent; 1: all, being committed
};

std::string describe(const Interruption& at) {
  return std::string(strsignal(at.signal)) + " at " + std::to_string(static_cast<int>(at.share * 100)) + "%";
}

// Waits until the tool has written target bytes; false, with its wait status, if it ended first.
bool reachesPoint(pid_t tool, std::uint64_t target, int& status) {
  for (; bytesWritten(tool) < target; usleep(1000)) {
    if (waitpid(tool, &status, WNOHANG) == tool) return false;
  }
  return true;
}

// Starts the tool and signals it at the point; the wait status.
int runInterrupted(const std::string& arguments, std::uint64_t outputLength, const Interruption& at,
                   const std::string& environment = {}, std::set<std::string>* seenBeside = nullptr,
                   const fs::path& folder = {}) {
  const pid_t tool = startTool(arguments, environment);
  int status = 0;
  if (!reachesPoint(tool, std::max<std::uint64_t>(1, static_cast<std::uint64_t>(at.share * outputLength)), status)) {
    return status;  // done before the point
  }
  if (seenBeside != nullptr) {
    for (const auto& entry : fs::directory_iterator(folder)) seenBeside->insert(entry.path().filename().string());
  }
  kill(tool, at.signal);
  return waitForTool(tool);
}

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

bool allZero(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string block(1 << 20, '\0');
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    if (block.find_first_not_of('\0') < static_cast<std::size_t>(in.gcount())) return false;
  }
  return true;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

const std::string kRefusingUnnamedFiles =
    "LD_PRELOAD='" NO_UNNAMED_FILES_PRELOAD "' ASAN_OPTIONS=verify_asan_link_order=0";
const std::string kFailingFsync = "LD_PRELOAD='" FAILING_FSYNC_PRELOAD "' ASAN_OPTIONS=verify_asan_link_order=0";
const std::string kFailingFsyncWithoutUnnamedFiles =
    "LD_PRELOAD='" FAILING_FSYNC_PRELOAD " " NO_UNNAMED_FILES_PRELOAD "' ASAN_OPTIONS=verify_asan_link_order=0";

// Zeros cost the cipher what any content costs, and a sparse file costs the disk nothing.
void writeZeros(const fs::path& file, std::uint64_t length) {
  { std::ofstream(file, std::ios::binary); }
  fs::resize_file(file, length);
}

// Cipher data under key "k" for plainLength bytes: decryption checks only the first blocks,
// so a valid header before zeros serves, without a long encryption to make it.
void writeSealed(const fs::path& file, std::uint64_t plainLength) {
  const auto header = forgedCipherData(u"k", static_cast<std::int32_t>(plainLength));
  writeZeros(file, cipher::cipherLength(plainLength));
  std::fstream(file, std::ios::binary | std::ios::in | std::ios::out)
      .write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
}

TEST(ToolInterrupted, TheDestinationIsTheOldFileOrTheCompleteNewOneAndNothingElse) {
  constexpr std::uint64_t kPlain = std::uint64_t{256} << 20;
  const TempFolder sources, destinations;
  const fs::path plain = sources / "plain", sealed = sources / "sealed", out = destinations / "out";
  writeZeros(plain, kPlain);
  writeSealed(sealed, kPlain);

  const auto check = [&](const Interruption& at, int status, const std::string& direction) {
    const std::string what = direction + ", " + describe(at);
    EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == at.signal) || (WIFEXITED(status) && at.share == 1))
        << what << ": status " << status;
    EXPECT_EQ(namesIn(destinations.path()), std::set<std::string>{"out"}) << what;
    return readFile(out) == kOld;
  };
  for (const Interruption at : {Interruption{SIGTERM, 0}, {SIGKILL, 0.4}, {SIGTERM, 1}}) {
    writeFile(out, kOld);
    const int status = runInterrupted("file encrypt --overwrite --key k " + quoted(plain) + " " + quoted(out),
                                      cipher::cipherLength(kPlain), at);
    if (!check(at, status, "encrypting")) {
      EXPECT_EQ(runTool("file decrypt --overwrite --key k " + quoted(out) + " " + quoted(out)).exitCode, 0);
      EXPECT_TRUE(fs::file_size(out) == kPlain && allZero(out)) << "encrypting, " << describe(at);
    }
  }
  for (const Interruption at : {Interruption{SIGKILL, 0}, {SIGTERM, 0.4}, {SIGKILL, 1}}) {
    writeFile(out, kOld);
    const int status = runInterrupted("file decrypt --overwrite --key k " + quoted(sealed) + " " + quoted(out),
                                      kPlain, at);
    if (!check(at, status, "decrypting")) {
      EXPECT_EQ(fs::file_size(out), kPlain) << "decrypting, " << describe(at);
    }
  }
}

TEST(ToolInterrupted, ANamedTemporaryWhereUnnamedFilesAreRefusedGoesOnSigintAndSigterm) {
  constexpr std::uint64_t kPlain = std::uint64_t{16} << 20;
  const TempFolder sources, destinations;
  const fs::path sealed = sources / "sealed";
  // The temporary's name fits beside a destination of the longest name the folder allows.
  const fs::path out = destinations / std::string(pathconf(destinations.path().c_str(), _PC_NAME_MAX), 'o');
  writeSealed(sealed, kPlain);

  for (const int signal : {SIGTERM, SIGINT}) {
    writeFile(out, kOld);
    std::set<std::string> during;
    const int status = runInterrupted("file decrypt --overwrite --key k " + quoted(sealed) + " " + quoted(out), kPlain,
                                      {signal, 0.5}, kRefusingUnnamedFiles, &during, destinations.path());
    EXPECT_EQ(during.size(), 2u) << "no named temporary: the refusal did not reach the tool";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(namesIn(destinations.path()), std::set<std::string>{out.filename().string()}) << strsignal(signal);
    EXPECT_EQ(readFile(out), kOld);
  }
  EXPECT_EQ(
      runTool("file decrypt --overwrite --key k " + quoted(sealed) + " " + quoted(out), kRefusingUnnamedFiles).exitCode,
      0);
  EXPECT_EQ(fs::file_size(out), kPlain);
  EXPECT_EQ(namesIn(destinations.path()).size(), 1u);
}

TEST(ToolInterrupted, WithoutOverwriteADestinationThatAppearsMeanwhileIsKept) {
  constexpr std::uint64_t kPlain = std::uint64_t{32} << 20;
  constexpr char kTheirs[] = "another program's file";
  const TempFolder sources, destinations;
  const fs::path plain = sources / "plain", out = destinations / "out", err = sources / "stderr";
  writeZeros(plain, kPlain);
  // Each way the file is put in place: linking an unnamed file; renaming a named one without
  // replacing; linking a named one where the file system cannot rename so.
  for (const std::string& environment :
       {std::string(), kRefusingUnnamedFiles, kRefusingUnnamedFiles + " NO_RENAME_NOREPLACE=1"}) {
    fs::remove(out);
    const pid_t tool =
        startTool("file encrypt --key k " + quoted(plain) + " " + quoted(out) + " 2>" + quoted(err), environment);
    // Held still half way, well after its check and well before it puts the file in place.
    int status = 0;
    ASSERT_TRUE(reachesPoint(tool, cipher::cipherLength(kPlain) / 2, status)) << environment << ": done too soon";
    kill(tool, SIGSTOP);
    ASSERT_LT(bytesWritten(tool), cipher::cipherLength(kPlain)) << environment;
    writeFile(out, kTheirs);
    kill(tool, SIGCONT);
    status = waitForTool(tool);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << environment << ": status " << status;
    EXPECT_EQ(readFile(err), "orvacct: " + out.string() + " exists; give --overwrite to replace it\n") << environment;
    EXPECT_TRUE(readFile(out) == kTheirs) << environment << ": the other file was replaced";
    EXPECT_EQ(namesIn(destinations.path()), std::set<std::string>{"out"}) << environment;
  }
}

// A new file that may not be on the disk yet must not take the old one's place: when fsync
// fails, the run fails and the old destination stays, with no temporary beside it, for an
// unnamed file and a named one alike.
TEST(ToolInterrupted, ADiskThatCannotMakeTheNewFileDurableLeavesTheOldDestination) {
  const TempFolder sources, destinations;
  const fs::path plain = sources / "plain", out = destinations / "out";
  writeZeros(plain, 1000);
  for (const std::string& environment : {kFailingFsync, kFailingFsyncWithoutUnnamedFiles}) {
    writeFile(out, kOld);
    const auto run = runToolApart("file encrypt --overwrite --key k " + quoted(plain) + " " + quoted(out), environment);
    EXPECT_EQ(run.exitCode, 1) << environment;
    EXPECT_EQ(run.err, "orvacct: cannot write " + out.string() + ": cannot write the destination: Input/output error\n")
        << environment;
    EXPECT_TRUE(readFile(out) == kOld) << environment << ": the old destination was replaced";
    EXPECT_EQ(namesIn(destinations.path()), std::set<std::string>{"out"}) << environment;
  }
}

}  // namespace
}  // namespace orv::testing
