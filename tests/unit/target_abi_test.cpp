// Dates after January 2038 on every target, 32-bit ARM (narrow time_t) included.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "util/tools.h"

// The clock packet's unsigned 32-bit field holds dates up to 2106. Daylight
// saving time is taken as not in effect, in the skipped and repeated hours too.
TEST(DataModel, LocalDateTimesAcross2038) {
  const struct {
    const char* zone;
    const char* text;
    uint32_t seconds;
  } cases[] = {
      {"UTC", "2038-01-19 03:14:07", 2147483647u},
      {"UTC", "2038-01-19 03:14:08", 2147483648u},
      {"UTC", "2040-01-01 00:00:00", 2208988800u},
      {"Europe/Berlin", "2040-07-01 12:00:00", 2224753200u},
      {"Europe/Berlin", "2040-03-25 02:30:00", 2216251800u},
      {"America/New_York", "2039-11-06 01:30:00", 2204173800u},
  };
  for (const auto& c : cases) {
    setenv("TZ", c.zone, 1);
    tzset();
    EXPECT_EQ(static_cast<uint32_t>(time_strToSecs(c.text)), c.seconds) << c.zone << " " << c.text;
  }
  unsetenv("TZ");
  tzset();
}
