#include "auth/first_login.h"

#include <json/json.h>

#include <vector>

#include "store/db.h"
#include "util/myerr.h"

namespace first_login {

bool pending() {
  const std::optional<Json::Value> row =
      CDB::selOne("select f_firstLogin from secureConf;", {"firstLogin"});
  return row && (*row)["firstLogin"].asString() == "1";
}

void check(bool allowed) {
  if (allowed) return;
  if (pending()) throw CMyErr(CMyErr::err, kRefused);
}

}  // namespace first_login
