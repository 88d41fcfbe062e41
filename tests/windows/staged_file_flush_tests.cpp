// The staged file on a disk that cannot make what was written durable: this program links a
// flush that fails (as the tool's Linux tests preload a failing fsync), and a commit must then
// fail, leave the destination as it was and no temporary beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/disk_flush_win32.h"
#include "platform/staged_file.h"

namespace orv::platform {

bool flushToDisk(HANDLE) noexcept {
  SetLastError(ERROR_IO_DEVICE);
  return false;
}

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(StagedFileOnAFailingDisk, CommitFailsAndLeavesTheDestinationAsItWas) {
  const fs::path folder = fs::temp_directory_path() / ("staged-flush-" + std::to_string(GetCurrentProcessId()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path destination = folder / "kept.bin";
  std::ofstream(destination, std::ios::binary) << "old";
  for (const bool mayReplace : {true, false}) {
    StagedFile staged(destination);
    const std::string text = "new";
    staged.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    EXPECT_THROW(static_cast<void>(staged.commit(mayReplace)), std::system_error) << mayReplace;
  }
  EXPECT_EQ(contents(destination), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace orv::platform
