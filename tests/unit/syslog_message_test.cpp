// The syslog form of a record: priority, escaping, the fields that must never
// leave the device, and the time zone of the timestamp.
#include <gtest/gtest.h>

#include <cstdlib>

#include "daemon/syslog_transport.h"
#include "util/syslog_message.h"

namespace {

using logfwd::Record;

Record recordOf(const std::string& type, const std::string& typeSub, const std::string& detail) {
  Record r;
  r.id = 42;
  r.user = "ad\"min";
  r.time = "2026-03-07 09:05:02";
  r.ip = "10.0.0.7";
  r.type = type;
  r.typeSub = typeSub;
  r.typeSubCN = "display";
  r.detail = detail;
  return r;
}

TEST(SyslogMessage, RecordsBecomeRfc5424Messages) {
  const struct {
    Record record;
    logfwd::Send send;
    std::vector<std::string> contains;
    std::vector<std::string> absent;
  } cases[] = {
      // Access records go to authpriv (10); refusals are warnings.
      {recordOf("access", "loginFailed", R"([{"nm":"reason","v1":"wrong password"}])"),
       logfwd::Send::record,
       {"<84>1 ", " korvan - loginFailed [korvan@32473 id=\"42\" user=\"ad\\\"min\"",
        "src=\"10.0.0.7\" type=\"access\"]", "[korvanChange@32473 e1.nm=\"reason\"",
        "] display"},
       {"completion"}},
      // Others the collector's facility (local3 = 19), notice; console named.
      {recordOf("access", "qt", R"([{"nm":"console ID","v1":"3"},{"nm":"console","v1":"web]01"}])"),
       logfwd::Send::record,
       {"<85>1 ", "consoleId=\"3\"", "console=\"web\\]01\""},
       {}},
      {recordOf("system", "setTime", R"([{"nm":"time","v1":"a\\b","v2":"c"}])"),
       logfwd::Send::completion,
       {"<157>1 ", "e1.v1=\"a\\\\b\" e1.v2=\"c\"", "completion=\"1\"]"},
       {}},
      // Credentials never leave, whatever a record builder put there.
      {recordOf("updUser", "updUser",
                R"([{"nm":"Password","v1":"old-secret","v2":"new-secret"},{"nm":"bind secret","v1":"s3"},{"nm":"Name","v1":"kept"}])"),
       logfwd::Send::record,
       {"e1.v1=\"(withheld)\" e1.v2=\"(withheld)\"", "e2.v1=\"(withheld)\"", "e3.v1=\"kept\""},
       {"old-secret", "new-secret", "s3"}},
      // A detail that is no list still gives a message.
      {recordOf("system", "x y", "not json"), logfwd::Send::record,
       {" korvan - xy [korvan@32473 id=\"42\""}, {"korvanChange"}},
  };
  for (const auto& c : cases) {
    const std::string m = logfwd::recordMessage(c.record, 19, "switch1", c.send);
    for (const std::string& part : c.contains) EXPECT_NE(m.find(part), std::string::npos) << part << "\n" << m;
    for (const std::string& part : c.absent) EXPECT_EQ(m.find(part), std::string::npos) << part << "\n" << m;
  }
}

TEST(SyslogMessage, TheTimestampCarriesTheZone) {
  const char* saved = getenv("TZ");
  const std::string before = saved ? saved : "";
  for (const auto& [zone, text] : {std::pair<const char*, const char*>{"UTC0", "2026-03-07T09:05:02+00:00"},
                                   {"CET-1", "2026-03-07T09:05:02+01:00"},
                                   {"NST+3:30", "2026-03-07T09:05:02-03:30"}}) {
    setenv("TZ", zone, 1);
    tzset();
    const std::string m = logfwd::recordMessage(recordOf("system", "s", "[]"), 16, "");
    EXPECT_NE(m.find(std::string(" ") + text + " - korvan "), std::string::npos) << m;
  }
  saved ? setenv("TZ", before.c_str(), 1) : unsetenv("TZ");
  tzset();
}

TEST(SyslogMessage, FacilityNamesAndCaTexts) {
  EXPECT_EQ(logfwd::facilityNumber("local7"), 23);
  EXPECT_EQ(logfwd::facilityName(logfwd::facilityNumber("authpriv")), "authpriv");
  EXPECT_EQ(logfwd::facilityNumber("kern"), -1);
  EXPECT_FALSE(logfwd::caTextValid(""));
  EXPECT_FALSE(logfwd::caTextValid("-----BEGIN CERTIFICATE-----\nAAAA\n-----END CERTIFICATE-----\n"));
}

}  // namespace
