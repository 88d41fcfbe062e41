#pragma once
// Log files read on worker threads and handed on in the order they were given: the consumer and
// the problem sink see the same records, damage and messages in the same order as a reading on one
// thread, and only a few files are in flight at once, each holding at most a few batches of
// records, so memory stays bounded whatever the size of the files.
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "log_reading/log_types.h"
#include "platform/readable_file.h"

namespace orvacct::logs {

class OrderedReading {
 public:
  // settings.threads: how many files are read at once (0: one per processor; 1: as they are given).
  OrderedReading(const ScanSettings& settings, const Filters& filters, LogConsumer& consumer, ScanCounts& counts);
  ~OrderedReading();
  OrderedReading(const OrderedReading&) = delete;
  OrderedReading& operator=(const OrderedReading&) = delete;

  void file(LogFile file, orv::platform::ReadableFile handle);
  // A message for the problem sink, in its place among the files; the scan did not read
  // everything.
  void problem(std::string message);
  // Everything given is read and told.
  void finish();

  struct Job;

 private:
  using Item = std::variant<std::string, std::shared_ptr<Job>>;

  // To the problem sink and to the consumer.
  void tellNotRead(const std::string& message);
  void readHere(const LogFile& file, orv::platform::ReadableFile& handle);
  void handOn(Item& item);
  void work();
  void stopWorkers() noexcept;

  const Filters& filters_;
  LogConsumer& consumer_;
  ScanCounts& counts_;
  ProblemSink& problems_;
  ScanProgress* progress_;  // null when nobody is told
  orv::log::LogFileReader reader_;  // for reading on this thread

  struct Queue;
  std::unique_ptr<Queue> queue_;  // the files waiting for a worker; null when reading here
  std::vector<std::thread> workers_;
  std::deque<Item> pending_;  // given, not yet handed on, in order
  std::size_t ahead_ = 0;     // how many may be pending before the oldest is waited for
};

}  // namespace orvacct::logs
