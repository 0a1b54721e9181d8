// The configuration snapshot that every successful AJAX reply carries, read
// in one transaction, with the upkeep done on the way (ops/slots.h).
#include "ops/snapshot.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "ops/slots.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/lock_wait.h"
#include "store/module_columns.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/files.h"
#include "util/local_time.h"
#include "util/module_kind.h"
#include "util/paths.h"
#include "util/tools.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

// The first line of the version file (at most 99 characters, its line end
// included when it fits), or "Null" when the file cannot be opened.
std::string softVersion() {
  korvan::FilePtr file(fopen(korvan::resolvePath(korvan::kVersionPath).c_str(), "r"));
  if (!file) return "Null";
  char line[100] = {};
  if (fgets(line, sizeof line, file.get()) == nullptr) line[0] = '\0';
  return line;
}

// The users list: the query's columns, then "pw" and "token", which no
// reply shows and which read as the empty text past the last column. An
// administrator's list has one column more, `totp`: "1" for an account with
// a second factor (one that a reset would remove), else "0".
std::vector<const char*> userKeys(bool withFactor) {
  std::vector<const char*> keys{
      "level",     "id",        "nm",         "memo",       "dogDB",    "pid",
      "privType",  "privNM",    "interval",   "code",       "frame",    "media",
      "nm2",       "addrH",     "addrC",      "phone",      "email",    "status",
      "prior",     "loginTime", "loginTime2", "createTime", "memo2",    "pwdDepth",
      "timezone",  "locked",    "src"};
  if (withFactor) keys.push_back("totp");
  keys.push_back("pw");
  keys.push_back("token");
  return keys;
}
const std::vector<const char*> kUserKeys = userKeys(false);
const std::vector<const char*> kAdminUserKeys = userKeys(true);
// `locked`: "1" while the name is locked out by failed logins (the lock time
// of auth/login.h), else "0".
const std::string kUserColumns =
    " select priv2.level as level,user2.id,user2.nm,memo,user2.dog as dogDB,pid,"
    "priv2.type as privType,priv2.nm as privNM,interval,code,frame,media,nm2,addrH,addrC,"
    "phone,email,status,prior,loginTime,loginTime2,createTime,memo2,pwdDepth,timezone,"
    "case when " +
    audit::lockedCondition("user2.nm", 1200) +
    " then '1' else '0' end,"
    // `src`: "local", or the directory ("ldap", "radius") whose login made the user.
    "ifnull((select src from dirUser2 where dirUser2.id=user2.id and user2.pw is null),'local')";
const std::string kFactorColumn = ",case when user2.totpSecret<>'' then '1' else '0' end";
const std::string kUserFrom = " from user2,priv2 where user2.pid=priv2.id and user2.id!=-1 ";
enum UserColumn : size_t { kUserLevel = 0, kUserId = 1, kUserName = 2, kUserPrivName = 7 };
// curUser's members, all of them members of a users row too.
const std::vector<const char*> kCurUserKeys{"level",    "id",       "nm",       "pw",     "memo",
                                            "dogDB",    "pid",      "privType", "privNM", "token",
                                            "interval", "pwdDepth", "timezone"};

const std::vector<const char*> kSlotKeys{"setted", "id", "uid", "nm"};

std::vector<const char*> dogKeys() {
  std::vector<const char*> keys{"dogInfoID"};
  keys.insert(keys.end(), korvan::kModuleKeys.begin(), korvan::kModuleKeys.end());
  return keys;
}

// The caller's own row, read from the users list as it goes by: the same row
// the curUser query would give. User ids are integers (the row id).
CDB::RowVisitor callerRow(const std::string& id, const std::vector<const char*>& keys,
                          Json::Value& curUser) {
  long long callerId = 0;
  const auto parsed = std::from_chars(id.data(), id.data() + id.size(), callerId);
  if (id.empty() || parsed.ec != std::errc() || parsed.ptr != id.data() + id.size()) return nullptr;
  return [callerId, &keys, &curUser](const CDB::RowCells& row) {
    if (row.integer(kUserId) != callerId) return true;
    for (const char* key : kCurUserKeys) {
      const size_t at = std::find_if(keys.begin(), keys.end(),
                                     [key](const char* name) { return !strcmp(name, key); }) -
                        keys.begin();
      curUser[Json::StaticString(key)] = row[at];
    }
    return true;
  };
}

// Reads every member of the snapshot into `snap` and `found`, within the
// caller's transaction (`factory`: the device is in factory mode). With
// `checkSlots`, returns whether the console slots are in order (otherwise
// true); when they are not, the reading is to be thrown away.
bool readSnapshot(const Caller& caller, bool factory, bool checkSlots, Json::Value& snap,
                  korvan::JsonFragments& found) {
  // Below level 3 a caller sees of the accounts only its own, of the groups
  // only its own, and neither address list.
  const bool restricted = caller.level < 3;
  const std::string ownId = isSqlNumber(caller.id) ? caller.id : "null";

  // The many-row lists go straight from the rows to their reply text.
  CDB::ListOptions byLevel;
  byLevel.orderBy = {{0, true}, {2}};  // the highest level first, then by name
  CDB::selText(std::string(" select level,id,nm,type,dog as dogDB from priv2") +
                   (restricted ? " where id=(select pid from user2 where id=" + ownId + ")" : ""),
               {"level", "id", "nm", "type", "dogDB"}, found["privs"], byLevel);

  // No password or token leaves the database in a reply: the caller gets its
  // own token back and nothing else.
  Json::Value curUser;
  CDB::ListOptions userOptions;
  const std::vector<const char*>& userList = restricted ? kUserKeys : kAdminUserKeys;
  userOptions.visit = callerRow(caller.id, userList, curUser);
  userOptions.orderBy = {{kUserLevel}, {kUserPrivName}, {kUserName}};
  CDB::selText(restricted ? kUserColumns + kUserFrom + " and user2.id=" + ownId
                          : kUserColumns + kFactorColumn + kUserFrom,
               userList, found["users"], userOptions);
  if (curUser.isNull()) {  // not among the listed users
    curUser = CDB::sel(
        false,
        std::string(" select priv2.level as level,user2.id,user2.nm,'' as pw,memo,user2.dog,"
                    "pid,priv2.type as privType,priv2.nm as privNM,'' as token,interval,"
                    "pwdDepth,timezone") +
            " from user2,priv2 where user2.pid=priv2.id " +
            " and user2.id=" + sqlNumber(caller.id) + ";",
        kCurUserKeys);
  }
  if (curUser.isObject()) curUser["token"] = caller.token;
  snap["curUser"] = curUser;

  // The first-login flag comes from the first row, in the same statement; the
  // trace record shows the rows without it.
  Json::Value secure =
      CDB::sel(true, "select f_pwd,f_ntpServer,f_snmpServer,f_firstLogin from secureConf;",
               {"secureConf", "ntpServer", "snmpServer", "firstLogin"});
  const std::string firstLogin =
      static_cast<const Json::Value&>(secure)[0]["firstLogin"].asString();
  for (Json::Value& row : secure) row.removeMember("firstLogin");
  std::string secureText = Json::FastWriter().write(secure);
  secureText.pop_back();  // one line, as every trace record is
  setLog(trace::kSecureConf, secureText.c_str());
  const Json::Value& firstSecure = static_cast<const Json::Value&>(secure)[0];
  Json::Value policy;
  Json::Reader reader;
  if (!reader.parse(firstSecure["secureConf"].asString(), policy, true)) policy = Json::Value();
  snap["curUser"]["secureConf"] = policy;
  snap["server"]["ntpServer"] = firstSecure["ntpServer"];
  snap["server"]["snmpServer"] = firstSecure["snmpServer"];

  Json::Value& server = snap["server"];
  Json::Value serverRow =
      CDB::sel(false,
               std::string(" select uid,nm,encrypt,ip, gateway, subnetMask,portKM,portV,portWeb,") +
                   " temp/10 as temp,humid/10 as humid from server2",
               {"uid", "nm", "encrypt", "ip", "gateway", "subnetMask", "portKM", "portV", "portWeb",
                "temp", "humid"});
  if (serverRow.isObject()) {  // the row, with the members set before it
    for (const std::string& name : server.getMemberNames()) serverRow[name].swap(server[name]);
    server.swap(serverRow);
  }
  for (const char* member : {"ip", "gateway", "subnetMask"}) {
    server[member] = CTools::IP_intToStr(server[member].asString());
  }

  Json::Value ips;
  CDB::selIPS(ips, &snap);  // and the device mode, from the same row
  if (restricted) ips["ips"] = Json::Value(Json::arrayValue);
  snap["ips"] = ips;

  Json::Value serverIps;
  if (restricted) {
    serverIps["serverips"] = Json::Value(Json::arrayValue);
  } else {
    CDB::selserverIPS(serverIps);
  }
  snap["serverips"] = serverIps;

  // Only captured pairs: a module whose serial console a user holds, with
  // that user. A free module (-1) never pairs, not even with a row of id -1.
  CDB::selText(std::string(" select dog2.id as dogID,dog2.nm as dogNM,user2.id as userID,"
                           "user2.nm as userNM from dog2,user2 ") +
                   " where dog2.serialUserID=user2.id and dog2.serialUserID!=-1 order by dog2.id",
               {"dogID", "dogNM", "userID", "userNM"}, found["serials"]);

  std::string& dogs = found["dogs"];
  const std::vector<const char*> keys = factory ? korvan::kModuleKeys : dogKeys();
  korvan::SlotCheck slots(keys, kSlotKeys);
  if (factory) {
    CDB::selText(korvan::kModuleQuery, keys, dogs, {nullptr, CDB::convertDogTCF(keys), {}});
  } else {
    CDB::selText(std::string(" select di2.id as dogInfoID,") + korvan::kModuleColumns +
                     // Every online module, each with its slots; one without is left
                     // out of the list (but not out of the slot check).
                     " from dog2 as d2 left join dogInfo2 as di2 on d2.uid=di2.uid where "
                     "status+usrstatus>=1 " +
                     " order by d2.id",
                 keys, dogs, {slots.moduleRows(), CDB::convertDogTCF(keys), {}});
  }
  if (dogs == "null") dogs = "[]";  // an empty list, never null

  CDB::selText(" select setted,id,uid,nm from dogInfo2 where 1=1 order by id", kSlotKeys,
               found["dogInfos"], {checkSlots ? slots.slotRows() : nullptr, nullptr, {}});
  if (!factory) {
    setLog(trace::kFirstLogin, firstLogin.c_str());
    if (firstLogin == "1") snap["firstLogin"] = true;
  }
  return !checkSlots || slots.inOrder();
}

}  // namespace

void selAllTables(const RequestContext& context, const korvan::Params& params,
                  Json::Value& jsOData, korvan::JsonFragments& lists) {
  const Caller& caller = context.caller;
  // Built apart and joined to the reply only when complete: a failure on the
  // way leaves the reply with the error instead of half a snapshot.
  Json::Value head(Json::objectValue);
  std::string serverTime;
  getDateTime_sec(serverTime);
  head["softVersion"] = softVersion();
  head["serverTime"] = serverTime;

  // The stored server address is a level-3 setting like the rest of server2.
  // A call answered without the write lock leaves both writes to the next.
  const bool serverIp = params.serverIp && caller.level >= 3 && !context.writesDeferred;
  if (serverIp) korvan::slotUpkeep(serverIp, context.mode, *params.serverIp, head);

  // One read transaction: every member shows the same moment. The module and
  // slot lists it reads also tell whether the slots need upkeep (they rarely
  // do); then the reading is dropped for the upkeep's write transaction and
  // done again after it.
  bool checkSlots = !serverIp && !context.factory() && !context.writesDeferred;
  for (;;) {
    Json::Value snap = head;
    korvan::JsonFragments found;
    {
      korvan::Transaction reading(korvan::Transaction::kDeferred);
      if (readSnapshot(caller, context.factory(), checkSlots, snap, found)) {
        reading.commit();
        for (const std::string& name : snap.getMemberNames()) jsOData[name].swap(snap[name]);
        for (auto& [name, text] : found) {
          jsOData.removeMember(name);
          lists[name].swap(text);
        }
        return;
      }
    }  // the reading ends before the upkeep writes
    korvan::slotUpkeep(false, context.mode, std::string(), head);
    checkSlots = false;  // read once more, whether the upkeep could write or not
  }
}
