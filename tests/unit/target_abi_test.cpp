// Results that depend on the processor's data model and must not: dates after
// January 2038 (time_t is 32 bits on 32-bit ARM unless widened) and decimal
// texts beyond 32 bits read into packet fields (a 32-bit long saturates where
// a 64-bit one wraps). Run on every target, the emulated ARM builds included.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "daemon/packets.h"
#include "util/tools.h"

namespace {

// Sets TZ for the life of the object.
class ScopedZone {
 public:
  explicit ScopedZone(const char* zone) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedZone() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedZone(const ScopedZone&) = delete;
  ScopedZone& operator=(const ScopedZone&) = delete;

 private:
  bool had_ = false;
  std::string old_;
};

// The clock packet carries time_strToSecs as an unsigned 32-bit field, which
// holds dates up to 2106.
TEST(DataModel, LocalDateTimesAcross2038) {
  const struct {
    const char* zone;
    const char* text;
    uint32_t seconds;
  } cases[] = {
      {"UTC", "2038-01-19 03:14:07", 2147483647u},
      {"UTC", "2038-01-19 03:14:08", 2147483648u},
      {"UTC", "2040-01-01 00:00:00", 2208988800u},
      // Daylight saving time is taken as not in effect: in summer, in the hour
      // skipped in spring and in the hour repeated in autumn.
      {"Europe/Berlin", "2040-07-01 12:00:00", 2224753200u},
      {"Europe/Berlin", "2040-03-25 02:30:00", 2216251800u},
      {"America/New_York", "2039-11-06 01:30:00", 2204173800u},
  };
  for (const auto& c : cases) {
    ScopedZone zone(c.zone);
    EXPECT_EQ(static_cast<uint32_t>(time_strToSecs(c.text)), c.seconds) << c.zone << " " << c.text;
  }
}

TEST(DataModel, PacketNumbersBeyond32BitsAreCutToTheirLowBits) {
  const struct {
    const char* text;
    uint32_t wire;
  } cases[] = {
      {"2147483648", 0x80000000u},  {"4294967295", 0xFFFFFFFFu},
      {"4294967296", 0u},           {"-2147483649", 0x7FFFFFFFu},
      {"99999999999999999999", 0xFFFFFFFFu},  // beyond 64 bits: saturates first
      {"-99999999999999999999", 0u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<uint32_t>(korvan::pak::wireInt(c.text)), c.wire) << c.text;
  }
}

}  // namespace
