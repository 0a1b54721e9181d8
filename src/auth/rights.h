// Console rights: what a user's rights text allows on one console module.
//
// The rights text holds one code per console slot, in the order of the
// slots' ids ("1" view, "3" view and control, anything else nothing). A
// module's code is the one at the position of the slot that holds it.
#pragma once

#include <map>
#include <string>

#include "util/caller.h"
#include "util/request_context.h"

// The caller's right code on console module `moduleId` (dog2.id, decimal
// text). A module that does not exist, holds no slot, or lies beyond the
// rights text gives '0'; so does an id that is not a number. In factory mode
// (`mode`) no slots are kept and only super administrators log in: level 3
// gets '3', everyone else '0'. Throws only the CMyErr of a failing query.
char consoleRight(const Caller& caller, const std::string& moduleId, DeviceMode mode);

// The caller's right code on every stored console module, by dog2.id
// (decimal text), by the rule of consoleRight, in two queries.
std::map<std::string, char> consoleRights(const Caller& caller, DeviceMode mode);
