// The clock value a caller may set: a local date-time text the switch daemon's
// clock packet can carry.
#pragma once

#include <string_view>

namespace korvan {

// True when `text` is exactly "YYYY-MM-DD HH:MM:SS" (digits, "-", " ", ":"),
// names a date of the calendar (leap years included) and a time of day
// (seconds 00 to 59), lies from 2000-01-01 00:00:00 to 2038-01-19 03:14:07,
// and its packet seconds (secondsNoDst, util/local_time.h) fit a signed
// 32-bit field in the process's time zone.
bool isClockText(std::string_view text);

// Throws CMyErr(warning, "invalid time: time2") unless isClockText(text).
void checkClockText(std::string_view text);

}  // namespace korvan
