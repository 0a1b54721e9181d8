// Local date-time texts ("%Y-%m-%d %H:%M:%S" in the process's time zone) to
// seconds since the epoch and back.
//
// A local text names a moment only once a daylight-saving rule is chosen, and
// the two readers here choose differently, each for its users:
//  - secondsNoDst: daylight saving time is taken as NOT in effect, whatever
//    the zone says for that date. The switch daemon's clock packet is built
//    this way and the daemon expects it; in summer the result is one hour
//    later than the zone's reading.
//  - secondsAsZoneSays: the zone decides whether daylight saving time is in
//    effect on that date, as the texts this program stores (lock times,
//    password dates) were written by localText.
// Both go through mktime, so the hour skipped at the spring change is
// normalised forward; in the repeated autumn hour secondsAsZoneSays gets
// whichever of the two readings the C library's mktime picks. Stateless.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace korvan {

// Fixed-position read of "YYYY-MM-DD HH:MM:SS": each field is the leading
// integer of its characters (0-3, 5-6, 8-9, 11-12, 14-15, 17-18); the
// separators are not looked at and a field beyond the text's end reads as 0.
// Daylight saving time not in effect. mktime's -1 comes back unchanged.
time_t secondsNoDst(std::string_view text);

// strptime read of "%Y-%m-%d %H:%M:%S" with daylight saving time as the zone
// says. A text that does not parse reads as a cleared calendar record
// (year 1900, month 0, day 0); never fails.
time_t secondsAsZoneSays(const std::string& text);

// `seconds` as local "%Y-%m-%d %H:%M:%S" (always 19 characters for years
// 1000 to 9999).
std::string localText(time_t seconds);

}  // namespace korvan

// Current local date and time, "%Y-%m-%d %H:%M:%S" (always 19 characters).
void getDateTime_sec(std::string& str);

// The clock packet's seconds: korvan::secondsNoDst as a 32-bit integer.
int time_strToSecs(std::string timeStr);
