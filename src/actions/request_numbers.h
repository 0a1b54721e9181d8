// Checks made while a call is admitted, before the daemon is sent anything:
// the number members of the changes and of the KVM session request, and the
// console a KVM session request names.
//
// Number members go into daemon packets (read there as leading integers, so
// an empty or garbled member would send port 0 or a setting of 0) and into
// statements unquoted (where an empty member fails only after the packets
// went out). Both are refused up front instead.
#pragma once

#include <json/json.h>

#include <string>

namespace korvan {

// For a call of `type`, every member that must be a whole decimal number
// (optional minus sign, digits) is checked in a fixed order; the first one
// that is missing, empty or anything else throws
// CMyErr(err, "invalid number: NAME") with the member's own name (e.g.
// "invalid number: sm"). Types without number members pass.
void checkNumberMembers(const std::string& type, const Json::Value& request);

// "qt": the console module is `dogPara`.`id`; its identity comes from the
// stored module, never from the request. The stored uid is put into
// `dogPara`.`uid`; a request uid that differs throws
// CMyErr(err, "invalid request: dogPara.uid"), and an id that names no module
// CMyErr(err, "invalid request: dogPara.id"). Other types are left alone.
void bindConsoleUid(const std::string& type, Json::Value& request);

}  // namespace korvan
