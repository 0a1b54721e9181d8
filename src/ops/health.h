// "health": how the switch service is doing, for the browser's health line.
//
// Two signals, neither enough alone: the last real exchange of packets that
// any request made with the service (store/health.h), and a connect check
// made now, bounded at kConnectCheckMs, that sends no byte (the protocol
// has no packet that only asks). A service that accepts connections but
// stopped answering passes the second and fails the first; one that is gone
// since its last good exchange fails the second. The request writes
// nothing and does not extend the session: a page that polls it must not
// keep its session alive.
#pragma once

#include <json/json.h>

#include "util/request_context.h"
#include "util/request_params.h"

namespace health {
inline constexpr int kConnectCheckMs = 300;
}

// jsOData.health: reachable (true unless the connect check or the last
// exchange failed), connect ("ok" or the connect failure), checked (the
// check's local time), and exchange: null when no request has exchanged a
// packet yet, else time (local), answered ("1" when a reply came) and
// outcome ("ok" or the failure).
void onHealth(const RequestContext& context, const korvan::NoParams& params, Json::Value& jsOData);
