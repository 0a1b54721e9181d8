// Helpers of the change-action black-box tests: the last operation-log row of
// a root and its detail text, parsed.
#pragma once

#include <json/json.h>

#include <string>
#include <vector>

#include "testroot.h"

namespace actionsbb {

struct LogRow {
  std::string user, time, ip, type, typeSub, typeSubCN, sth;
  Json::Value detail;  // sth parsed
};

inline int logCount(const korvantest::TempRoot& root) {
  return std::stoi(root.scalar("select count(*) from log2;"));
}

inline LogRow lastLog(const korvantest::TempRoot& root) {
  auto rows = root.query(
      "select user,time,ip,type,typeSub,typeSubCN,sth from log2 order by id desc limit 1;");
  LogRow r;
  if (rows.empty()) return r;
  const auto& c = rows[0];
  r = LogRow{c[0], c[1], c[2], c[3], c[4], c[5], c[6], Json::Value()};
  Json::Reader().parse(r.sth, r.detail);
  return r;
}

// Gives the seeded online modules 1, 2, 3 and 5 the slots 1 to 4 (in use,
// named after them), as the snapshot would have done. Slots 5 to 8 stay free.
inline void slotOnlineModules(const korvantest::TempRoot& root) {
  root.exec(
      "update dogInfo2 set setted=1, uid='U1A0000001', nm='web-01' where id=1;"
      "update dogInfo2 set setted=1, uid='U1A0000002', nm='db-01' where id=2;"
      "update dogInfo2 set setted=1, uid='S2B0000003', nm='router-console' where id=3;"
      "update dogInfo2 set setted=1, uid='V3C0000005', nm='install-media' where id=4;");
}

inline Json::Value entry(const std::string& nm, const std::string& v1) {
  Json::Value e;
  e["nm"] = nm;
  e["v1"] = v1;
  return e;
}

inline Json::Value entry(const std::string& nm, const std::string& v1, const std::string& v2) {
  Json::Value e = entry(nm, v1);
  e["v2"] = v2;
  return e;
}

}  // namespace actionsbb
