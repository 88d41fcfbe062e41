// The log commands' progress line, its text worked out by hand from the figures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/read_progress.h"

namespace orvacct {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

TEST(ReadProgress, TellsFilesMebibytesRateAndTimeLeft) {
  struct Case {
    const char* name;
    ReadFigures figures;
    double seconds;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"nothing found yet", {}, 1.0, "read 0 of 0 files, 0.0 of 0.0 MiB"},
      {"one file, nothing read: no rate", {1, 0, kMiB / 2, 0}, 1.5, "read 0 of 1 file, 0.0 of 0.5 MiB"},
      {"a quarter in two seconds: 50 MiB/s, 300 MiB left",
       {400, 100, 400 * kMiB, 100 * kMiB},
       2.0,
       "read 100 of 400 files, 100.0 of 400.0 MiB, 50.0 MiB/s, about 6 s left"},
      {"3 GiB at 10 MiB/s: 306 s left, in minutes",
       {30, 1, 3072 * kMiB, 10 * kMiB},
       1.0,
       "read 1 of 30 files, 10.0 of 3072.0 MiB, 10.0 MiB/s, about 5 min left"},
      {"all read", {2, 2, 3 * kMiB, 3 * kMiB}, 3.0, "read 2 of 2 files, 3.0 of 3.0 MiB, 1.0 MiB/s, about 0 s left"},
  };
  for (const Case& c : cases) EXPECT_EQ(readProgressText(c.figures, c.seconds), c.text) << c.name;
}

}  // namespace
}  // namespace orvacct
