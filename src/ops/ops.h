// Request handlers of the administration operations that are not change
// actions: the operation-log query, the two IP lists, serial console capture,
// the device mode and console slots.
//
// Each takes the request document (`jsIData`, the parsed postKey) and the
// reply document (`jsOData`). The dispatcher has already run the IP access
// check and the session check. A handler reports failure only by throwing
// CMyErr; on success the dispatcher adds the configuration snapshot.
#pragma once

#include <json/json.h>

#include "util/caller.h"

// "selLog": the records of log2 that match `logCondition` (`user` as a
// substring, `timeBegin`/`timeEnd` as an inclusive day range, `type` exactly
// unless "all"), ordered by user and time. The handler checks the condition
// and sets jsOData.log to null; the dispatcher writes the records into the
// reply as they are read (CLogStream, ops/sellog.h), and leaves `log` null
// when nothing matches. Below level 3 the caller sees console records, the
// console access records and its own (logVisibility, ops/sellog.h). With
// `limit`: the newest records first, a page of at most `limit` older than
// `before`, and jsOData.more telling whether older matches exist.
void onSelLog(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);

// "modifyIPS": one edit of the IP access list (`ipsPara`.`action`: "updType",
// "insIP", "delIP" or "updIP"). The requester's own address is kept on a white
// list and kept off a black list, so nobody can lock himself out. The list is
// rewritten as a whole and the change is recorded in the operation log, in one
// transaction. A `newIP` that is not a dotted quad is refused with
// CMyErr(warning, "invalid ip address") and nothing changes. The caller's
// address is the one protected; the caller is the record's author.
void onModifyIPS(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);

// "modifyServerIPS": one edit of the server IP list (`serveripsPara`), stored
// in integer form. No self-protection and no log record.
void onModifyServerIPS(Json::Value& jsIData, Json::Value& jsOData);

// "operaSerial": capture ("cap") or release ("uncap") the serial console
// module `serialPara`.`dogID` for the caller. Whoever may control the module
// may release it; a module that is held, even by the requester, cannot be
// captured. Other actions only check that the module is a serial one.
void onOperaSerial(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);

// "convertToClientMode": leaves factory mode for good.
void onConvertToClientMode(Json::Value& jsIData, Json::Value& jsOData);

// "unsetDogInfo": returns console slot `dogInfoPara`.`id` to its unset state
// (its own id as uid and name, a single blank in each descriptive column).
void onUnsetDogInfo(Json::Value& jsIData, Json::Value& jsOData);
