// A console module as the browser lists it: the names of its row's members,
// in order, and the select list that reads them from the module table joined
// with the module's slot. The module list, the list of a module under change
// and the configuration snapshot all read modules in these columns.
#pragma once

#include <vector>

namespace korvan {

// code, frame, id, uid, nm, type2, status, group2, pos1, pos2, depart, memo,
// sm, priv.
extern const std::vector<const char*> kModuleKeys;

// The select list of kModuleKeys, in that order, from `dog2 as d2` and
// `dogInfo2 as di2` (the slot columns come from di2). Starts and ends with a
// space.
extern const char* const kModuleColumns;

}  // namespace korvan
