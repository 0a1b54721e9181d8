// The configuration snapshot that every successful AJAX reply carries: the
// caller's view of the whole configuration, with the upkeep that goes with it
// (the reported server address, the console slots of online modules).
#pragma once

#include <json/json.h>

#include "util/caller.h"
#include "util/json_text.h"

// The snapshot seen by `caller`: curUser is the caller's own row, with the
// caller's token and no password; no user's password or token is listed.
// `serverIP` of the request is stored only for a level-3 caller. In normal
// mode it carries `firstLogin` true while the first-login flag of secureConf
// is "1". Its many-row lists (privs, users, serials, dogs, dogInfos) go to
// `lists` as finished text, the rest into `jsOData`; on failure neither
// changes.
void selAllTables(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData,
                  korvan::JsonFragments& lists);
