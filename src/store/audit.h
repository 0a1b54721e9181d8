// Audit records: who reached which console, who logged in or failed to, and
// which system operations ran, written as log2 rows beside the change
// records, so that one query and one renderer serve both.
//
// An access record has `type` "access", a system record "system"; `typeSub`
// names the event and `typeSubCN` is its display text. The detail text is the
// entry list of the change records ({"nm","v1"} entries), so every record
// reads the same way. Every writer here runs its statements in whatever
// transaction the caller holds: an event and its record commit together.
//
// The log is bounded: an insert that takes it past kMaxRecords deletes the
// oldest records in the same transaction, down to kTrimTo.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"

namespace audit {

inline constexpr long long kMaxRecords = 100000;
inline constexpr long long kTrimTo = 99000;
// A failed login of a name that is no user is recorded at most once per
// client address within this many seconds.
inline constexpr long long kStrangerSeconds = 60;
// Names are recorded cut to this many bytes (never inside a UTF-8 character).
inline constexpr size_t kMaxRecordedName = 64;

// An audit event: its `typeSub` and its display text (`typeSubCN`), both
// stated where the event is recorded.
struct Event {
  const char* typeSub;
  const char* display;
};

// Appends the entry {"nm": label, "v1": value} to `entries`.
void addEntry(Json::Value& entries, const std::string& label, const std::string& value);

// Writes one "access" record of `event` by `caller` (author caller.name, from
// caller.address), with detail `entries`; then trims the log.
void recordAccess(const Caller& caller, const Event& event, const Json::Value& entries);
// The same with type "system".
void recordSystem(const Caller& caller, const Event& event, const Json::Value& entries);

// The detail entries that name console module `dogId` (a decimal text): its
// id and its name ("" when there is no such module).
Json::Value consoleEntries(const std::string& dogId);

// `name` cut to kMaxRecordedName bytes, at a character boundary.
std::string recordedName(const std::string& name);

// True when `name` is the name of a user.
bool isUser(const std::string& name);

// A failed login of a name that is no user, from `address`: records a
// "loginFailed" whose detail carries `reason` and the number of such
// failures from that address since its previous record, unless one was
// recorded less than kStrangerSeconds ago, in which case the failure is
// only counted.
void recordStrangerFailure(const std::string& address, const std::string& name,
                           const std::string& reason);

// Deletes the oldest records down to kTrimTo once there are more than
// kMaxRecords.
void trimLog();

// SQL condition that holds while the name given by the SQL expression
// `nameSql` is locked out by failed logins: its userLock row has reached the
// policy's pwdTry (secureConf.f_pwd) within the last `lockSeconds`.
std::string lockedCondition(const std::string& nameSql, long long lockSeconds);

}  // namespace audit
