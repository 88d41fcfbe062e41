#include "vector_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cipher/hex_text.h"

namespace orv::testing {
namespace {

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace

std::vector<VectorRow> readVectorRows(const std::string& fileName) {
  const std::string path = std::string(ORVACCT_VECTORS_DIR) + "/" + fileName;
  std::ifstream in(path);
  EXPECT_TRUE(in.good()) << "missing vector file " << path;
  std::vector<std::string> columns;
  std::vector<VectorRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> fields = splitTabs(line);
    if (columns.empty()) {
      columns = fields;
      continue;
    }
    EXPECT_EQ(fields.size(), columns.size()) << "malformed row in " << path << ": " << line;
    VectorRow row;
    for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i) row[columns[i]] = fields[i];
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::uint8_t> hexToBytes(std::string_view hex) {
  const std::string bytes = cipher::bytesFromHexText(hex);
  return {bytes.begin(), bytes.end()};
}

std::string bytesToHex(const std::vector<std::uint8_t>& bytes) {
  return cipher::toHexDigits(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace orv::testing
