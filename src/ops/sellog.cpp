// "selLog": the operation-log query.
#include <string>
#include <vector>

#include "ops/ops.h"
#include "ops/params.h"
#include "store/db.h"
#include "store/sql.h"

void onSelLog(Json::Value& jsIData, Json::Value& jsOData) {
  const Json::Value& condition = korvan::member(jsIData, "logCondition");
  std::string user = korvan::memberText(condition, "user");
  std::string timeBegin = korvan::memberText(condition, "timeBegin");
  std::string timeEnd = korvan::memberText(condition, "timeEnd");
  std::string type = korvan::memberText(condition, "type");

  std::string sql = " select user,time,ip,type,typeSub,sth,id,typeSubCN from log2 where 1=1";
  // In `user` the LIKE wildcards keep their meaning: the UI offers it as a
  // pattern search.
  if (!user.empty()) sql += " and user like '%" + sqlText(user) + "%' ";
  // Dates are compared as text on the day part only, so the end day counts
  // whole.
  if (!timeBegin.empty()) sql += " and substr(time,1,10)>='" + sqlText(timeBegin) + "' ";
  if (!timeEnd.empty()) sql += " and substr(time,1,10)<='" + sqlText(timeEnd) + "' ";
  if (type != "all") sql += " and type='" + sqlText(type) + "' ";
  sql += " order by user,time ";

  std::vector<std::string> keys{"user", "time", "ip", "type", "typeSub", "sth", "id", "typeSubCN"};
  // The member exists before the query and stays null when nothing matches.
  Json::Value& records = jsOData["log"];
  CDB::sel(true, sql, keys, records);
}
