// The console slots of the snapshot (normal mode): their upkeep, and the check
// whether it is due, made from the module and slot lists as the snapshot reads
// them.
#pragma once

#include <json/json.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/db.h"
#include "store/module_columns.h"

namespace korvan {

// The online modules, in the columns of a `dogs` element (kModuleKeys), with
// empty slot columns.
extern const char* const kModuleQuery;

// The snapshot's writes, in one short write transaction: the server address
// `serverAddress`, the request's `serverIP` (when `serverIp`), and, in normal `mode`, the
// console slots: every online module keeps the taken slot holding its uid (the
// slot following the module's name) or takes the free slot with the lowest id;
// without one, `snap` gets the hint. When the lock cannot be had nothing is
// written and the next request does it.
void slotUpkeep(bool serverIp, DeviceMode mode, const std::string& serverAddress,
                Json::Value& snap);

// Whether the slots are as the upkeep leaves them: every online module has
// exactly one taken slot with its uid, named as the module. Fed with the rows
// of the `dogs` query, read as every online module left-joined to the slots
// with its uid, and of the `dogInfos` query, both in the same transaction. A
// NULL reads as the empty text, as the upkeep writes it, so a slot named NULL
// counts as due once.
class SlotCheck {
 public:
  // Rows with the members `dogKeys` and `slotKeys` (positions by name).
  SlotCheck(const std::vector<const char*>& dogKeys, const std::vector<const char*>& slotKeys);
  // Sees every module row; keeps in the list only a module's rows with a slot.
  CDB::RowVisitor moduleRows();
  CDB::RowVisitor slotRows();
  bool inOrder() const;

 private:
  // Module and slot ids are row ids: integers.
  struct Pair {
    long long module;
    std::string moduleName;
    std::optional<long long> slot;  // none: no slot holds the module's uid
  };
  size_t dogInfoID_, moduleId_, moduleName_, slotId_, slotTaken_, slotName_;
  std::vector<Pair> pairs_;
  std::map<long long, std::string> takenSlotNames_;  // id -> name, taken slots only
};

}  // namespace korvan
