// Helpers of the change-action black-box tests: the module slots the snapshot
// would give, and the last operation-log row in short form.
#pragma once

#include "testroot.h"

namespace actionsbb {

// Gives the seeded online modules 1, 2, 3 and 5 the slots 1 to 4 (in use,
// named after them), as the snapshot would have done. Slots 5 to 8 stay free.
inline void slotOnlineModules(const korvantest::TempRoot& root) {
  root.exec(
      "update dogInfo2 set setted=1, uid='U1A0000001', nm='web-01' where id=1;"
      "update dogInfo2 set setted=1, uid='U1A0000002', nm='db-01' where id=2;"
      "update dogInfo2 set setted=1, uid='S2B0000003', nm='router-console' where id=3;"
      "update dogInfo2 set setted=1, uid='V3C0000005', nm='install-media' where id=4;");
}

inline int logCount(const korvantest::TempRoot& root) {
  return std::stoi(root.scalar("select count(*) from log2;"));
}

// The last log row as "user ip type/typeSub/typeSubCN" and its detail list as
// "nm=v1>v2;" entries ("nm=v1;" when an entry has no v2); "" without rows.
struct LastLog {
  std::string head, detail;
};

inline LastLog lastLog(const korvantest::TempRoot& root) {
  auto rows = root.query(
      "select user||' '||ip||' '||type||'/'||typeSub||'/'||typeSubCN, sth from log2 "
      "order by id desc limit 1;");
  if (rows.empty()) return {};
  LastLog log{rows[0][0], ""};
  Json::Value detail;
  if (rows[0][1].empty() || rows[0][1].back() != '\n' ||
      !Json::Reader().parse(rows[0][1], detail)) {
    log.detail = "unreadable: " + rows[0][1];
  }
  for (const Json::Value& e : detail) {
    log.detail += e["nm"].asString() + "=" + e["v1"].asString() +
                  (e.isMember("v2") ? ">" + e["v2"].asString() : "") + ";";
  }
  return log;
}

}  // namespace actionsbb
