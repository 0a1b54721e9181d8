// Sessions: each user row holds at most one session (status 1, the token's
// hash (util/token_hash.h), expireTime in epoch seconds). Every checked request slides the expiry to
// kIdleSeconds from now; a session lapses when a request of anyone arrives
// after its expireTime. The AJAX dispatcher runs the check (which reads only) before
// anything else, and the sweep and extension only for a request it admits.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"
#include "util/request_context.h"
#include "util/request_params.h"

namespace session {

// Idle window of a session, in seconds.
inline constexpr long kIdleSeconds = 600;

// The refusal of a request without an open session.
inline constexpr const char* kSessionRefused = "curUser has loginned or idle timeout";

// The session check: `user`.`id` and `user`.`token` must name a logged-in
// user whose expiry is not past and whose group exists, and a `userID` that
// is present must equal `user`.`id`. The token is compared with the stored
// hash in constant time. Returns that user as a Caller holding the presented
// token (address left empty). Reads only; throws CMyErr(err, kSessionRefused).
Caller checkToken(const korvan::Params& request);

// The Caller of user `id` holding `token` (no session check), or a
// CMyErr(err, kSessionRefused) when the user or its group is gone.
Caller callerOf(const std::string& id, const std::string& token);

// Closes every open session whose expiry has passed (status 0).
void updateAllUserStatusByExpire();

// Moves the expiry of the caller's open session to now + kIdleSeconds, unless
// the check that made `caller` read that expiry already.
void updateExpire(const Caller& caller);

}  // namespace session

// Handler of "logout": closes the caller's session (status 0). Token and
// expiry stay.
void onLogout(const RequestContext& context, const korvan::NoParams& params, Json::Value& jsOData);

// Handler of "ref": does nothing. The request's effect is the session check
// and extension the dispatcher has already run, and its reply the snapshot.
void onRef(const RequestContext& context, const korvan::NoParams& params, Json::Value& jsOData);
