#include "actions/request_numbers.h"

#include <vector>

#include "store/db.h"
#include "store/sql.h"
#include "util/members.h"
#include "util/myerr.h"

namespace korvan {

namespace {

struct NumberMembers {
  const char* type;
  const char* object;  // the parameter object holding them
  std::vector<const char*> names;
};

// The members each call sends to the daemon or writes unquoted.
const NumberMembers kNumberMembers[] = {
    {"qt", "dogPara", {"id"}},
    {"updDog", "dogPara", {"id", "portID", "sm", "code", "frame"}},
    {"updServer", "server", {"encrypt", "portKM", "portV", "portWeb"}},
    {"updPriv", "priv", {"id"}},
    {"updUser", "userPara", {"id", "pid", "prior"}},
    {"insUser", "userPara", {"pid", "prior"}},
    {"delUser", "userPara", {"id"}},
};

bool isWholeNumber(const std::string& text) {
  size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
  if (at == text.size()) return false;
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
  }
  return true;
}

}  // namespace

void checkNumberMembers(const std::string& type, const Json::Value& request) {
  for (const NumberMembers& entry : kNumberMembers) {
    if (type != entry.type) continue;
    for (const char* name : entry.names) {
      if (!isWholeNumber(memberText(request, {entry.object, name}))) {
        throw CMyErr(CMyErr::err, std::string("invalid number: ") + name);
      }
    }
  }
}

void bindConsoleUid(const std::string& type, Json::Value& request) {
  if (type != "qt") return;
  std::string sql =
      " select uid from dog2 where id=" + sqlNumber(memberText(request, {"dogPara", "id"}));
  std::vector<std::string> keys{"uid"};
  Json::Value module;
  CDB::sel(false, sql, keys, module);
  if (CDB::g_dbRowCnt == 0) throw CMyErr(CMyErr::err, "invalid request: dogPara.id");
  const std::string uid = module["uid"].asString();
  const Json::Value* sent = findMember(request, {"dogPara", "uid"});
  if (sent != nullptr && textOf(*sent) != uid) {
    throw CMyErr(CMyErr::err, "invalid request: dogPara.uid");
  }
  request["dogPara"]["uid"] = uid;
}

}  // namespace korvan
