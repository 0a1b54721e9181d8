// "convertToClientMode" and "unsetDogInfo": one statement each, no daemon
// message; each change commits together with its system record.
#include <optional>
#include <string>

#include "ops/ops.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/members.h"

namespace {

// The columns of a console slot that clearing it changes, with their labels
// (those of the console-module record).
const CKeyCNList& slotKeys() {
  static const CKeyCNList keys{CKeyCN("setted", "setted"),     CKeyCN("uid", "uid"),
                               CKeyCN("nm", "Name"),           CKeyCN("group2", "group"),
                               CKeyCN("pos1", "position1"),    CKeyCN("pos2", "position2"),
                               CKeyCN("depart", "department"), CKeyCN("memo", "Memo")};
  return keys;
}

std::optional<Json::Value> slotRow(const std::string& id) {
  return CDB::selOne(" select id,setted,uid,nm,group2,pos1,pos2,depart,memo from dogInfo2 where id=" + id,
                     {"id", "setted", "uid", "nm", "group2", "pos1", "pos2", "depart", "memo"});
}

}  // namespace

void onConvertToClientMode(const RequestContext& context, const korvan::NoParams&, Json::Value&) {
  const Caller& caller = context.caller;
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const std::optional<Json::Value> before =
      CDB::selOne(" select factoryMode from other2", {"factoryMode"});
  // No statement sets the flag back: factory mode is left for good.
  CDB::execModify(" update other2 set factoryMode=0");
  Json::Value entries(Json::arrayValue);
  Json::Value entry;
  entry["nm"] = "factory mode";
  entry["v1"] = before ? (*before)["factoryMode"].asString() : "";
  entry["v2"] = "0";
  entries.append(entry);
  audit::recordSystem(caller, {"convertToClientMode", "client mode"}, entries);
  transaction.commit();
}

void onUnsetDogInfo(const RequestContext& context, const korvan::SlotParams& params,
                    Json::Value&) {
  const Caller& caller = context.caller;
  const std::string id = sqlNumber(params.slotId);
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const std::optional<Json::Value> before = slotRow(id);
  // uid and nm take the column `id`, not a text: a free slot is named by its
  // own number.
  std::string sql = " update dogInfo2 set setted=0,uid=id,nm=id,group2=' ',pos1=' ',";
  sql += " pos2=' ',depart=' ',memo=' ' where id=" + id;
  CDB::execModify(sql);
  if (before) {
    const std::optional<Json::Value> after = slotRow(id);
    Json::Value entries;
    audit::addEntry(entries, "slot", (*before)["id"].asString());
    CLog::compAB(slotKeys(), *before, after.value_or(Json::Value()), entries);
    audit::recordSystem(caller, {"unsetDogInfo", "clear console slot"}, entries);
  }
  transaction.commit();
}
