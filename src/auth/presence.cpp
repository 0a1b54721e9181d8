#include "auth/presence.h"

#include <ctime>
#include <map>
#include <optional>
#include <string>

#include "auth/rights.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/local_time.h"
#include "util/myerr.h"
#include "util/number.h"

namespace {

std::string nowText() { return std::to_string(static_cast<long long>(time(nullptr))); }

// The condition of an open session, as the session check reads it.
std::string openSession() { return " user2.status=1 and user2.expireTime>=" + nowText(); }

}  // namespace

void onSelSessions(const RequestContext& context, const korvan::NoParams&, Json::Value& jsOData) {
  const Caller& caller = context.caller;
  std::string sql = " select id,nm,loginIP,loginTime,lastRequest from user2 where" + openSession();
  if (caller.level < 3) sql += " and user2.id=" + sqlNumber(caller.id);
  sql += " order by nm";
  const Json::Value rows = CDB::sel(true, sql, {"userID", "userNM", "ip", "since", "lastRequest"});
  Json::Value sessions(Json::arrayValue);
  for (Json::Value row : rows) {
    const long long last = korvan::leadingInteger(row["lastRequest"].asString());
    row["lastRequest"] = last > 0 ? korvan::localText(static_cast<time_t>(last)) : "";
    row["own"] = row["userID"].asString() == caller.id ? "1" : "0";
    sessions.append(row);
  }
  jsOData["sessions"] = sessions;
}

void onEndSession(const RequestContext& context, const korvan::SessionParams& params,
                  Json::Value&) {
  const std::string id = std::to_string(params.userId.value());
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const std::optional<Json::Value> session = CDB::selOne(
      " select nm,loginIP from user2 where id=" + id + " and" + openSession(), {"nm", "ip"});
  if (!session) throw CMyErr(CMyErr::warning, kNoOpenSession);
  CDB::execModify(" update user2 set status=0 where id=" + id);
  Json::Value entries;
  audit::addEntry(entries, "user name", audit::recordedName((*session)["nm"].asString()));
  audit::addEntry(entries, "address", (*session)["ip"].asString());
  audit::recordAccess(context.caller, {"endSession", "end session"}, entries);
  transaction.commit();
}

void onSelConsoles(const RequestContext& context, const korvan::NoParams&, Json::Value& jsOData) {
  const std::map<std::string, char> rights = consoleRights(context.caller, context.mode);
  // A holder whose account is gone shows as free: nobody can act as it.
  const Json::Value rows = CDB::sel(
      true,
      " select dog2.id,dog2.nm,dog2.kvmUser,dog2.kvmTime,ifnull(user2.nm,'') from dog2"
      " left join user2 on dog2.serialUserID!=-1 and user2.id=dog2.serialUserID order by dog2.id",
      {"id", "nm", "kvmUser", "kvmTime", "serialUser"});
  Json::Value consoles(Json::arrayValue);
  for (const Json::Value& row : rows) {
    const auto right = rights.find(row["id"].asString());
    if (right == rights.end() || (right->second != '1' && right->second != '3')) continue;
    consoles.append(row);
  }
  jsOData["consoles"] = consoles;
}
