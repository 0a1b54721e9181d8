// Request handlers of the administration operations that are not change
// actions: the operation-log query, the two IP lists, serial console capture,
// the device mode and console slots.
//
// The handlers take the request's context, its decoded parameters
// (util/request_params.h) and the reply document (`jsOData`); the daemon
// operations below (onQt, onSetTime, onRestart) take the request document. The dispatcher has already run the IP access
// check and the session check. A handler reports failure only by throwing
// CMyErr; on success the dispatcher adds the configuration snapshot.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"
#include "util/request_context.h"
#include "util/request_params.h"

// "selLog": the records of log2 that match `logCondition` (`user` as a
// substring, `timeBegin`/`timeEnd` as an inclusive day range, `type` exactly
// unless "all"), ordered by user and time. The handler checks the condition
// and sets jsOData.log to null; the dispatcher writes the records into the
// reply as they are read (CLogStream, ops/sellog.h), and leaves `log` null
// when nothing matches. Below level 3 the caller sees console records, the
// console access records and its own (logVisibility, ops/sellog.h). With
// `limit`: the newest records first, a page of at most `limit` older than
// `before`, jsOData.more telling whether older matches exist and
// jsOData.total the number of all matches (whatever `before` says).
void onSelLog(const RequestContext& context, const korvan::LogQueryParams& params,
              Json::Value& jsOData);

// "modifyIPS": one edit of the IP access list (`ipsPara`.`action`: "updType",
// "insIP", "delIP" or "updIP"). The requester's own address is kept on a white
// list and kept off a black list, so nobody can lock himself out. The list is
// rewritten as a whole and the change is recorded in the operation log, in one
// transaction. A `newIP` that is not a dotted quad is refused with
// CMyErr(warning, "invalid ip address") and nothing changes. The caller's
// address is the one protected; the caller is the record's author.
void onModifyIPS(const RequestContext& context, const korvan::IpListParams& params,
                 Json::Value& jsOData);

// "modifyServerIPS": one edit of the server IP list (`serveripsPara`), stored
// in integer form, and the system record "updServerIPS" of the caller with
// the list before and after, in one transaction. No self-protection.
void onModifyServerIPS(const RequestContext& context, const korvan::ServerIpListParams& params,
                       Json::Value& jsOData);

// "operaSerial": capture ("cap") or release ("uncap") the serial console
// module `serialPara`.`dogID` for the caller. Whoever may control the module
// may release it; a module that is held, even by the requester, cannot be
// captured. Other actions only check that the module is a serial one.
void onOperaSerial(const RequestContext& context, const korvan::SerialParams& params,
                   Json::Value& jsOData);

// "convertToClientMode": leaves factory mode for good; recorded as system
// "convertToClientMode" with the factory-mode flag before and after.
void onConvertToClientMode(const RequestContext& context, const korvan::NoParams& params,
                           Json::Value& jsOData);

// "unsetDogInfo": returns console slot `dogInfoPara`.`id` to its unset state
// (its own id as uid and name, a single blank in each descriptive column);
// recorded as system "unsetDogInfo" with the slot's values before and after
// (nothing is recorded for an id that names no slot).
void onUnsetDogInfo(const RequestContext& context, const korvan::SlotParams& params,
                    Json::Value& jsOData);

// The exchanges with the switch daemon that are whole requests of their own,
// on the connection the dispatcher opened (daemon/arm.h). Each throws the
// daemon's CMyErr(armErr) on failure and a member of the wrong shape as
// CMyErr(err) before anything is sent.

// "qt": asks the daemon for a KVM session on module `dogPara`.`id` (a JSON
// string) with the stored identity `consoleUid`, for the caller (name, id,
// address).
// On success jsOData["qt"] holds the compact JSON text of the session
// parameters: userID and userNM of the caller; ip (server.netIP.ip), dogID
// (dogPara.id); desEncode and desDecode, the daemon's two values as 16
// lower-case hex digits each; and for a serial module (dogPara.type2 "2")
// portCOM (server.netPort.portKM), otherwise priv "1", portV and portKM
// (server.netPort.*) and portMedia "5918". A refusal is CMyErr(warning).
// Writes trace record 1967 once the parameters are built.
// `consoleUid` is the stored module's uid (the admission takes it from the
// database, never from the request).
void onQt(const Caller& caller, const std::string& consoleUid, const Json::Value& jsIData,
          Json::Value& jsOData);

// "setTime": sets the switch clock to `time2`, a local "YYYY-MM-DD HH:MM:SS"
// read with daylight saving time not in effect (util/local_time.h). A text
// that util/clock_text.h refuses throws CMyErr(warning, "invalid time: time2")
// before anything is sent.
void onSetTime(const Json::Value& jsIData, Json::Value& jsOData);

// "restart": restarts the switch.
void onRestart(const Json::Value& jsIData, Json::Value& jsOData);

