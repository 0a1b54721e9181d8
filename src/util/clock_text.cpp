#include "util/clock_text.h"

#include <cstdint>

#include "util/local_time.h"
#include "util/myerr.h"

namespace korvan {

namespace {

// The number of the `width` digits at `pos`, or -1 when one is no digit.
int digits(std::string_view text, size_t pos, size_t width) {
  int value = 0;
  for (size_t i = pos; i < pos + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

int daysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

bool isClockText(std::string_view text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
      text[13] != ':' || text[16] != ':') {
    return false;
  }
  const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
  const int hour = digits(text, 11, 2), minute = digits(text, 14, 2), second = digits(text, 17, 2);
  if (year < 0 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
      hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return false;
  }
  // The fixed layout orders texts as it orders moments.
  if (text < "2000-01-01 00:00:00" || text > "2038-01-19 03:14:07") return false;
  // West of Greenwich the last local seconds of the range lie past the
  // field's end.
  const long long seconds = static_cast<long long>(secondsNoDst(text));
  return seconds >= 0 && seconds <= INT32_MAX;
}

void checkClockText(std::string_view text) {
  if (!isClockText(text)) throw CMyErr(CMyErr::warning, "invalid time: time2");
}

}  // namespace korvan
