#include "store/module_columns.h"

namespace korvan {

const std::vector<const char*> kModuleKeys{"code",   "frame",  "id",     "uid",  "nm",
                                           "type2",  "status", "group2", "pos1", "pos2",
                                           "depart", "memo",   "sm",     "priv"};

const char* const kModuleColumns =
    " d2.code,d2.frame,d2.id,d2.uid,d2.nm,0 as type2,status+usrstatus as status,"
    "di2.group2,di2.pos1,di2.pos2,di2.depart,di2.memo,0 as sm,0 as priv ";

}  // namespace korvan
