#pragma once
// The shared known-answer files: tab-separated, '#' comment lines, a header row naming the
// columns, hex or text fields (an empty field is empty).
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orv::testing {

using VectorRow = std::map<std::string, std::string>;

// Every data row of ORVACCT_VECTORS_DIR/fileName; fails the test when the file is missing.
std::vector<VectorRow> readVectorRows(const std::string& fileName);

std::vector<std::uint8_t> hexToBytes(std::string_view hex);
std::string bytesToHex(const std::vector<std::uint8_t>& bytes);

}  // namespace orv::testing
