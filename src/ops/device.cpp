// "convertToClientMode" and "unsetDogInfo": one statement each, no daemon
// message and no log record.
#include <string>

#include "ops/ops.h"
#include "store/db.h"
#include "store/sql.h"
#include "util/members.h"

void onConvertToClientMode(const RequestContext&, const korvan::NoParams&, Json::Value&) {
  // No statement sets the flag back: factory mode is left for good.
  CDB::execModify(" update other2 set factoryMode=0");
}

void onUnsetDogInfo(const RequestContext&, const korvan::SlotParams& params, Json::Value&) {
  const Json::Value& para = params.value({"dogInfoPara"});
  // uid and nm take the column `id`, not a text: a free slot is named by its
  // own number.
  std::string sql = " update dogInfo2 set setted=0,uid=id,nm=id,group2=' ',pos1=' ',";
  sql += " pos2=' ',depart=' ',memo=' ' where id=" + sqlNumber(korvan::memberText(para, {"id"}));
  CDB::execModify(sql);
}
