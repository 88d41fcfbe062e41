#pragma once
// The record's lines as the writer writes them and the reader reads them back: the opening line
// of plus signs, then the labels of lines 2 to 7, by their index in the record (counted from 0).
// The writer puts one space after each label's colon.
#include <array>
#include <string_view>

namespace orv::log {

inline constexpr std::string_view kRecordFirstLine = "+++++++++++++++++++++++++++++++++++++++++";
inline constexpr std::array<std::string_view, 7> kRecordLabels = {
    "", "Error Description:", "Error Number:", "Module Name:", "Procedure Name:", "Version Number:", "Date:"};

}  // namespace orv::log
