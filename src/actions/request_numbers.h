// Checks made while a call is admitted, before the daemon is sent anything:
// the number members of the changes and of the KVM session request, and the
// console a KVM session request names. Which members a request type has is
// stated by its route.
//
// Number members go into daemon packets (read there as leading integers, so
// an empty or garbled member would send port 0 or a setting of 0) and into
// statements unquoted (where an empty member fails only after the packets
// went out). Both are refused up front instead.
#pragma once

#include <json/json.h>

#include <string>
#include <vector>

namespace korvan {

// Every member `names` of the parameter object `object` of `request` must be
// a whole decimal number (optional minus sign, digits). They are checked in
// the order given; the first one that is missing, empty or anything else
// throws CMyErr(err, "invalid number: NAME") with the member's own name (e.g.
// "invalid number: sm").
void checkNumberMembers(const char* object, const std::vector<const char*>& names,
                        const Json::Value& request);

// The KVM session request's console module is `dogPara`.`id`; its identity
// comes from the stored module, never from the request. Returns the stored
// uid; a request uid that differs throws
// CMyErr(err, "invalid request: dogPara.uid"), and an id that names no module
// CMyErr(err, "invalid request: dogPara.id"). Reads only.
std::string storedConsoleUid(const Json::Value& request);

}  // namespace korvan
