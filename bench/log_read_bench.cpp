// Reading logs, beside what grep -c '^Error Number:' does over the same files: the reader alone,
// and `orvacct logs summary --by number` in-process, against a count of the lines that begin
// with "Error Number:" through the same size of reads. The log commands read and do little else,
// so the reference is as fast as reading gets.
// The corpus: 256 MiB of log files of about 1 MiB (--corpus_mib=N for another size), written
// once into a temporary folder, or into --corpus=DIR and kept there for timing whole processes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "log/error_log.h"
#include "log/record_reader.h"
#include "log_reading/log_summary.h"
#include "log_reading/report.h"
#include "platform/readable_file.h"
#include "platform/unique_file.h"
#include "text/code_page.h"

namespace {

namespace fs = std::filesystem;

struct Corpus {
  fs::path root;
  bool keep = false;
  std::vector<fs::path> files;
  std::size_t bytes = 0;
  ~Corpus() {
    if (!keep && !root.empty()) fs::remove_all(root);
  }
};

Corpus corpus;

struct Error {
  std::int32_t number;
  const char16_t* description;
};
constexpr Error kErrors[] = {
    {91, u"Object variable or With block variable not set"},
    {13, u"Type mismatch"},
    {3021,
     u"Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
     u"current record."},
    {-2147467259, u"[Microsoft][ODBC SQL Server Driver][TCP/IP Sockets]General network error."},
    {-2147217900, u"Incorrect syntax near ','.\r\nStatement(s) could not be prepared."},
    {53, u"File not found"},
    {5, u"Invalid procedure call or argument"},
    {-2147024894, u"The system cannot find the file specified."},
};
constexpr const char16_t* kApps[] = {u"billing", u"orders", u"stock", u"crm-sync"};
constexpr const char16_t* kModules[] = {u"modMain", u"frmInvoice", u"clsDatabase", u"modExport"};

void writeCorpus(const fs::path& root, std::size_t mebibytes) {
  std::mt19937 random(2002);
  constexpr std::size_t kFileSize = std::size_t{1} << 20;
  for (std::size_t file = 0; file * kFileSize < mebibytes << 20; ++file) {
    const std::u16string app = kApps[file % std::size(kApps)];
    // A day of its own for each file: names never repeat.
    const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::year(2002) / 1 / 1) +
                                           std::chrono::days(file)};
    orv::LocalDateTime day{static_cast<int>(date.year()),
                           static_cast<int>(static_cast<unsigned>(date.month())),
                           static_cast<int>(static_cast<unsigned>(date.day())),
                           0,
                           0,
                           0};
    const fs::path folder = root / ("PC" + std::to_string(file % 16)) / "Logs";
    fs::create_directories(folder);
    std::string bytes;
    while (bytes.size() < kFileSize) {
      const Error& error = kErrors[random() % std::size(kErrors)];
      const int second = static_cast<int>(random() % 86400);
      day.hour = second / 3600;
      day.minute = second / 60 % 60;
      day.second = second % 60;
      const std::u16string revision(1, static_cast<char16_t>(u'0' + random() % 10));
      bytes += orv::log::formatRecord({error.number, error.description, kModules[random() % std::size(kModules)],
                                       u"Sub Save()", u"2", u"4", revision},
                                      day);
    }
    const fs::path path = folder / fs::path(orv::log::logFileName(app, day));
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    corpus.files.push_back(path);
    corpus.bytes += bytes.size();
  }
}

// grep -c '^Error Number:' over each file.
std::size_t countErrorNumberLines(const fs::path& file, std::vector<char>& buffer) {
  constexpr std::string_view kLine = "\nError Number:";
  const orv::platform::UniqueFile owned = orv::platform::openFile(file, "rb");
  std::FILE* const stream = owned.get();
  std::setvbuf(stream, nullptr, _IONBF, 0);
  std::size_t count = 0, kept = 0;
  for (;;) {
    const std::size_t got = std::fread(buffer.data() + kept, 1, buffer.size() - kept, stream);
    if (got == 0) break;
    const char* data = buffer.data();
    const std::size_t end = kept + got;
    for (const char* at = data; (at = static_cast<const char*>(memmem(at, static_cast<std::size_t>(data + end - at),
                                                                      kLine.data(), kLine.size()))) != nullptr;
         ++at) {
      ++count;
    }
    // The last bytes again next time, in case the text spans two reads.
    kept = std::min(end, kLine.size() - 1);
    std::memmove(buffer.data(), data + end - kept, kept);
  }
  return count;
}

void CountErrorNumberLines(benchmark::State& state) {
  std::vector<char> buffer(std::size_t{1} << 20);
  for (auto _ : state) {
    std::size_t count = 0;
    for (const fs::path& file : corpus.files) count += countErrorNumberLines(file, buffer);
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.bytes));
}

struct CountingSink final : orv::log::RecordSink {
  std::size_t records = 0;
  void record(const orv::log::ReadRecord&) override { ++records; }
  void problem(const orv::log::ReadProblem&) override {}
};

void ReadRecords(benchmark::State& state) {
  orv::log::LogFileReader reader;
  for (auto _ : state) {
    CountingSink sink;
    for (const fs::path& file : corpus.files) {
      orv::platform::ReadableFile readable = orv::platform::ReadableFile::open(file);
      reader.read(readable, sink);
    }
    benchmark::DoNotOptimize(sink.records);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.bytes));
}

// What the scans tell, on standard error as the tool tells it (the corpus is whole: nothing).
class StandardErrorProblems final : public orvacct::logs::ProblemSink {
 public:
  void problem(std::string_view message) override {
    std::fprintf(stderr, "%.*s\n", int(message.size()), message.data());
  }
  void problemAt(std::string_view file, std::uint64_t line, std::string_view message) override {
    std::fprintf(stderr, "%.*s:%llu: %.*s\n", int(file.size()), file.data(), static_cast<unsigned long long>(line),
                 int(message.size()), message.data());
  }
};

// The summary by number, the files read on state.range(0) threads.
void SummaryByNumber(benchmark::State& state) {
  const std::vector<orvacct::logs::Root> roots{{corpus.root.string(), orv::text::ansiCodePage()}};
  orvacct::logs::SummaryOptions options;
  options.by = {orvacct::logs::GroupBy::Number};
  StandardErrorProblems problems;
  const orvacct::logs::ScanSettings settings{problems, static_cast<unsigned>(state.range(0))};
  for (auto _ : state) {
    orvacct::logs::ScanCounts counts;
    benchmark::DoNotOptimize(orvacct::logs::summaryText(roots, {}, options, settings, counts));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.bytes));
}

// The report's figures gathered and its page made, the files read on state.range(0) threads.
void Report(benchmark::State& state) {
  orvacct::logs::ReportScope scope{{{corpus.root.string(), orv::text::ansiCodePage()}}, {}, {}, {}, "now"};
  StandardErrorProblems problems;
  const orvacct::logs::ScanSettings settings{problems, static_cast<unsigned>(state.range(0))};
  for (auto _ : state) {
    orvacct::logs::ScanCounts counts;
    const orvacct::logs::ReportData data = orvacct::logs::gatherReport(scope.roots, {}, counts, settings);
    benchmark::DoNotOptimize(orvacct::logs::reportHtml(data, scope, counts));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.bytes));
}

BENCHMARK(CountErrorNumberLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SummaryByNumber)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Report)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::size_t mebibytes = 256;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with("--corpus_mib=")) {
      mebibytes = std::stoul(std::string(argument.substr(13)));
    } else if (argument.starts_with("--corpus=")) {
      corpus.root = std::string(argument.substr(9));
      corpus.keep = true;
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (corpus.root.empty())
    corpus.root = fs::temp_directory_path() / ("orvacct-logs-bench-" + std::to_string(::getpid()));
  writeCorpus(corpus.root, mebibytes);
  int count = static_cast<int>(rest.size());
  benchmark::Initialize(&count, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
