#include "store/oplog.h"

#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "util/local_time.h"
#include "util/members.h"

namespace {

// Renderings of the right codes "0" to "3".
const std::string kRightNames[4] = {"", "read", "", "read write"};

const std::string& rightName(char code) {
  static const std::string none;
  if (code < '0' || code > '3') return none;
  return kRightNames[code - '0'];
}

struct Slot {
  std::string nm;
  bool inUse;
};

// The console slots in id order; every row keeps its position.
std::vector<Slot> consoleSlots() {
  std::string sql = " select setted,nm from dogInfo2 order by id";
  std::vector<std::string> keys{"setted", "nm"};
  const Json::Value rows = CDB::sel(true, sql, keys);
  std::vector<Slot> slots;
  for (const Json::Value& row : rows) {
    slots.push_back({row["nm"].asString(), row["setted"].asString() == "1"});
  }
  return slots;
}

const std::string& at(const std::vector<std::string>& renderings, size_t i) {
  static const std::string none;
  return i < renderings.size() ? renderings[i] : none;
}

}  // namespace

void CLog::setUserKeyValue(bool isB, CKeyCNList& keys, const Json::Value& srcA, Json::Value& dstA,
                           const Json::Value& srcB, Json::Value& dstB) {
  keys.emplace_back("nm", "Name");
  keys.emplace_back("memo", "Memo");
  keys.emplace_back("pidCN", "Usergroup");
  keys.emplace_back("nm2", "Name2");
  keys.emplace_back("addrH", "Home addr");
  keys.emplace_back("addrC", "Company addr");
  keys.emplace_back("phone", "Phone");
  keys.emplace_back("email", "email");
  keys.emplace_back("memo2", "Memo2");
  dstA = srcA;
  if (isB) dstB = srcB;
}

void CLog::getDogCN(std::string dog, std::vector<std::string>& renderings) {
  for (char code : dog) renderings.push_back(rightName(code));
}

void CLog::compAB(const CKeyCNList& keys, const Json::Value& a, const Json::Value& b,
                  Json::Value& entries) {
  for (const CKeyCN& key : keys) {
    Json::Value entry;
    entry["nm"] = key.cn;
    entry["v1"] = korvan::textOf(a[key.k]);
    entry["v2"] = korvan::textOf(b[key.k]);
    entries.append(entry);
  }
}

// One entry per console slot in use: its name, the rights of `dogA` and,
// for a change, of `dogB`.
void CLog::appendRights(const std::string& dogA, const std::optional<std::string>& dogB,
                        Json::Value& entries) {
  std::vector<std::string> rightsA, rightsB;
  getDogCN(dogA, rightsA);
  if (dogB) getDogCN(*dogB, rightsB);
  std::vector<Slot> slots = consoleSlots();
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!slots[i].inUse) continue;
    Json::Value entry;
    entry["nm"] = slots[i].nm;
    entry["v1"] = at(rightsA, i);
    if (dogB) entry["v2"] = at(rightsB, i);
    entries.append(entry);
  }
}

void CLog::singleA(const CKeyCNList& keys, const Json::Value& a, Json::Value& entries) {
  for (const CKeyCN& key : keys) {
    Json::Value entry;
    entry["nm"] = key.cn;
    entry["v1"] = korvan::textOf(a[key.k]);
    entries.append(entry);
  }
}

void CLog::CompAB_dog(std::string dogA, std::string dogB, Json::Value& entries) {
  appendRights(dogA, dogB, entries);
}

void CLog::singleA_dog(std::string dog, Json::Value& entries) {
  appendRights(dog, std::nullopt, entries);
}

std::string CLog::detailText(const Json::Value& entries) {
  Json::FastWriter writer;
  return writer.write(entries);
}

void CLog::insLog(const Caller& caller, std::string type, std::string typeSub,
                  std::string typeSubCN, std::string sth) {
  std::string time;
  getDateTime_sec(time);

  std::string sql = " insert into log2(id,user,time,ip,type,typeSub,typeSubCN,sth) values(null,";
  for (const std::string* value : std::initializer_list<const std::string*>{
           &caller.name, &time, &caller.address, &type, &typeSub, &typeSubCN}) {
    sql += "'" + sqlText(*value) + "',";
  }
  sql += "'" + sqlText(sth) + "')";
  CDB::execModify(sql);
  audit::trimLog();
}
