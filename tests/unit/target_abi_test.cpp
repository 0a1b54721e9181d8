// Results that must not depend on the data model: dates after January 2038
// (narrow time_t) and packet numbers beyond 32 bits (narrow long), on every
// target, 32-bit ARM included.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "daemon/packets.h"
#include "util/local_time.h"
#include "util/number.h"

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

// A 32-bit long would saturate where a 64-bit one keeps the low bits.
TEST(DataModel, PacketNumbersBeyond32BitsKeepTheirLowBits) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"4294967295", 0xFFFFFFFFu}, {"4294967296", 0u}, {"-2147483649", 0x7FFFFFFFu}};
  for (const auto& [text, wire] : cases) {
    EXPECT_EQ(static_cast<uint32_t>(korvan::pak::wireInt(text)), wire) << text;
  }
}

// Numbers read from text stop at the limits of long long, one past them
// included, instead of wrapping around.
TEST(DataModel, LeadingIntegersStopAtTheLimits) {
  const std::pair<const char*, long long> cases[] = {
      {"9223372036854775807", LLONG_MAX},  {"9223372036854775808", LLONG_MAX},
      {"9223372036854775809x", LLONG_MAX}, {"-9223372036854775808", LLONG_MIN},
      {"-9223372036854775809", LLONG_MIN}, {" +42abc", 42}};
  for (const auto& [text, value] : cases) EXPECT_EQ(korvan::leadingInteger(text), value) << text;
}
