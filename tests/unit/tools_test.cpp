// Date-time texts and address conversions, under UTC and under a zone with
// daylight saving time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>

#include "util/paths.h"
#include "util/tools.h"

namespace {

class ZoneGuard {
 public:
  explicit ZoneGuard(const char* zone) {
    const char* old = getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneGuard() {
    if (had_) setenv("TZ", old_.c_str(), 1); else unsetenv("TZ");
    tzset();
  }
 private:
  bool had_ = false;
  std::string old_;
};

TEST(Address, KnownValues) {
  EXPECT_EQ(CTools::IP_strToInt("192.168.1.10"), "167880896");
  EXPECT_EQ(CTools::IP_strToInt("255.255.255.0"), "16777215");
  EXPECT_EQ(CTools::IP_strToInt("0.0.0.0"), "0");
  EXPECT_EQ(CTools::IP_strToInt("255.255.255.255"), "4294967295");
  EXPECT_EQ(CTools::IP_intToStr("167880896"), "192.168.1.10");
  EXPECT_EQ(CTools::IP_intToStr("16777215"), "255.255.255.0");
  EXPECT_EQ(CTools::IP_intToStr("0"), "0.0.0.0");
  EXPECT_EQ(CTools::IP_intToStr("4294967295"), "255.255.255.255");
}

TEST(Address, OddInput) {
  EXPECT_EQ(CTools::IP_intToStr("abc"), "0.0.0.0");
  EXPECT_EQ(CTools::IP_intToStr("99999999999"), "255.255.255.255");
  EXPECT_EQ(CTools::IP_intToStr("  16777343xyz"), "127.0.0.1");
  // A sign is read as strtoul reads it: minus negates modulo 2^32, and only a
  // magnitude beyond 32 bits saturates.
  EXPECT_EQ(CTools::IP_intToStr("+167880896"), "192.168.1.10");
  EXPECT_EQ(CTools::IP_intToStr("-1"), "255.255.255.255");
  EXPECT_EQ(CTools::IP_intToStr("-5"), "251.255.255.255");
  EXPECT_EQ(CTools::IP_intToStr(" -4294967295"), "1.0.0.0");
  EXPECT_EQ(CTools::IP_intToStr("-4294967296"), "255.255.255.255");
  EXPECT_EQ(CTools::IP_intToStr("-0"), "0.0.0.0");
  EXPECT_EQ(CTools::IP_intToStr("- 5"), "0.0.0.0");
  EXPECT_EQ(CTools::IP_strToInt(""), "0");
  EXPECT_EQ(CTools::IP_strToInt("not an address"), "0");
  EXPECT_EQ(CTools::IP_strToInt("10.1"), CTools::IP_strToInt("10.0.0.1"));  // inet_aton short form
  EXPECT_EQ(CTools::IP_strToInt("0x7f.1"), CTools::IP_strToInt("127.0.0.1"));
}

TEST(Address, RoundTrip) {
  for (const char* ip : {"1.2.3.4", "10.0.0.255", "172.16.254.1", "128.0.0.1"}) {
    EXPECT_EQ(CTools::IP_intToStr(CTools::IP_strToInt(ip)), ip);
  }
}

TEST(DateTime, SecondsTextShape) {
  std::string text;
  getDateTime_sec(text);
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << text;
}

TEST(DateTime, MilliSecondsUnpadded) {
  std::string text;
  getDateTime_milliSec(text);
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-[1-9]\d?-[1-9]\d? \d\d?:\d\d?:\d\d?:\d{1,3})")))
      << text;
}

TEST(DateTime, StrToSecsUtc) {
  ZoneGuard zone("UTC");
  EXPECT_EQ(time_strToSecs("1970-01-01 00:00:10"), 10);
  EXPECT_EQ(time_strToSecs("2026-03-07 09:05:02"), 1772874302);
  EXPECT_EQ(time_strToSecs("2026/03/07T09.05.02"), 1772874302);  // separators not looked at
  EXPECT_EQ(time_strToSecs("2026-13-01 00:00:00"), time_strToSecs("2027-01-01 00:00:00"));
}

TEST(DateTime, StrToSecsShortTextStopsAtItsEnd) {
  ZoneGuard zone("UTC");
  EXPECT_EQ(time_strToSecs("2026-03-07"), time_strToSecs("2026-03-07 00:00:00"));
  EXPECT_EQ(time_strToSecs("2026-0"), time_strToSecs("2025-12-00 00:00:00"));
  std::string longer = "2026-03-07 09:05:02 and more text that is ignored";
  EXPECT_EQ(time_strToSecs(longer), 1772874302);
}

TEST(DateTime, StrToSecsTakesNoDaylightSaving) {
  ZoneGuard zone("Europe/Berlin");
  // 1 July is in summer time; the fields are read with DST taken as not in
  // effect (UTC+1), so the result is one hour later than the summer-time
  // wall-clock moment (UTC+2).
  struct tm t {};
  t.tm_year = 126; t.tm_mon = 6; t.tm_mday = 1; t.tm_hour = 12; t.tm_isdst = 0;
  EXPECT_EQ(time_strToSecs("2026-07-01 12:00:00"), static_cast<int>(mktime(&t)));
  EXPECT_EQ(time_strToSecs("2026-07-01 12:00:00"), 1782903600);  // 11:00 UTC, not 10:00
  EXPECT_EQ(time_strToSecs("2026-01-01 12:00:00"), 1767265200);  // winter: 11:00 UTC
}

TEST(JsonArrays, UniqueAppendDeleteToString) {
  Json::Value list;
  CTools::jsonArray_uniqueAppend(list, "10.0.0.1");
  CTools::jsonArray_uniqueAppend(list, "10.0.0.2");
  CTools::jsonArray_uniqueAppend(list, "10.0.0.1");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(CTools::jsonArray_toString(list, "<br>"), "10.0.0.1 <br> 10.0.0.2 <br> ");
  CTools::jsonArray_alwaysDelete(list, "10.0.0.1");
  CTools::jsonArray_alwaysDelete(list, "10.9.9.9");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["ip"], "10.0.0.2");
  Json::Value empty;
  EXPECT_EQ(CTools::jsonArray_toString(empty, "<br>"), "");
}

TEST(Paths, RootAndPort) {
  unsetenv("KORVAN_ROOT");
  EXPECT_EQ(korvan::resolvePath("/usr/app/korvan.db"), "/usr/app/korvan.db");
  setenv("KORVAN_ROOT", "/x/root/", 1);
  EXPECT_EQ(korvan::resolvePath("/usr/app/korvan.db"), "/x/root/usr/app/korvan.db");
  EXPECT_EQ(korvan::resolvePath("/sbin/reboot"), "/x/root/sbin/reboot");
  EXPECT_EQ(korvan::resolvePath("/tmp/cgicAB"), "/tmp/cgicAB");
  unsetenv("KORVAN_ROOT");
  setenv("KORVAN_ARM_PORT", "6123", 1);
  EXPECT_EQ(korvan::armPort(), 6123);
  setenv("KORVAN_ARM_PORT", "70000", 1);
  EXPECT_EQ(korvan::armPort(), 5555);
  unsetenv("KORVAN_ARM_PORT");
  EXPECT_EQ(korvan::armPort(), 5555);
}

}  // namespace
