// "modifyIPS" and "modifyServerIPS": one edit of the IP access list or of the
// server IP list. Each reads the whole stored list, edits a copy and rewrites
// the table. The rewrite runs in one write transaction: a failure part way
// (another request holding the database, say) must not leave a white list
// emptied, which would lock every browser out.
#include <string>
#include <vector>

#include "ops/ops.h"
#include "store/audit.h"
#include "store/cn.h"
#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/ipv4.h"
#include "util/members.h"
#include "util/tools.h"

namespace {

// Refuses an address to be added that is not a dotted quad (util/ipv4.h).
void checkNewIP(const korvan::IpListEdit& edit) {
  if ((edit.action == "insIP" || edit.action == "updIP") && !korvan::isDottedQuad(edit.newIP)) {
    throw CMyErr(CMyErr::warning, "invalid ip address");
  }
}

// The edit's action on `list`, shared by both lists. Unknown actions leave
// the list alone; the rest of the handler still runs.
void editList(const korvan::IpListEdit& edit, Json::Value& list) {
  if (edit.action == "insIP") {
    CTools::jsonArray_uniqueAppend(list, edit.newIP);
  } else if (edit.action == "delIP") {
    CTools::jsonArray_alwaysDelete(list, edit.oldIP);
  } else if (edit.action == "updIP") {
    CTools::jsonArray_alwaysDelete(list, edit.oldIP);
    CTools::jsonArray_uniqueAppend(list, edit.newIP);
  }
}

// The display name of a list kind; "--" for anything but "0" and "1".
const std::string& ipsTypeName(const std::string& type) {
  if (type == "0") return CCN::ipsType[0];
  if (type == "1") return CCN::ipsType[1];
  return CCN::outOfTable;
}

// The side of the log record: the kind by name, the addresses on one line.
Json::Value logSide(const Json::Value& state) {
  Json::Value side;
  side["type"] = ipsTypeName(korvan::memberText(state, {"type"}));
  Json::Value ips = korvan::member(state, "ips");
  side["ips"] = CTools::jsonArray_toString(ips, "<br>");
  return side;
}

}  // namespace

void onModifyIPS(const RequestContext& context, const korvan::IpListParams& params, Json::Value&) {
  const Caller& caller = context.caller;
  checkNewIP(params);

  korvan::Transaction transaction(korvan::Transaction::kWrite);
  Json::Value before;
  CDB::selIPS(before);
  Json::Value after = before;
  if (params.action == "updType") after["type"] = params.type;
  Json::Value& list = after["ips"];
  editList(params, list);

  std::string sql = " update other2 set ipsType= " + sqlNumber(korvan::memberText(after, {"type"}));
  CDB::execModify(sql);
  // The access check compares the stored text, and the column stores "1.0"
  // or "01" as 1: protect the requester and log by what is stored now.
  const Json::Value storedType = CDB::sel(false, " select ipsType as type from other2", {"type"});
  after["type"] = korvan::memberText(storedType, {"type"});

  // Keep the requester able to reach the interface after the change.
  std::string type = after["type"].asString();
  if (type == "0") CTools::jsonArray_alwaysDelete(list, caller.address);
  if (type == "1") CTools::jsonArray_uniqueAppend(list, caller.address);

  CDB::execModify(" delete from ips2");
  for (const Json::Value& entry : list) {
    sql = " insert into ips2(ip) values('" + sqlText(korvan::memberText(entry, {"ip"})) + "')";
    CDB::execModify(sql);
  }

  CKeyCNList keys{CKeyCN("type", "type"), CKeyCN("ips", "list")};
  Json::Value sideA = logSide(before);
  Json::Value sideB = logSide(after);
  Json::Value changes;
  CLog::compAB(keys, sideA, sideB, changes);
  CLog::insLog(caller, "ips", "updIPS", "update ip list", CLog::detailText(changes));
  transaction.commit();
}

void onModifyServerIPS(const RequestContext& context, const korvan::ServerIpListParams& params,
                       Json::Value&) {
  const Caller& caller = context.caller;
  checkNewIP(params);

  korvan::Transaction transaction(korvan::Transaction::kWrite);
  Json::Value stored;
  CDB::selserverIPS(stored);  // addresses in dotted form
  Json::Value before;
  before["ips"] = CTools::jsonArray_toString(stored["serverips"], "<br>");
  Json::Value& list = stored["serverips"];
  editList(params, list);

  CDB::execModify(" delete from iplist");
  for (const Json::Value& entry : list) {
    std::string number = CTools::IP_strToInt(korvan::memberText(entry, {"ip"}));
    const std::string sql = " insert into iplist values('" + sqlText(number) + "',0)";
    CDB::execModify(sql);
  }
  // The record shows the list as stored now, read back in its stored order.
  Json::Value now;
  CDB::selserverIPS(now);
  Json::Value after;
  after["ips"] = CTools::jsonArray_toString(now["serverips"], "<br>");
  Json::Value changes;
  CLog::compAB({CKeyCN("ips", "list")}, before, after, changes);
  audit::recordSystem(caller, {"updServerIPS", "update server ip list"}, changes);
  transaction.commit();
}
