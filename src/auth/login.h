// Login: the "login" request, failed-login counting with a temporary lock per
// user name, the factory-mode rule, the password age, and the start of the
// session.
#pragma once

#include <json/json.h>

#include <ctime>
#include <string>

#include "util/caller.h"
#include "util/request_context.h"
#include "util/request_params.h"

// Handler of "login": checks the credentials, stores the user's `timezone`
// and opens the session; in factory mode (`mode`) only super administrators
// log in. Returns the logged-in user as the request's Caller, from
// `address`. Throws CMyErr(err) on a refused login; the session is then left as
// it was. A name of more than kMaxNameBytes is refused before anything is
// written. The request document is only read, for the trace records that
// print it.
// Every other outcome is recorded (store/audit.h) in the transaction that
// stores it: "login", "loginFailed" (the reason, never the password),
// "lockout" with the failure count; attempts on a locked user name as one
// record per lock, and the failures of names that are no user under the
// device-wide rate rule (audit::recordStrangerFailure).
Caller onLogin(DeviceMode mode, const korvan::LoginParams& params, Json::Value& jsOData,
               const std::string& address = "");

namespace login {

// Seconds after the lock time during which a locked user name is refused,
// the bound included.
inline constexpr double kLockSeconds = 1200;

// The record of a session that a login opened, local or directory.
inline constexpr const char* kLoginRecordType = "login";
inline constexpr const char* kLoginRecordText = "user login";

// Records a failed login of `name` (local or directory) with `reason`: in
// full for a user, under the device-wide rate rule of
// audit::recordStrangerFailure for any other name, since anyone without a
// session can cause it.
void recordFailure(const std::string& address, const std::string& name, const std::string& reason);

// The longest login name that is tested and counted, in bytes.
inline constexpr size_t kMaxNameBytes = 256;

// A fresh session token: 16 bytes from the operating system's random source
// as 32 lower-case hexadecimal characters. Throws CMyErr(err) when no random
// bytes can be had; a predictable token is never handed out.
std::string newSessionToken();

// A member of the password policy document as a number: its text form's
// leading integer (util/number.h). A member that is missing, not a number or text, or a
// document that is not an object, counts as 0.
int policyNumber(const Json::Value& policy, const char* member);

// True when `attempt` (the number this attempt has if it fails) is beyond
// `pwdTry` and the lock check applies. pwdTry of 0 or less never locks.
bool lockCheckDue(int pwdTry, int attempt);
// True when a lock set `elapsed` seconds ago still holds.
bool stillLocked(double elapsed);

// How a failed attempt numbered `attempt` is recorded: the first failure of
// a name creates its row; one at or beyond `pwdTry` also renews the lock time;
// others only store the count.
enum class FailureRecord { insertFirst, renewLockTime, countOnly };
FailureRecord failureRecord(int attempt, int pwdTry);

// True when a password set `elapsed` seconds ago is older than `pwdExpireDays`
// days. A lifetime of 0 or less never expires.
bool passwordExpired(int pwdExpireDays, double elapsed);

// A copy of `request` in which every member named "pw" or "otp", at any
// depth, reads "***": the trace log never receives a password, nor a
// second-factor code that a refused password left unspent.
Json::Value withoutPasswords(const Json::Value& request);

}  // namespace login
