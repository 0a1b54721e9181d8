#include "actions/upd_priv.h"

#include <map>

#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "util/members.h"

using korvan::textOf;

void CUpdPriv::initDaDb() {
  // The whole object with the edited rights: stored and compared by name.
  const Json::Value priv = context.withRights(params_.priv);
  std::string sql =
      "select nm,dog,f_pwd from priv2, secureConf where id=" + std::to_string(params_.id.value());
  std::vector<std::string> keys{"nm", "dog", "f_pwd"};
  da = CDB::sel(false, sql, keys);
  db = priv;
}

void CUpdPriv::modify() {
  const std::string id = std::to_string(params_.id.value());
  std::map<std::string, bool> groupColumns{{"nm", true}, {"dog", true}};
  std::map<std::string, bool> userColumns{{"dog", true}};
  std::string group = " update priv2 set ";
  CDB::getUpdSql(groupColumns, db, group);
  group += " where id=" + id;
  std::string users = " update user2 set ";
  CDB::getUpdSql(userColumns, db, users);
  users += " where pid=" + id;
  CDB::execModify(group);
  CDB::execModify(users);
}

void CUpdPriv::log() {
  CKeyCNList keys{CKeyCN("nm", "Name")};
  Json::Value a = da, b = db, entries;
  CLog::compAB(keys, a, b, entries);
  CLog::CompAB_dog(textOf(a["dog"]), textOf(b["dog"]), entries);
  CLog::insLog(caller, "priv", "updPriv", "update userGroup", CLog::detailText(entries));
}
