#include "util/local_time.h"

#include "util/number.h"

namespace korvan {

namespace {

// The leading integer of characters [pos, pos+width) of `text`, never reading
// past its end.
int fieldAt(std::string_view text, size_t pos, size_t width) {
  if (pos >= text.size()) return 0;
  return leadingInt(text.substr(pos, width));
}

}  // namespace

time_t secondsNoDst(std::string_view text) {
  struct tm t {};
  t.tm_year = fieldAt(text, 0, 4) - 1900;
  t.tm_mon = fieldAt(text, 5, 2) - 1;
  t.tm_mday = fieldAt(text, 8, 2);
  t.tm_hour = fieldAt(text, 11, 2);
  t.tm_min = fieldAt(text, 14, 2);
  t.tm_sec = fieldAt(text, 17, 2);
  t.tm_isdst = 0;
  return mktime(&t);
}

time_t secondsAsZoneSays(const std::string& text) {
  struct tm t {};
  if (strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &t) == nullptr) t = tm{};
  t.tm_isdst = -1;
  return mktime(&t);
}

std::string localText(time_t seconds) {
  struct tm local {};
  localtime_r(&seconds, &local);
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace korvan

void getDateTime_sec(std::string& str) { str = korvan::localText(time(nullptr)); }

int time_strToSecs(std::string timeStr) { return static_cast<int>(korvan::secondsNoDst(timeStr)); }
