#include <ctime>
#include <string>

#include "platform/local_time.h"

namespace orv {

LocalDateTime localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::u16string generalDateText(const LocalDateTime& when) {
  const int hour12 = when.hour % 12 == 0 ? 12 : when.hour % 12;
  char text[64];
  std::snprintf(text, sizeof text, "%d/%d/%d %d:%02d:%02d %s", when.month, when.day, when.year, hour12, when.minute,
                when.second, when.hour < 12 ? "AM" : "PM");
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace orv
