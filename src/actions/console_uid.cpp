#include "actions/console_uid.h"

#include "store/db.h"
#include "store/sql.h"
#include "util/members.h"
#include "util/myerr.h"

namespace korvan {

std::string storedConsoleUid(const Params& request) {
  std::string sql = " select uid from dog2 where id=" + sqlNumber(request.text({"dogPara", "id"}));
  const std::optional<Json::Value> module = CDB::selOne(sql, {"uid"});
  if (!module) throw CMyErr(CMyErr::err, "invalid request: dogPara.id");
  const std::string uid = (*module)["uid"].asString();
  const Json::Value* sent = findMember(request.document(), {"dogPara", "uid"});
  if (sent != nullptr && textOf(*sent) != uid) {
    throw CMyErr(CMyErr::err, "invalid request: dogPara.uid");
  }
  return uid;
}

}  // namespace korvan
