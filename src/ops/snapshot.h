// The configuration snapshot that every successful AJAX reply carries: the
// caller's view of the whole configuration, with the upkeep that goes with it
// (the reported server address, the console slots of online modules).
#pragma once

#include <json/json.h>

#include "util/request_context.h"
#include "util/json_text.h"
#include "util/params.h"

// The snapshot seen by the context's caller: curUser is the caller's own
// row, with the caller's token and no password; no user's password or token
// is listed. `serverIP` of the request (params.serverIp) is stored only for a level-3 caller.
// A level-3 caller's `users` rows carry `totp`: "1" for an account with a
// second factor, else "0" (no seed itself, ever).
// Below level 3, `users` holds the caller's own entry alone, `privs` the
// caller's group alone, and the lists `ips`.`ips` and `serverips`.`serverips`
// are empty. In normal mode (the context's device mode) it carries
// `firstLogin` true while the first-login flag of secureConf is "1". Its
// many-row lists (privs, users, serials, dogs, dogInfos) go to `lists` as
// finished text, the rest into `jsOData`; on failure neither changes.
void selAllTables(const RequestContext& context, const korvan::Params& params,
                  Json::Value& jsOData, korvan::JsonFragments& lists);
