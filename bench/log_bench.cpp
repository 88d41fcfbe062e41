// Records per second of LogErrors on one file, beside a plain open-append-write-close loop
// writing the same bytes: the writer's own work (repeat check, folder check, formatting)
// should cost little next to the file system's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "component/clsOrvAcctMan.h"
#include "log/error_log.h"

namespace {

namespace fs = std::filesystem;

struct BenchFolder {
  fs::path path = fs::temp_directory_path() / ("orvacct-bench-" + std::to_string(::getpid()));
  BenchFolder() { fs::create_directories(path / "Logs"); }
  ~BenchFolder() { fs::remove_all(path); }
};

void LogErrorsOneFile(benchmark::State& state) {
  BenchFolder folder;
  orv::clsOrvAcctMan component;
  const std::u16string appPath = folder.path.u16string();
  std::int32_t number = 0;
  for (auto _ : state) {
    // A new number each time, or the repeat check would skip the write.
    component.LogErrors(appPath, u"BenchApp", ++number, u"Object variable or With block variable not set",
                        u"modBench", u"Sub Bench()", u"1", u"0", u"1");
  }
  state.SetItemsProcessed(state.iterations());
}

void PlainAppendLoop(benchmark::State& state) {
  BenchFolder folder;
  const std::string file = (folder.path / "Logs" / "benchapp-plain.log").string();
  const std::string record =
      orv::log::formatRecord({1000000, u"Object variable or With block variable not set", u"modBench", u"Sub Bench()",
                              u"1", u"0", u"1"},
                             orv::platform::localNow());
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    benchmark::DoNotOptimize(::write(fd, record.data(), record.size()));
    ::close(fd);
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(PlainAppendLoop)->MinTime(2.0);
BENCHMARK(LogErrorsOneFile)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
