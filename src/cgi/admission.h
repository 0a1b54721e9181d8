// Admission: the checks that every request passes before its handler, change
// action or transfer runs, written once for AJAX calls and file transfers.
//
// In order: the decoding of the request into the route's parameter struct,
// which checks the member shapes (util/params.h), the edited rights the route
// prepares, the device mode and the IP access list (one statement), the
// session check (unless the route is made without a session), the permission
// of the route's access rule, the first-login gate (auth/first_login.h), the
// number members the decoding judged, and the console a KVM session names
// (actions/console_uid.h). These only read, but for one
// record: a refusal by the permission check of a caller with a session is
// recorded as access "denied" (store/audit.h). Otherwise a refused request
// changes nothing, sends nothing and gets no snapshot.
#pragma once

#include <json/json.h>

#include <memory>
#include <string>

#include "cgi/routes.h"
#include "util/request_context.h"

// Throws CMyErr(err, "ip black list error(your ip is in the list)") when the
// IP access list `ips`, as CDB::selIPS() read it, refuses the client at
// address `client`.
void checkIPS(const Json::Value& ips, const std::string& client);

// Runs the checks for the request document `request` of route `route`
// (`type` as the request named it, for the refusal's trace record) and
// returns the context they admitted, with the decoded parameters in
// `params` (set by the decoding, before any other check); for a route made
// without a session the caller has only its address. Throws the CMyErr of
// the first refusal. With
// `deniedRecorded`, a permission refusal of a caller with a session writes its
// "denied" record in the open transaction and sets *deniedRecorded; without
// it admit() writes nothing.
RequestContext admit(const Route& route, const std::string& type, const Json::Value& request,
                     std::unique_ptr<korvan::Params>& params, bool* deniedRecorded = nullptr);

// The whole admission under one write transaction, so that the session check,
// the expiry sweep and the extension see and leave one state of the sessions:
// admit(), then `admitted` is set, then the sweep and, where the route says
// so, the extension of the caller's session; committed. A refusal rolls back
// and has written nothing, but a permission refusal of a caller with a
// session commits its "denied" record. A route that answers under a lock and cannot have
// the write lock within a second is admitted from a read transaction with
// neither sweep nor extension (store/lock_wait.h). The decoded parameters go
// to *decoded when it is given.
RequestContext admitRequest(const Route& route, const std::string& type, const Json::Value& request,
                            bool& admitted, std::unique_ptr<korvan::Params>* decoded = nullptr);
