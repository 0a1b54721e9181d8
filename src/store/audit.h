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
// The log is bounded: an insert that takes it past kMaxRecords deletes records
// in the same transaction, down to kTrimTo: the oldest failure records
// ("loginFailed", "denied") first, other records only when there are too few
// of those to keep the bound.
//
// Failed logins without a session cannot flood it: attempts on a locked user
// name leave one record per lock period, and names that are no user at most
// kStrangerRecordsPerMinute records a minute plus one summary record.
#pragma once

#include <json/json.h>

#include <optional>
#include <string>

#include "util/caller.h"

namespace audit {

inline constexpr long long kMaxRecords = 100000;
inline constexpr long long kTrimTo = 99000;
// Failed logins of names that are no user: records a minute for the whole
// device before the failures go into the minute's summary record.
inline constexpr long long kStrangerRecordsPerMinute = 60;
// Client addresses the summary tracks (table loginStranger), oldest out first.
inline constexpr long long kMaxStrangerAddresses = 10000;
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

// A failed login of a name that is no user, from `address`: a "loginFailed"
// whose detail is {"reason": reason} while fewer than
// kStrangerRecordsPerMinute have been written in the current minute (counted
// in the program's table loginMinute, so that trimmed records still count);
// past that, the minute's one summary record (author and address empty,
// detail "reason" "unknown names", "further failures" N, "addresses" M) is
// written, or rewritten in place with the counts raised. M counts the
// addresses new to loginStranger in that minute.
void recordStrangerFailure(const std::string& address, const std::string& name,
                           const std::string& reason);

// An attempt on user name `name`, locked since the local time text
// `lockTime`: the first one of that lock writes a "loginFailed" with reason
// "locked"; each further one raises the count of that record's entry
// "further attempts" in place.
void recordLockedAttempt(const std::string& address, const std::string& name,
                         const std::string& lockTime);

// The local time text since which user name `name` is locked (its
// userLock row reached the policy's pwdTry less than `lockSeconds` ago), or
// nothing.
std::optional<std::string> lockedSince(const std::string& name, long long lockSeconds);

// A wrong password of user `name` outside a login (the old password of a
// password change), from `address`: counted in userLock as a failed login
// is, so it leads to the same lock (a series whose lock has run out starts
// afresh); recorded as "loginFailed" with `reason`, and as "lockout" with the
// count when it reaches the policy's pwdTry.
void countWrongPassword(const std::string& address, const std::string& name,
                        const std::string& reason);

// Once there are more than kMaxRecords records, deletes down to kTrimTo: the
// oldest failure records first; the oldest others only when the failure
// records are too few to bring the log within kMaxRecords (then down to
// kTrimTo together). The newest record (the one just written) always stays. Costs two index lookups while the log
// is below its bound; the count of records is taken only near it.
void trimLog();

// SQL condition that holds while the name given by the SQL expression
// `nameSql` is locked out by failed logins: its userLock row has reached the
// policy's pwdTry (secureConf.f_pwd) within the last `lockSeconds`.
std::string lockedCondition(const std::string& nameSql, long long lockSeconds);

}  // namespace audit
