#include <ctime>
#include <string>

#include "platform/local_time.h"

namespace orv::platform {

LocalDateTime localNow() {
  // Busy writers ask many times a second; the conversion is redone only when the second changes.
  thread_local std::time_t lastSecond = -1;
  thread_local LocalDateTime lastLocal;
  const std::time_t now = std::time(nullptr);
  if (now != lastSecond) {
    std::tm parts{};
    localtime_r(&now, &parts);
    lastLocal = {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
    lastSecond = now;
  }
  return lastLocal;
}

std::u16string generalDateText(const LocalDateTime& when) {
  std::u16string text;
  text.reserve(24);
  const auto number = [&text](int value, bool twoDigits) {
    if (value >= 1000) text += static_cast<char16_t>(u'0' + value / 1000 % 10);
    if (value >= 100) text += static_cast<char16_t>(u'0' + value / 100 % 10);
    if (value >= 10 || twoDigits) text += static_cast<char16_t>(u'0' + value / 10 % 10);
    text += static_cast<char16_t>(u'0' + value % 10);
  };
  number(when.month, false);
  text += u'/';
  number(when.day, false);
  text += u'/';
  number(when.year, false);
  text += u' ';
  number(when.hour % 12 == 0 ? 12 : when.hour % 12, false);
  text += u':';
  number(when.minute, true);
  text += u':';
  number(when.second, true);
  text += when.hour < 12 ? u" AM" : u" PM";
  return text;
}

}  // namespace orv::platform
