// Who may make which request: the rules that a route's `access` names
// (cgi/routes.h states the rule of each request type and transfer), checked
// by the admission before any handler runs, any packet is sent or anything
// is stored. Types the table does not know are for level 3 alone.
#pragma once

#include <json/json.h>

#include <string_view>

#include "util/params.h"
#include "util/request_context.h"

// Who may make a request.
enum class Access {
  anyone,
  consoleViewer,      // right "1" or "3" on the module of dogPara.id
  consoleController,  // right "3" on the module of serialPara.dogID
  ownPassword,        // level 3, or the caller's own password alone
  operators,          // level 2 and 3
  administrators,     // level 3
};

// The refusal message of a request the caller may not make.
inline constexpr const char* kPermissionDenied = "permission denied";

// Whether `request`, a user update, sets the context caller's own password
// and changes nothing else (with the context's edited rights).
bool isOwnPasswordChange(const RequestContext& context, const korvan::Params& request);

// Returns when the context's caller is one of `who` for `request` (the
// decoded parameters; the console and own-password rules read them, the
// latter with the context's edited rights). Otherwise writes a trace record naming `type`
// and throws CMyErr(err, kPermissionDenied). Reads the database, never
// writes it.
void checkPermission(Access who, std::string_view type, const RequestContext& context,
                     const korvan::Params& request);
