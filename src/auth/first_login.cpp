#include "auth/first_login.h"

#include <json/json.h>

#include <vector>

#include "store/db.h"
#include "util/myerr.h"

namespace first_login {

bool pending() {
  std::string sql = "select f_firstLogin from secureConf;";
  std::vector<std::string> keys{"firstLogin"};
  Json::Value row;
  CDB::sel(false, sql, keys, row);
  return row["firstLogin"].asString() == "1";
}

void check(bool allowed) {
  if (allowed) return;
  if (pending()) throw CMyErr(CMyErr::err, kRefused);
}

}  // namespace first_login
