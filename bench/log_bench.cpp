// Time per record of LogErrors on one file, beside a plain open-append-write-close loop writing
// the same bytes (the append as it was before the append lock) and the append the writer makes
// now, lock and all. scripts/bench.sh log prices the lock: LogErrors against LogErrors less
// what the lock adds to the append.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "component/clsOrvAcctMan.h"
#include "log/error_log.h"
#include "log/log_files.h"

namespace {

namespace fs = std::filesystem;

struct BenchFolder {
  fs::path path = fs::temp_directory_path() / ("orvacct-bench-" + std::to_string(::getpid()));
  BenchFolder() { fs::create_directories(path / "Logs"); }
  ~BenchFolder() { fs::remove_all(path); }
};

std::string benchRecord() {
  return orv::log::formatRecord(
      {1000000, u"Object variable or With block variable not set", u"modBench", u"Sub Bench()", u"1", u"0", u"1"},
      orv::platform::localNow());
}

void LogErrorsOneFile(benchmark::State& state) {
  BenchFolder folder;
  orv::clsOrvAcctMan component;
  const std::u16string appPath = folder.path.u16string();
  std::int32_t number = 0;
  for (auto _ : state) {
    // A new number each time, or the repeat check would skip the write.
    component.LogErrors(appPath, u"BenchApp", ++number, u"Object variable or With block variable not set", u"modBench",
                        u"Sub Bench()", u"1", u"0", u"1");
  }
  state.SetItemsProcessed(state.iterations());
}

void PlainAppendLoop(benchmark::State& state) {
  BenchFolder folder;
  const std::string file = (folder.path / "Logs" / "benchapp-plain.log").string();
  const std::string record = benchRecord();
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    benchmark::DoNotOptimize(::write(fd, record.data(), record.size()));
    ::close(fd);
  }
  state.SetItemsProcessed(state.iterations());
}

void LockedAppend(benchmark::State& state) {
  BenchFolder folder;
  const std::u16string file = (folder.path / "Logs" / "benchapp-locked.log").u16string();
  const std::string record = benchRecord();
  for (auto _ : state) benchmark::DoNotOptimize(orv::log::appendWhole(file, record));
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(PlainAppendLoop)->MinTime(2.0);
BENCHMARK(LockedAppend)->MinTime(2.0);
BENCHMARK(LogErrorsOneFile)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
