#pragma once
// Log files written as the component writes them, for reading them back.
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace orv::testing {

// One record, as the writer writes it.
inline std::string logRecord(int number, const std::string& description, const std::string& date = "3/5/2002 2:07:09 PM") {
  return "+++++++++++++++++++++++++++++++++++++++++\r\nError Description: " + description + "\r\nError Number: " +
         std::to_string(number) + "\r\nModule Name: modMain\r\nProcedure Name: Sub Main()\r\nVersion Number: 1.2.3\r\nDate: " +
         date + "\r\n\r\n";
}

inline void writeLog(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  writeFile(file, bytes);
}

}  // namespace orv::testing
