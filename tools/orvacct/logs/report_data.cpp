#include <algorithm>

#include "logs/report_data.h"

namespace orvacct::logs {
namespace {

class ReportBuilder final : public LogConsumer {
 public:
  explicit ReportBuilder(ReportData& data) : data_(data) {}

  void beginFile(const LogFile& file) override {
    const auto known = appIndexes_.find(file.app);
    if (known != appIndexes_.end()) {
      app_ = known->second;
    } else {
      app_ = data_.apps.size();
      appIndexes_.emplace(file.app, app_);
      data_.apps.emplace_back().name = file.app;
    }
    AppFigures& app = data_.apps[app_];
    ++app.files;
    if (!app.folders.contains(file.folder)) app.folders.emplace(file.folder);
    ++data_.files;
    if (!data_.folders.contains(file.folder)) data_.folders.emplace(file.folder);
    days_ = file.days;
    fileRecords_ = 0;
  }

  void record(const LogFile&, const orv::log::ReadRecord& record) override {
    const Moment moment{days_, record.secondOfDay};
    ++fileRecords_;
    data_.records.add(moment);
    AppFigures& app = data_.apps[app_];
    app.records.add(moment);
    app.numbers.insert(record.number);
    if (!app.versions.contains(record.version)) app.versions.emplace(record.version);

    ErrorFigures& error = data_.errors[record.number];
    error.number = record.number;
    error.records.add(moment);
    error.descriptions.add(record.description);
    if (std::find(error.apps.begin(), error.apps.end(), app_) == error.apps.end()) error.apps.push_back(app_);
    if (!error.versions.contains(record.version)) error.versions.emplace(record.version);
  }

  void damaged(const LogFile&) override {
    ++data_.damaged;
    ++data_.apps[app_].damaged;
  }

  void endFile(const LogFile&) override {
    if (fileRecords_ > 0) data_.perDay[{days_, app_}] += fileRecords_;
  }

 private:
  ReportData& data_;
  std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>> appIndexes_;
  std::size_t app_ = 0;
  int days_ = 0;
  std::uint64_t fileRecords_ = 0;
};

}  // namespace

ReportData gatherReport(const std::vector<std::string>& paths, const Filters& filters, bool& allRead) {
  ReportData data;
  ReportBuilder builder(data);
  allRead = scanLogs(paths, filters, builder);
  return data;
}

bool versionLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      const std::size_t iEnd = std::find_if_not(a.begin() + static_cast<std::ptrdiff_t>(i), a.end(), digit) - a.begin();
      const std::size_t jEnd = std::find_if_not(b.begin() + static_cast<std::ptrdiff_t>(j), b.end(), digit) - b.begin();
      std::string_view x = a.substr(i, iEnd - i), y = b.substr(j, jEnd - j);
      while (x.size() > 1 && x.front() == '0') x.remove_prefix(1);
      while (y.size() > 1 && y.front() == '0') y.remove_prefix(1);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = iEnd;
      j = jEnd;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

}  // namespace orvacct::logs
