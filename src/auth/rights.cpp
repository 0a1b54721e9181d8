#include "auth/rights.h"

#include <json/json.h>

#include <optional>
#include <vector>

#include "store/db.h"
#include "store/sql.h"

char consoleRight(const Caller& caller, const std::string& moduleId, DeviceMode mode) {
  if (mode == DeviceMode::factory) return caller.level == 3 ? '3' : '0';
  if (!isSqlNumber(moduleId)) return '0';

  std::string sql = " select uid from dog2 where id=" + moduleId;
  std::vector<std::string> keys{"uid"};
  const std::optional<Json::Value> module = CDB::selOne(sql, keys);
  if (!module) return '0';
  const std::string uid = (*module)["uid"].asString();

  sql = " select setted,uid from dogInfo2 order by id";
  keys = {"setted", "uid"};
  const Json::Value slots = CDB::sel(true, sql, keys);
  for (Json::ArrayIndex i = 0; i < slots.size(); ++i) {
    if (slots[i]["setted"].asString() != "1" || slots[i]["uid"].asString() != uid) continue;
    return i < caller.rights.size() ? caller.rights[i] : '0';
  }
  return '0';
}
