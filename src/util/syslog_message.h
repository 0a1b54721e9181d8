// The operation-log records as syslog messages (RFC 5424), one per record.
//
//   <PRI>1 TIMESTAMP HOSTNAME korvan - MSGID [korvan@32473 ...][korvanChange@32473 ...] MSG
//
// MSGID is the record's request type (`typeSub`), TIMESTAMP the record's local
// time with the zone's offset, PRI the facility (authpriv for access records,
// the collector's own for the rest) and a severity: warning for refusals and
// failed logins, notice otherwise. The element korvan@32473 holds the record's
// id, user, source address, type and console; korvanChange@32473 the detail
// entries as e1.nm, e1.v1, e1.v2, e2.nm, ... in the record's order. MSG is the
// record's display text. Values whose label names a password, token, secret,
// seed or private key never leave: they read "(withheld)".
//
// 32473 is the private enterprise number set aside for examples; the element
// names are the program's own.
#pragma once

#include <string>

namespace logfwd {

// Facility numbers (RFC 5424 section 6.2.1).
inline constexpr int kFacilityAuthpriv = 10;
inline constexpr int kFacilityLocal0 = 16;

// A log2 row as plain values.
struct Record {
  long long id = 0;
  std::string user;
  std::string time;  // local "YYYY-MM-DD HH:MM:SS"
  std::string ip;
  std::string type;  // "access", "system" or a change's type
  std::string typeSub;
  std::string typeSubCN;
  std::string detail;  // the detail text (store/oplog.h)
};

// The facility number of a name ("user", "daemon", "auth", "authpriv",
// "syslog", "local0" ... "local7"); -1 for any other text.
int facilityNumber(const std::string& name);
// The name of a facility number facilityNumber() accepts; "" otherwise.
std::string facilityName(int number);

// Why a message is sent: the record itself, or the record again once its
// outcome was completed after it had been sent (element korvan@32473 then
// carries completion="1").
enum class Send { record, completion };

// The message of `record`; `facility` applies to records that are not access
// records. `host` is the HOSTNAME field ("-" when empty).
std::string recordMessage(const Record& record, int facility, const std::string& host,
                          Send send = Send::record);

// A message of the program's own (a gap, a test), at the time `now`:
// MSGID `msgId`, element korvan@32473 with `params` (already of the form
// ` name="value"...`, see sdParam), severity warning when `warning`.
std::string noticeMessage(const std::string& msgId, const std::string& params,
                          const std::string& text, int facility, const std::string& host,
                          time_t now, bool warning);

// ` name="value"` with the value escaped as RFC 5424 asks ('"', '\' and ']'
// behind a backslash).
std::string sdParam(const std::string& name, const std::string& value);

// The RFC 5424 TIMESTAMP of local time `seconds`: "2026-12-07T19:42:23+01:00".
std::string timestamp(time_t seconds);

}  // namespace logfwd
