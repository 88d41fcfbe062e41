#include <windows.h>

#include <string>

#include "platform/local_time.h"

namespace orv::platform {

LocalDateTime localNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::u16string generalDateText(const LocalDateTime& when) {
  SYSTEMTIME at{};
  at.wYear = static_cast<WORD>(when.year);
  at.wMonth = static_cast<WORD>(when.month);
  at.wDay = static_cast<WORD>(when.day);
  at.wHour = static_cast<WORD>(when.hour);
  at.wMinute = static_cast<WORD>(when.minute);
  at.wSecond = static_cast<WORD>(when.second);
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &at, nullptr, date, 128);
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &at, nullptr, time, 128);
  std::u16string text(reinterpret_cast<const char16_t*>(date));
  text += u' ';
  text += reinterpret_cast<const char16_t*>(time);
  return text;
}

}  // namespace orv::platform
