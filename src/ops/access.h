// Operations whose effect must not happen without its audit record
// (store/audit.h): the daemon is told while the write transaction that holds
// the record is open, so a session or a system operation is granted only
// once its record is stored, and a "lockErr" reply means nothing was sent and
// nothing stored. A refusal of the daemon rolls the record back.
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
