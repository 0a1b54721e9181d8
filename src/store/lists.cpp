// The store's readers of the IP lists and the conversion of console module
// rows, shared by the snapshot and the handlers that edit those lists.
#include <string>
#include <string_view>

#include "store/db.h"
#include "util/module_kind.h"
#include "util/tools.h"

namespace {

// Module settings as the browser shows them: the index of the stored text in
// these tables.
const char* const kFrameTable[] = {"1", "5", "10", "15", "20", "25", "30", "35"};
const char* const kCodeTable[] = {"500", "1000", "1500", "2000"};

template <size_t N>
int indexIn(const char* const (&table)[N], std::string_view text) {
  for (size_t i = 0; i < N; ++i) {
    if (text == table[i]) return static_cast<int>(i);
  }
  return -1;  // not a value the device knows
}

}  // namespace

void CDB::selIPS(Json::Value& ips, Json::Value* device) {
  if (device == nullptr) {
    if (const auto row = selOne(" select ipsType as type from other2", {"type"})) {
      ips["type"] = (*row)["type"];
    }
  } else {
    const auto row =
        selOne(" select ipsType as type,factoryMode from other2", {"type", "factoryMode"});
    if (row) {  // no row: neither member is set
      ips["type"] = (*row)["type"];
      (*device)["factoryMode"] = (*row)["factoryMode"];
    }
  }
  ips["ips"] = sel(true, " select ip from ips2 order by ip", {"ip"});
}

void CDB::selserverIPS(Json::Value& ips) {
  Json::Value& list = ips["serverips"];
  list = sel(true, " select ip from iplist order by ip", {"ip"});
  for (Json::Value& item : list) item["ip"] = CTools::IP_intToStr(item["ip"].asString());
}

CDB::CellWriter CDB::convertDogTCF(const std::vector<const char*>& keys) {
  size_t uid = keys.size(), frame = keys.size(), code = keys.size(), type2 = keys.size();
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string_view key = keys[i];
    if (key == "uid") uid = i;
    if (key == "frame") frame = i;
    if (key == "code") code = i;
    if (key == "type2") type2 = i;
  }
  return [=](size_t key, const RowCells& row, korvan::JsonTextBuilder& out) {
    if (key != type2 && key != frame && key != code) return false;
    const int kind = korvan::moduleKind(row[uid]);
    int value = kind;
    if (key == frame) {
      value = kind == 1 || kind == 3 ? indexIn(kFrameTable, row[frame]) : 10;
    } else if (key == code) {
      value = kind == 1 || kind == 3 ? indexIn(kCodeTable, row[code]) : 30;
    }
    out.append(std::to_string(value));
    return true;
  };
}
