// The two readings of a local date-time text around the daylight-saving
// changes of 2026, and the way back to text.
#include "util/local_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

// The clock packet's reading (no daylight saving) is one hour later than the
// zone's wherever summer time is in effect. The hour skipped in spring is
// normalised forward by both; in the repeated autumn hour the zone's reading
// is the one this C library picks, the clock packet's is standard time.
TEST(LocalTime, ReadingsAroundDaylightSavingChanges) {
  const struct {
    const char* zone;
    const char* text;
    time_t noDst;
    time_t asZoneSays;
    const char* back;  // localText of the zone's reading
  } cases[] = {
      {"Europe/Berlin", "2026-03-29 01:30:00", 1774744200, 1774744200, "2026-03-29 01:30:00"},
      {"Europe/Berlin", "2026-03-29 02:30:00", 1774747800, 1774747800, "2026-03-29 03:30:00"},
      {"Europe/Berlin", "2026-03-29 03:30:00", 1774751400, 1774747800, "2026-03-29 03:30:00"},
      {"Europe/Berlin", "2026-10-25 01:30:00", 1792888200, 1792884600, "2026-10-25 01:30:00"},
      {"Europe/Berlin", "2026-10-25 02:30:00", 1792891800, 1792891800, "2026-10-25 02:30:00"},
      {"Europe/Berlin", "2026-10-25 03:30:00", 1792895400, 1792895400, "2026-10-25 03:30:00"},
      {"America/New_York", "2026-03-08 01:30:00", 1772951400, 1772951400, "2026-03-08 01:30:00"},
      {"America/New_York", "2026-03-08 02:30:00", 1772955000, 1772955000, "2026-03-08 03:30:00"},
      {"America/New_York", "2026-03-08 03:30:00", 1772958600, 1772955000, "2026-03-08 03:30:00"},
      {"America/New_York", "2026-11-01 00:30:00", 1793511000, 1793507400, "2026-11-01 00:30:00"},
      {"America/New_York", "2026-11-01 01:30:00", 1793514600, 1793514600, "2026-11-01 01:30:00"},
      {"America/New_York", "2026-11-01 02:30:00", 1793518200, 1793518200, "2026-11-01 02:30:00"},
      // Separators are not looked at by the clock reading; the zone's reading
      // does not parse the text and takes a cleared calendar record.
      {"UTC", "2026/03/07T09.05.02", 1772874302, -2209075200, "1899-12-31 00:00:00"},
      // A short text: the clock reading's missing fields are 0.
      {"UTC", "2026-03", 1772236800, -2209075200, "1899-12-31 00:00:00"},
  };
  for (const auto& c : cases) {
    setenv("TZ", c.zone, 1);
    tzset();
    EXPECT_EQ(korvan::secondsNoDst(c.text), c.noDst) << c.zone << " " << c.text;
    EXPECT_EQ(korvan::secondsAsZoneSays(c.text), c.asZoneSays) << c.zone << " " << c.text;
    EXPECT_EQ(korvan::localText(c.asZoneSays), c.back) << c.zone << " " << c.text;
  }
  unsetenv("TZ");
  tzset();
}
