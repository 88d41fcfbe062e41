#pragma once
// The record's eight lines, in the order the writer writes them and the reader expects them,
// each with the label that opens it. The writer puts one space after a label's colon; the
// opening line is its label alone and the closing line is empty.
#include <array>
#include <string_view>

namespace orv::log {

enum class RecordLine { First, Description, Number, Module, Procedure, Version, Date, Closing };

struct RecordLineLabel {
  RecordLine line;
  std::string_view label;
};

inline constexpr std::array<RecordLineLabel, 8> kRecordLines = {{
    {RecordLine::First, "+++++++++++++++++++++++++++++++++++++++++"},
    {RecordLine::Description, "Error Description:"},
    {RecordLine::Number, "Error Number:"},
    {RecordLine::Module, "Module Name:"},
    {RecordLine::Procedure, "Procedure Name:"},
    {RecordLine::Version, "Version Number:"},
    {RecordLine::Date, "Date:"},
    {RecordLine::Closing, ""},
}};

constexpr std::size_t indexOf(RecordLine line) { return static_cast<std::size_t>(line); }
constexpr std::string_view labelOf(RecordLine line) { return kRecordLines[indexOf(line)].label; }

inline constexpr std::string_view kRecordFirstLine = labelOf(RecordLine::First);

static_assert([] {
  for (std::size_t i = 0; i < kRecordLines.size(); ++i) {
    if (indexOf(kRecordLines[i].line) != i) return false;
  }
  return true;
}());

}  // namespace orv::log
