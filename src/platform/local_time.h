#pragma once
// The local date and time, as the log writer and the purge read them.
#include <functional>
#include <string>

namespace orv {

struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

using Clock = std::function<LocalDateTime()>;

}  // namespace orv

namespace orv::platform {

LocalDateTime localNow();

// Short date, a space, long time: the user's settings on Windows; elsewhere the United
// States form "3/5/2002 2:07:09 PM".
std::u16string generalDateText(const LocalDateTime& when);

}  // namespace orv::platform
