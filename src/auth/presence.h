// Who is on the switch now: the open sessions, and who uses each console.
//
// A session's address is stored at login and its last request with every
// extension of its expiry (auth/session.h); a module keeps who was granted
// its last KVM session and when (ops/access.h), and dog2.serialUserID who
// holds its serial console. These handlers only read them, except
// onEndSession.
#pragma once

#include <json/json.h>

#include "util/request_context.h"
#include "util/request_params.h"

// "selSessions": jsOData.sessions, the open sessions (not expired), ordered
// by user name: userID, userNM, ip (the address of the login), since (the
// login's local time), lastRequest (local time of the last request that
// extended it; "" when unknown) and own ("1" for the caller's). Below level
// 3 the caller sees its own session alone.
void onSelSessions(const RequestContext& context, const korvan::NoParams& params,
                   Json::Value& jsOData);

// "endSession": closes the open session of user `sessionPara`.`id` at once
// (its next request is refused as an expired one's) and records access
// "endSession" naming the user and the session's address, in one
// transaction. A user without an open session is refused with
// CMyErr(warning, kNoOpenSession) and nothing is written. KVM sessions the
// daemon granted are the daemon's and go on.
inline constexpr const char* kNoOpenSession = "this user has no open session";
void onEndSession(const RequestContext& context, const korvan::SessionParams& params,
                  Json::Value& jsOData);

// "selConsoles": jsOData.consoles, the console modules the caller has a
// right on ("1" or "3"), by id: id, nm, kvmUser and kvmTime (the last KVM
// session granted on it; "" when none), serialUser (the name of the holder
// of its serial console, "" when free).
void onSelConsoles(const RequestContext& context, const korvan::NoParams& params,
                   Json::Value& jsOData);
