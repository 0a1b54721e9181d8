#include "actions/console_uid.h"

#include "store/db.h"
#include "store/sql.h"
#include "util/myerr.h"

namespace korvan {

std::string storedConsoleUid(const KvmParams& request) {
  if (!request.moduleId) throw CMyErr(CMyErr::err, "invalid request: dogPara.id");
  std::string sql = " select uid from dog2 where id=" + std::to_string(*request.moduleId);
  const std::optional<Json::Value> module = CDB::selOne(sql, {"uid"});
  if (!module) throw CMyErr(CMyErr::err, "invalid request: dogPara.id");
  const std::string uid = (*module)["uid"].asString();
  if (request.uid && *request.uid != uid) {
    throw CMyErr(CMyErr::err, "invalid request: dogPara.uid");
  }
  return uid;
}

}  // namespace korvan
