#include "actions/request_numbers.h"

#include <vector>

#include "store/db.h"
#include "store/sql.h"
#include "util/members.h"
#include "util/myerr.h"

namespace korvan {

namespace {

bool isWholeNumber(const std::string& text) {
  size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
  if (at == text.size()) return false;
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
  }
  return true;
}

}  // namespace

void checkNumberMembers(const char* object, const std::vector<const char*>& names,
                        const Json::Value& request) {
  for (const char* name : names) {
    if (!isWholeNumber(memberText(request, {object, name}))) {
      throw CMyErr(CMyErr::err, std::string("invalid number: ") + name);
    }
  }
}

std::string storedConsoleUid(const Json::Value& request) {
  std::string sql =
      " select uid from dog2 where id=" + sqlNumber(memberText(request, {"dogPara", "id"}));
  const std::optional<Json::Value> module = CDB::selOne(sql, {"uid"});
  if (!module) throw CMyErr(CMyErr::err, "invalid request: dogPara.id");
  const std::string uid = (*module)["uid"].asString();
  const Json::Value* sent = findMember(request, {"dogPara", "uid"});
  if (sent != nullptr && textOf(*sent) != uid) {
    throw CMyErr(CMyErr::err, "invalid request: dogPara.uid");
  }
  return uid;
}

}  // namespace korvan
