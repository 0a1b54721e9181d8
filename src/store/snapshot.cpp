// The configuration snapshot that every successful AJAX reply carries, and the
// two pieces of upkeep done on the way: the server address the browser
// reports, and (in normal mode) console slots for modules that came online.
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/files.h"
#include "util/module_kind.h"
#include "util/paths.h"
#include "util/tools.h"
#include "util/trace.h"

namespace {

const char* const kNoSlotHint = "Console Table has no space,please delete unused console";

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

// The first line of the version file (at most 99 characters, its line end
// included when it fits), or "Null" when the file cannot be opened.
std::string softVersion() {
  korvan::FilePtr file(fopen(korvan::resolvePath(korvan::kVersionPath).c_str(), "r"));
  if (!file) return "Null";
  char line[100] = {};
  if (fgets(line, sizeof line, file.get()) == nullptr) line[0] = '\0';
  return line;
}

// Every name the snapshot reads rows into is a string literal.
void select(bool many, std::string sql, const std::vector<const char*>& keys, Json::Value& target) {
  CDB::sel(many, sql, keys, target);
}

void modify(std::string sql) { CDB::execModify(sql); }

// The online modules, in the columns of a `dogs` element.
const char* const kModuleQuery =
    " select code,frame,id,uid,nm,0 as type2,"
    " status+usrstatus as status,'' as group2,'' as pos1,'' as pos2,'' as depart,"
    " '' as memo,0 as sm,0 as priv from dog2 where status+usrstatus>=1 order by id ";

const std::vector<const char*> kModuleKeys{"code",   "frame",  "id",     "uid",  "nm",
                                           "type2",  "status", "group2", "pos1", "pos2",
                                           "depart", "memo",   "sm",     "priv"};

// Gives every online module of `modules` a console slot: a module whose uid a
// taken slot holds keeps it (and the slot follows the module's name); any
// other takes the free slot with the lowest id. Without a free slot the
// reply gets the hint and the module goes without.
void assignSlots(const Json::Value& modules, Json::Value& reply) {
  for (const Json::Value& module : modules) {
    Json::Value m = module;
    const std::string uid = module["uid"].asString();
    Json::Value held;
    select(false,
           std::string(" select uid ") + " from dogInfo2 where setted=1 and uid= " + "'" +
               sqlText(uid) + "'",
           {"uid"}, held);
    if (CDB::g_dbRowCnt == 1) {
      std::map<std::string, bool> keys{{"nm", true}};
      std::string list;
      CDB::getUpdSql(keys, m, list);
      modify(" update dogInfo2 set " + list + " where uid=" + "'" + sqlText(uid) + "'");
      continue;
    }
    Json::Value freeSlot;
    select(false, " select id from dogInfo2 where setted=0 order by id limit 1 ", {"id"}, freeSlot);
    if (CDB::g_dbRowCnt == 0) {
      reply["hint"] = kNoSlotHint;
      continue;
    }
    std::map<std::string, bool> keys{{"nm", true}, {"uid", true}};
    std::string list;
    CDB::getUpdSql(keys, m, list);
    modify(" update dogInfo2 set setted=1," + list + " where id=" + sqlNumber(freeSlot["id"]));
  }
}

// The index that finds a module's slots by uid. A database made before it (a
// restored backup, say) gets it with the next slot upkeep; until then the
// engine builds one on the fly for each query that needs it.
const char* const kSlotIndex = "dogInfo2_uid";

// True when an online module lacks its one slot or its slot's name differs
// from the module's: only then does the slot upkeep have anything to write.
bool slotsNeedUpkeep() {
  Json::Value count;
  select(false,
         " select count(*) from (select d.id from dog2 as d left join dogInfo2 as i"
         " on i.setted=1 and i.uid=d.uid where d.status+d.usrstatus>=1"
         " group by d.id having count(i.uid)!=1 or max(i.nm!=d.nm))",
         {"n"}, count);
  return count["n"].asString() != "0";
}

// The snapshot's writes: the server address the browser reports (when
// `serverIp` says it is to be stored) and, in normal mode, the console slots.
// They run in their own short write transaction. When the lock cannot be had
// the snapshot is served without them; the next request does them.
void upkeep(bool serverIp, const Json::Value& request, Json::Value& snap) {
  try {
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    if (serverIp) {
      modify(std::string(" update server2 set ") +
             " ip=" + sqlNumber(CTools::IP_strToInt(request["serverIP"].asString())));
    }
    if (!CDB::isFactory) {
      modify(std::string("create index if not exists ") + kSlotIndex + " on dogInfo2(uid)");
      Json::Value online;
      select(true, kModuleQuery, kModuleKeys, online);
      assignSlots(online, snap);
    }
    transaction.commit();
  } catch (const CMyErr& e) {
    if (e.type != CMyErr::lockErr) throw;
    setLog(1164, e.what());
  }
}

}  // namespace

void CDB::selAllTables(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData,
                       korvan::JsonFragments& lists) {
  // Built apart and joined to the reply only when complete: a failure on the
  // way leaves the reply with the error instead of half a snapshot.
  Json::Value snap(Json::objectValue);
  const Json::Value& request = jsIData;

  std::string serverTime;
  getDateTime_sec(serverTime);
  snap["softVersion"] = softVersion();
  snap["serverTime"] = serverTime;

  // The stored server address is a level-3 setting like the rest of server2.
  const bool serverIp = request.isMember("serverIP") && caller.level >= 3;
  if (serverIp) upkeep(serverIp, request, snap);

  // One read transaction: every member shows the same moment. In normal mode
  // its first read asks whether the slots need upkeep (they rarely do); then
  // the reading stops for the upkeep's write transaction and starts again.
  std::optional<korvan::Transaction> reading(std::in_place, korvan::Transaction::kDeferred);
  if (!serverIp && !isFactory && slotsNeedUpkeep()) {
    reading.reset();
    upkeep(serverIp, request, snap);
    reading.emplace(korvan::Transaction::kDeferred);
  }
  select(false, " select factoryMode from other2 ", {"factoryMode"}, snap);

  select(false,
         // No password or token leaves the database in a reply: the caller
         // gets its own token back and nothing else.
         std::string(" select priv2.level as level,user2.id,user2.nm,'' as pw,memo,user2.dog,pid,"
                     "priv2.type as privType,priv2.nm as privNM,'' as token,interval,pwdDepth,"
                     "timezone") +
             " from user2,priv2 where user2.pid=priv2.id " +
             " and user2.id=" + sqlNumber(caller.id) + ";",
         {"level", "id", "nm", "pw", "memo", "dogDB", "pid", "privType", "privNM", "token",
          "interval", "pwdDepth", "timezone"},
         snap["curUser"]);

  if (snap["curUser"].isObject()) snap["curUser"]["token"] = caller.token;

  Json::Value secure;
  select(true, "select f_pwd,f_ntpServer,f_snmpServer from secureConf;",
         {"secureConf", "ntpServer", "snmpServer"}, secure);
  setLog(1163, secure.toStyledString().c_str());
  const Json::Value& firstSecure = static_cast<const Json::Value&>(secure)[0];
  Json::Value policy;
  Json::Reader reader;
  if (!reader.parse(firstSecure["secureConf"].asString(), policy, true)) policy = Json::Value();
  snap["curUser"]["secureConf"] = policy;
  snap["server"]["ntpServer"] = firstSecure["ntpServer"];
  snap["server"]["snmpServer"] = firstSecure["snmpServer"];

  Json::Value& server = snap["server"];
  select(false,
         std::string(" select uid,nm,encrypt,ip, gateway, subnetMask,portKM,portV,portWeb,") +
             " temp/10 as temp,humid/10 as humid from server2",
         {"uid", "nm", "encrypt", "ip", "gateway", "subnetMask", "portKM", "portV", "portWeb",
          "temp", "humid"},
         server);
  for (const char* member : {"ip", "gateway", "subnetMask"}) {
    server[member] = CTools::IP_intToStr(server[member].asString());
  }

  // The many-row lists go straight from the rows to their reply text.
  korvan::JsonFragments found;
  CDB::selText(" select level,id,nm,type,dog as dogDB from priv2 order by level desc,nm",
               {"level", "id", "nm", "type", "dogDB"}, found["privs"]);

  CDB::selText(
      std::string(" select priv2.level as level,user2.id,user2.nm,'' as pw,memo,user2.dog as dogDB,"
                  "pid,priv2.type as privType,priv2.nm as privNM,'' as token,interval,") +
          " code,frame,media,nm2,addrH,addrC,phone,email,status,prior,loginTime,loginTime2,"
          "createTime,memo2,pwdDepth,timezone " +
          " from user2,priv2 where user2.pid=priv2.id and user2.id!=-1 ",
      {"level",     "id",         "nm",         "pw",       "memo",     "dogDB",   "pid",
       "privType",  "privNM",     "token",      "interval", "code",     "frame",   "media",
       "nm2",       "addrH",      "addrC",      "phone",    "email",    "status",  "prior",
       "loginTime", "loginTime2", "createTime", "memo2",    "pwdDepth", "timezone"},
      found["users"], nullptr,
      {0, 8, 2});  // ordered by level, privNM and nm

  Json::Value ips;
  selIPS(ips);
  snap["ips"] = ips;

  Json::Value serverIps;
  selserverIPS(serverIps);
  snap["serverips"] = serverIps;

  // Only captured pairs: a module whose serial console a user holds, with
  // that user. A free module (-1) never pairs, not even with a row of id -1.
  CDB::selText(std::string(" select dog2.id as dogID,dog2.nm as dogNM,user2.id as userID,"
                           "user2.nm as userNM from dog2,user2 ") +
                   " where dog2.serialUserID=user2.id and dog2.serialUserID!=-1 order by dog2.id",
               {"dogID", "dogNM", "userID", "userNM"}, found["serials"]);

  std::string& dogs = found["dogs"];
  if (isFactory) {
    CDB::selText(kModuleQuery, kModuleKeys, dogs, convertDogTCF(kModuleKeys));
  } else {
    std::vector<const char*> keys{"dogInfoID"};
    keys.insert(keys.end(), kModuleKeys.begin(), kModuleKeys.end());
    CDB::selText(
        std::string(" select di2.id as dogInfoID,d2.code,d2.frame,d2.id,d2.uid,d2.nm,0 as type2,") +
            " status+usrstatus as status,di2.group2,di2.pos1,di2.pos2," +
            " di2.depart,di2.memo,0 as sm,0 as priv" +
            " from dog2 as d2,dogInfo2 as di2 where d2.uid=di2.uid and status+usrstatus>=1 " +
            " order by d2.id",
        keys, dogs, convertDogTCF(keys));
  }
  if (g_dbRowCnt == 0) dogs = "[]";  // an empty list, never null

  CDB::selText(" select setted,id,uid,nm from dogInfo2 where 1=1 order by id",
               {"setted", "id", "uid", "nm"}, found["dogInfos"]);
  if (!isFactory) {
    Json::Value flag;
    select(false, "select f_firstLogin from secureConf;", {"firstLogin"}, flag);
    const std::string firstLogin = flag["firstLogin"].asString();
    setLog(845, firstLogin.c_str());
    if (firstLogin == "1") snap["firstLogin"] = true;
  }
  reading->commit();

  for (const std::string& name : snap.getMemberNames()) jsOData[name].swap(snap[name]);
  for (auto& [name, text] : found) {
    jsOData.removeMember(name);
    lists[name].swap(text);
  }
}

void CDB::selIPS(Json::Value& ips) {
  select(false, " select ipsType as type from other2", {"type"}, ips);
  select(true, " select ip from ips2 order by ip", {"ip"}, ips["ips"]);
}

void CDB::selserverIPS(Json::Value& ips) {
  Json::Value& list = ips["serverips"];
  select(true, " select ip from iplist order by ip", {"ip"}, list);
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
  return [=](size_t key, const std::vector<const char*>& row, korvan::JsonTextBuilder& out) {
    if (key != type2 && key != frame && key != code) return false;
    const int kind = korvan::moduleKind(uid < row.size() ? row[uid] : "");
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
