// Sessions: each user row holds at most one session (status 1, token,
// expireTime in epoch seconds). Every checked request slides the expiry to
// kIdleSeconds from now; a session lapses when a request of anyone arrives
// after its expireTime. The sweep, check and extension are CDB members
// (store/db.h), run in that order by checkSession for every request.
#pragma once

#include <json/json.h>

namespace session {
// Idle window of a session, in seconds.
inline constexpr long kIdleSeconds = 600;
}  // namespace session

// The session step of a request: the expiry sweep, the token check and the
// expiry extension (CDB::updateAllUserStatusByExpire, checkToken,
// updateExpire) in one write transaction, so that they see and leave one
// state of the sessions. A refused session throws the check's CMyErr with
// the sweep stored; a lockErr leaves nothing stored.
void checkSession(Json::Value& jsIData, Json::Value& jsOData);

// Handler of "logout": closes the session of `userID` (status 0). Token and
// expiry stay; a user id that does not exist changes nothing.
void onLogout(Json::Value& jsIData, Json::Value& jsOData);

// Handler of "ref": does nothing. The request's effect is the session check
// and extension the dispatcher has already run, and its reply the snapshot.
void onRef(Json::Value& jsIData, Json::Value& jsOData);

// True when `user`.`id` and `user`.`token` of the request name a logged-in
// user whose expiry is not past and whose group exists. Never throws: a
// malformed request or a database failure gives false. Used where the
// dispatcher must know about the session without the usual check having run.
bool hasOpenSession(const Json::Value& jsIData) noexcept;
