#include "ops/slots.h"

#include <set>
#include <string_view>

#include "store/sql.h"
#include "store/transaction.h"
#include "util/tools.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace korvan {

const char* const kModuleQuery =
    " select code,frame,id,uid,nm,0 as type2,"
    " status+usrstatus as status,'' as group2,'' as pos1,'' as pos2,'' as depart,"
    " '' as memo,0 as sm,0 as priv from dog2 where status+usrstatus>=1 order by id ";

namespace {

const char* const kNoSlotHint = "Console Table has no space,please delete unused console";

// The index that finds a module's slots by uid. A database made before it (a
// restored backup, say) gets it with the next slot upkeep; until then the
// engine builds one on the fly for each query that needs it.
const char* const kSlotIndex = "dogInfo2_uid";

void assignSlots(const Json::Value& modules, Json::Value& reply) {
  for (const Json::Value& module : modules) {
    const std::string uid = module["uid"].asString();
    const Json::Value held =
        CDB::sel(true,
                 std::string(" select uid ") + " from dogInfo2 where setted=1 and uid= " + "'" +
                     sqlText(uid) + "'",
                 {"uid"});
    if (held.size() == 1) {
      std::map<std::string, bool> keys{{"nm", true}};
      std::string list;
      CDB::getUpdSql(keys, module, list);
      CDB::execModify(" update dogInfo2 set " + list + " where uid=" + "'" + sqlText(uid) + "'");
      continue;
    }
    const std::optional<Json::Value> freeSlot =
        CDB::selOne(" select id from dogInfo2 where setted=0 order by id limit 1 ", {"id"});
    if (!freeSlot) {
      reply["hint"] = kNoSlotHint;
      continue;
    }
    std::map<std::string, bool> keys{{"nm", true}, {"uid", true}};
    std::string list;
    CDB::getUpdSql(keys, module, list);
    CDB::execModify(" update dogInfo2 set setted=1," + list +
                    " where id=" + sqlNumber((*freeSlot)["id"]));
  }
}

size_t positionOf(const std::vector<const char*>& keys, std::string_view name) {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (name == keys[i]) return i;
  }
  return keys.size();  // reads as the empty text
}

}  // namespace

void slotUpkeep(bool serverIp, DeviceMode mode, const std::string& serverAddress,
                Json::Value& snap) {
  try {
    Transaction transaction(Transaction::kWrite);
    if (serverIp) {
      CDB::execModify(std::string(" update server2 set ") +
                      " ip=" + sqlNumber(CTools::IP_strToInt(serverAddress)));
    }
    if (mode == DeviceMode::normal) {
      CDB::execModify(std::string("create index if not exists ") + kSlotIndex +
                      " on dogInfo2(uid)");
      assignSlots(CDB::sel(true, kModuleQuery, kModuleKeys), snap);
    }
    transaction.commit();
  } catch (const CMyErr& e) {
    if (e.type != CMyErr::lockErr) throw;
    setLog(trace::kSlotUpkeepBusy, e.what());
  }
}

SlotCheck::SlotCheck(const std::vector<const char*>& dogKeys,
                     const std::vector<const char*>& slotKeys)
    : dogInfoID_(positionOf(dogKeys, "dogInfoID")),
      moduleId_(positionOf(dogKeys, "id")),
      moduleName_(positionOf(dogKeys, "nm")),
      slotId_(positionOf(slotKeys, "id")),
      slotTaken_(positionOf(slotKeys, "setted")),
      slotName_(positionOf(slotKeys, "nm")) {}

CDB::RowVisitor SlotCheck::moduleRows() {
  return [this](const CDB::RowCells& row) {
    const Pair& pair = pairs_.emplace_back(
        Pair{row.integer(moduleId_).value_or(0), row[moduleName_], row.integer(dogInfoID_)});
    return pair.slot.has_value();
  };
}

CDB::RowVisitor SlotCheck::slotRows() {
  return [this](const CDB::RowCells& row) {
    // The column has integer affinity: a slot taken is stored as 1.
    if (row.integer(slotTaken_) == 1)
      takenSlotNames_[row.integer(slotId_).value_or(0)] = row[slotName_];
    return true;
  };
}

bool SlotCheck::inOrder() const {
  std::map<long long, int> takenPerModule;
  std::set<long long> online;
  for (const Pair& pair : pairs_) {
    online.insert(pair.module);
    const auto slot = pair.slot ? takenSlotNames_.find(*pair.slot) : takenSlotNames_.end();
    if (slot == takenSlotNames_.end()) continue;  // no slot, or a free one with the module's uid
    if (slot->second != pair.moduleName || ++takenPerModule[pair.module] > 1) return false;
  }
  return takenPerModule.size() == online.size();
}

}  // namespace korvan
