#include "log_reading/ordered_reading.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>


namespace orvacct::logs {
namespace {

using orv::log::ReadProblem;
using orv::log::ReadRecord;

// A batch is handed over when it holds this much text or this many events; a file's reader
// waits while sixteen of its batches are not yet taken, so a worker can read files of a few MiB
// whole while the consumer is still at an earlier one, and memory stays bounded.
constexpr std::size_t kBatchText = std::size_t{256} << 10;
constexpr std::size_t kBatchEvents = 4096;
constexpr std::size_t kBatchesAhead = 16;
constexpr unsigned kMostThreads = 8;

struct TextSpan {
  std::uint32_t offset = 0, size = 0;
};

// A record as a worker found it, small: its texts are in its batch's text. A problem (rare)
// is one of the batch's problems, in its place among the records.
struct Event {
  std::uint64_t line = 0;
  std::int32_t number = 0;
  std::int32_t secondOfDay = -1;
  std::uint8_t cutLines = 0;
  bool isRecord = true;
  std::uint32_t problem = 0;  // the problem's index, when not a record
  TextSpan description, module, procedure, version;
};

struct Batch {
  std::vector<Event> events;
  std::vector<ReadProblem> problems;
  std::string text;
};

// Batches the consumer is done with, for the workers to fill again: their memory is allocated
// once, not for every batch of every file.
class SpareBatches {
 public:
  Batch take() {
    const std::lock_guard lock(mutex_);
    if (spare_.empty()) {
      // Room for a whole batch at once: a growing buffer would be copied and its pages touched anew.
      Batch batch;
      batch.text.reserve(kBatchText + 4 * orv::log::kTextKept);
      batch.events.reserve(kBatchEvents / 4);
      return batch;
    }
    Batch batch = std::move(spare_.back());
    spare_.pop_back();
    return batch;
  }
  void giveBack(Batch batch) {
    batch.events.clear();
    batch.problems.clear();
    batch.text.clear();
    const std::lock_guard lock(mutex_);
    if (spare_.size() < kKept) spare_.push_back(std::move(batch));
  }

 private:
  static constexpr std::size_t kKept = 64;
  std::mutex mutex_;
  std::vector<Batch> spare_;
};

// The reading was abandoned: the consumer stopped (its output failed).
struct Cancelled {};

// Tells a reader's records and problems to the consumer and the problem sink, as every reading does.
class Delivery {
 public:
  Delivery(const Filters& filters, LogConsumer& consumer, ScanCounts& counts, ProblemSink& problems)
      : filters_(filters), consumer_(consumer), counts_(counts), problems_(problems) {}

  void record(const LogFile& file, const ReadRecord& record) {
    ++counts_.recordsRead;
    if (!filters_.acceptsNumber(record.number)) return;
    ++counts_.recordsKept;
    consumer_.record(file, record);
  }
  void problem(const LogFile& file, const ReadProblem& problem) {
    const std::string what = orv::log::describe(problem);
    problems_.problemAt(file.pathText, problem.line, what);
    // A file under a log's name that holds no record was not read as a log.
    if (problem.kind == orv::log::Damage::NotText) {
      counts_.allRead = false;
      ++counts_.notRead;
      consumer_.notRead(file.pathText + ":" + std::to_string(problem.line) + ": " + what);
    }
    if (!problem.losesRecord()) return;
    ++counts_.damaged;
    consumer_.damaged(file, problem);
  }

 private:
  const Filters& filters_;
  LogConsumer& consumer_;
  ScanCounts& counts_;
  ProblemSink& problems_;
};

class DirectSink final : public orv::log::RecordSink {
 public:
  DirectSink(const LogFile& file, Delivery delivery) : file_(file), delivery_(delivery) {}
  void record(const ReadRecord& record) override { delivery_.record(file_, record); }
  void problem(const ReadProblem& problem) override { delivery_.problem(file_, problem); }

 private:
  const LogFile& file_;
  Delivery delivery_;
};

}  // namespace

struct OrderedReading::Job {
  LogFile file;
  orv::platform::ReadableFile handle;
  SpareBatches& spares;

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<Batch> batches;
  bool done = false;
  bool cancelled = false;
  std::string failure;  // why the file could not be read to its end
  // Anything else that went wrong, thrown again in the file's place, as reading here would.
  std::exception_ptr error;

  Job(LogFile f, orv::platform::ReadableFile h, SpareBatches& s)
      : file(std::move(f)), handle(std::move(h)), spares(s) {}

  void cancel() {
    const std::lock_guard lock(mutex);
    cancelled = true;
    changed.notify_all();
  }
};

namespace {

// Collects a worker's records and problems into batches for the consumer.
class BatchSink final : public orv::log::RecordSink {
 public:
  explicit BatchSink(OrderedReading::Job& job) : job_(job) {}

  void record(const ReadRecord& record) override {
    Batch& batch = current();
    Event& event = batch.events.emplace_back();
    event.line = record.line;
    event.number = record.number;
    event.secondOfDay = record.secondOfDay;
    event.cutLines = record.cutLines;
    event.description = keep(batch, record.description);
    event.module = keep(batch, record.module);
    event.procedure = keep(batch, record.procedure);
    event.version = keep(batch, record.version);
    if (batch.text.size() >= kBatchText || batch.events.size() >= kBatchEvents) handOver();
  }
  void problem(const ReadProblem& problem) override {
    Batch& batch = current();
    Event& event = batch.events.emplace_back();
    event.isRecord = false;
    event.problem = static_cast<std::uint32_t>(batch.problems.size());
    batch.problems.push_back(problem);
    if (batch.events.size() >= kBatchEvents) handOver();
  }

  void handOver() {
    if (!batch_ || batch_->events.empty()) return;
    std::unique_lock lock(job_.mutex);
    job_.changed.wait(lock, [&] { return job_.batches.size() < kBatchesAhead || job_.cancelled; });
    if (job_.cancelled) throw Cancelled();
    job_.batches.push_back(std::move(*batch_));
    batch_.reset();
    job_.changed.notify_all();
  }

 private:
  // A batch is taken from the spares only when something comes for it, so none is taken after a
  // file's last one and then dropped.
  Batch& current() {
    if (!batch_) batch_ = job_.spares.take();
    return *batch_;
  }

  static TextSpan keep(Batch& batch, std::string_view text) {
    const TextSpan span{static_cast<std::uint32_t>(batch.text.size()), static_cast<std::uint32_t>(text.size())};
    batch.text += text;
    return span;
  }

  OrderedReading::Job& job_;
  std::optional<Batch> batch_;
};

std::string_view viewOf(const Batch& batch, TextSpan span) {
  return std::string_view(batch.text).substr(span.offset, span.size);
}

}  // namespace

struct OrderedReading::Queue {
  SpareBatches spares;
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::shared_ptr<Job>> waiting;
  bool closing = false;
};

OrderedReading::OrderedReading(const ScanSettings& settings, const Filters& filters, LogConsumer& consumer,
                               ScanCounts& counts)
    : filters_(filters),
      consumer_(consumer),
      counts_(counts),
      problems_(settings.problems),
      progress_(settings.progress) {
  unsigned threads = settings.threads;
  if (threads == 0) threads = std::thread::hardware_concurrency();
  threads = std::min(threads, kMostThreads);
  if (threads <= 1) return;
  queue_ = std::make_unique<Queue>();
  ahead_ = 2 * threads;
  try {
    for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    // No more threads to be had: the ones there are do the reading.
    if (workers_.empty()) queue_.reset();
  }
}

OrderedReading::~OrderedReading() { stopWorkers(); }

void OrderedReading::stopWorkers() noexcept {
  if (!queue_) return;
  {
    const std::lock_guard lock(queue_->mutex);
    queue_->closing = true;
    queue_->waiting.clear();
    queue_->changed.notify_all();
  }
  for (Item& item : pending_) {
    if (auto* job = std::get_if<std::shared_ptr<Job>>(&item)) (*job)->cancel();
  }
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
  queue_.reset();
}

void OrderedReading::file(LogFile file, orv::platform::ReadableFile handle) {
  if (progress_ != nullptr) progress_->found(handle.sizeWhenOpened());
  if (!queue_) return readHere(file, handle);
  auto job = std::make_shared<Job>(std::move(file), std::move(handle), queue_->spares);
  {
    const std::lock_guard lock(queue_->mutex);
    queue_->waiting.push_back(job);
    queue_->changed.notify_one();
  }
  pending_.emplace_back(std::move(job));
  while (pending_.size() > ahead_) {
    handOn(pending_.front());
    pending_.pop_front();
  }
}

void OrderedReading::problem(std::string message) {
  counts_.allRead = false;
  ++counts_.notRead;
  if (pending_.empty()) return tellNotRead(message);
  pending_.emplace_back(std::move(message));
}

void OrderedReading::tellNotRead(const std::string& message) {
  problems_.problem(message);
  consumer_.notRead(message);
}

void OrderedReading::finish() {
  while (!pending_.empty()) {
    handOn(pending_.front());
    pending_.pop_front();
  }
  stopWorkers();
  if (progress_ != nullptr) progress_->finished();
}

void OrderedReading::readHere(const LogFile& file, orv::platform::ReadableFile& handle) {
  ++counts_.filesRead;
  consumer_.beginFile(file);
  DirectSink sink(file, Delivery(filters_, consumer_, counts_, problems_));
  try {
    reader_.read(handle, sink, file.codePage);
  } catch (const std::system_error& e) {
    counts_.allRead = false;
    ++counts_.notRead;
    tellNotRead("cannot read " + file.pathText + ": " + e.code().message());
  }
  consumer_.endFile(file);
  if (progress_ != nullptr) progress_->read(handle.sizeWhenOpened());
}

void OrderedReading::handOn(Item& item) {
  if (const auto* message = std::get_if<std::string>(&item)) return tellNotRead(*message);
  Job& job = *std::get<std::shared_ptr<Job>>(item);
  ++counts_.filesRead;
  consumer_.beginFile(job.file);
  Delivery delivery(filters_, consumer_, counts_, problems_);
  for (;;) {
    Batch batch;
    {
      std::unique_lock lock(job.mutex);
      job.changed.wait(lock, [&] { return !job.batches.empty() || job.done; });
      if (job.batches.empty()) break;
      batch = std::move(job.batches.front());
      job.batches.pop_front();
      job.changed.notify_all();
    }
    ReadRecord record;
    for (const Event& event : batch.events) {
      if (!event.isRecord) {
        delivery.problem(job.file, batch.problems[event.problem]);
        continue;
      }
      record.line = event.line;
      record.number = event.number;
      record.secondOfDay = event.secondOfDay;
      record.cutLines = event.cutLines;
      record.description = viewOf(batch, event.description);
      record.module = viewOf(batch, event.module);
      record.procedure = viewOf(batch, event.procedure);
      record.version = viewOf(batch, event.version);
      delivery.record(job.file, record);
    }
    job.spares.giveBack(std::move(batch));
  }
  if (job.error) std::rethrow_exception(job.error);
  if (!job.failure.empty()) {
    counts_.allRead = false;
    ++counts_.notRead;
    tellNotRead("cannot read " + job.file.pathText + ": " + job.failure);
  }
  consumer_.endFile(job.file);
  if (progress_ != nullptr) progress_->read(job.handle.sizeWhenOpened());
}

void OrderedReading::work() {
  orv::log::LogFileReader reader;
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock lock(queue_->mutex);
      queue_->changed.wait(lock, [&] { return !queue_->waiting.empty() || queue_->closing; });
      if (queue_->closing) return;
      job = std::move(queue_->waiting.front());
      queue_->waiting.pop_front();
    }
    std::string failure;
    std::exception_ptr error;
    try {
      BatchSink sink(*job);
      // Caught as readHere catches it: what was read before it still goes on.
      try {
        reader.read(job->handle, sink, job->file.codePage);
      } catch (const std::system_error& e) {
        failure = e.code().message();
      }
      sink.handOver();
    } catch (const Cancelled&) {
      continue;
    } catch (...) {
      error = std::current_exception();
    }
    const std::lock_guard lock(job->mutex);
    job->failure = std::move(failure);
    job->error = std::move(error);
    job->done = true;
    job->changed.notify_all();
  }
}

}  // namespace orvacct::logs
