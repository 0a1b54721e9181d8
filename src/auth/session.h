// Sessions: each user row holds at most one session (status 1, token,
// expireTime in epoch seconds). Every checked request slides the expiry to
// kIdleSeconds from now; a session lapses when a request of anyone arrives
// after its expireTime. The check, sweep and extension are CDB members
// (store/db.h). The AJAX dispatcher runs the check (which reads only) before
// anything else, and the sweep and extension only for a request it admits.
#pragma once

#include <json/json.h>

#include "util/caller.h"

namespace session {
// Idle window of a session, in seconds.
inline constexpr long kIdleSeconds = 600;
}  // namespace session

// Handler of "logout": closes the caller's session (status 0). Token and
// expiry stay.
void onLogout(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);

// Handler of "ref": does nothing. The request's effect is the session check
// and extension the dispatcher has already run, and its reply the snapshot.
void onRef(Json::Value& jsIData, Json::Value& jsOData);
