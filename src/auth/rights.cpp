#include "auth/rights.h"

#include <json/json.h>

#include <map>
#include <optional>
#include <vector>

#include "store/db.h"
#include "store/sql.h"

namespace {

// The taken slots, in the order of their ids: the order of the rights text.
Json::Value slotList() {
  return CDB::sel(true, " select setted,uid from dogInfo2 order by id", {"setted", "uid"});
}

// The caller's code for the module with `uid`: the one at the position of
// the first taken slot that holds it; '0' when none does.
char rightOfUid(const Caller& caller, const Json::Value& slots, const std::string& uid) {
  for (Json::ArrayIndex i = 0; i < slots.size(); ++i) {
    if (slots[i]["setted"].asString() != "1" || slots[i]["uid"].asString() != uid) continue;
    return i < caller.rights.size() ? caller.rights[i] : '0';
  }
  return '0';
}

}  // namespace

char consoleRight(const Caller& caller, const std::string& moduleId, DeviceMode mode) {
  if (mode == DeviceMode::factory) return caller.level == 3 ? '3' : '0';
  if (!isSqlNumber(moduleId)) return '0';

  std::string sql = " select uid from dog2 where id=" + moduleId;
  const std::optional<Json::Value> module = CDB::selOne(sql, {"uid"});
  if (!module) return '0';
  return rightOfUid(caller, slotList(), (*module)["uid"].asString());
}

std::map<std::string, char> consoleRights(const Caller& caller, DeviceMode mode) {
  std::map<std::string, char> rights;
  const Json::Value modules = CDB::sel(true, " select id,uid from dog2", {"id", "uid"});
  const Json::Value slots = mode == DeviceMode::factory ? Json::Value() : slotList();
  for (const Json::Value& module : modules) {
    const char right = mode == DeviceMode::factory
                           ? (caller.level == 3 ? '3' : '0')
                           : rightOfUid(caller, slots, module["uid"].asString());
    rights[module["id"].asString()] = right;
  }
  return rights;
}
