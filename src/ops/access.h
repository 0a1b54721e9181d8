// Operations whose effect must not happen without its audit record
// (store/audit.h): the record commits, marked "outcome unknown", before the
// daemon is told, and is completed with the outcome afterwards: plain on
// success, "failed: <message>" when the daemon refused or could not be
// reached (store/journal.h). A "lockErr" reply means nothing was sent and
// nothing stored. A process killed while the daemon acts leaves the record
// reading "outcome unknown"; the action is never sent again.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"
#include "util/request_context.h"
#include "util/request_params.h"

// "qt": asks the daemon for a KVM session on `dogPara`.`id` with the stored
// module's `consoleUid` (onQt, ops/ops.h), recorded as access "kvm" with the
// console's id and name.
void onGrantKvm(const RequestContext& context, const korvan::KvmParams& params,
                Json::Value& jsOData);

// "setTime" (recorded with the new time, member `time2`) and "restart".
void onSetTimeRecorded(const RequestContext& context, const korvan::SetTimeParams& params,
                       Json::Value& jsOData);
void onRestartRecorded(const RequestContext& context, const korvan::NoParams& params,
                       Json::Value& jsOData);

// "unlockUser": lifts the lock of name `userNM` (deletes its userLock row)
// and records access "unlock". A name that is not locked is refused with
// CMyErr(warning, "Nothing modified").
void onUnlockUser(const RequestContext& context, const korvan::UnlockUserParams& params,
                  Json::Value& jsOData);

// Before a local restart after a failed restart request: marks the
// request's committed record "failed: <failure>; restarting locally", or,
// when the request committed none (the daemon could not be reached before
// the handler ran, or its record could not be stored), commits a "restart"
// system record of `caller` saying so. False when no record could be
// committed: the device must then not restart.
bool recordLocalRestart(const Caller& caller, const std::string& failure) noexcept;
