#pragma once
// The key of a record's group when records are grouped by one or more of their fields, like SQL's
// GROUP BY: the fields one after the other in one string, so a group is found with one lookup.
// Numbers and days take four bytes, texts their length and their UTF-8 bytes (cut to a bound),
// so no text can pass for another key.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log_reading/log_types.h"

namespace orvacct::logs {

// The keys' names as --by takes them, in the order they are listed.
const std::vector<std::string>& groupByNames();
std::optional<GroupBy> groupByNamed(std::string_view name);

struct KeyValue {
  std::string text;  // as shown: UTF-8, a number in decimal, a day as YYYY-MM-DD, ...
};

class GroupKeys {
 public:
  // How much of a text is a key: longer texts are one group, shown with an ellipsis.
  static constexpr std::size_t kTextKept = 512;

  explicit GroupKeys(std::vector<GroupBy> by);

  void beginFile(const LogFile& file);
  // The key of a record of the file begun last; good until the next call.
  const std::string& of(const LogFile& file, const orv::log::ReadRecord& record);
  // The key every record of the file has, when all keys are the file's own.
  const std::string& ofFile() const { return fileKey_; }

  const std::vector<GroupBy>& by() const { return by_; }
  bool has(GroupBy key) const;
  bool fileLevel() const { return fileLevel_; }  // every key is known from the file alone
  bool hasTime() const;                          // day, week or month

  std::vector<KeyValue> decode(std::string_view key) const;
  // Keys in their order: numbers and days as numbers, texts by their bytes.
  bool less(std::string_view a, std::string_view b) const;
  std::string emptyKey() const;

 private:
  std::vector<GroupBy> by_;
  bool fileLevel_ = true;
  std::vector<std::string> fileParts_;  // the file's own parts, by key; empty for a record's keys
  std::string fileKey_;
  std::string key_, text_;
};

// A record's text as a key: UTF-8, cut to a bound at a character's edge, an ellipsis when cut.
void appendKeyText(std::string& out, std::string_view ansi, bool cut, const orv::text::CodePage* codePage,
                   std::size_t kept);

// The same, converted again only when the text differs from the one before: a file's records
// mostly share their version.
class LastKeyText {
 public:
  explicit LastKeyText(std::size_t kept) : kept_(kept) {}
  // Good until the next call.
  const std::string& of(std::string_view ansi, bool cut, const orv::text::CodePage* codePage);

 private:
  std::size_t kept_;
  bool any_ = false;
  std::string ansi_;
  bool cut_ = false;
  const orv::text::CodePage* codePage_ = nullptr;
  std::string text_;
};

}  // namespace orvacct::logs
