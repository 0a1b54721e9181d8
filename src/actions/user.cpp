#include "actions/user.h"

#include <map>
#include <optional>
#include <string>

#include "store/audit.h"
#include "store/cursor.h"
#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "util/local_time.h"
#include "util/members.h"
#include "util/myerr.h"
#include "util/password_hash.h"
#include "util/password_rule.h"
#include "util/verify_slots.h"

using korvan::textOf;

namespace {

// Seconds a login lock holds (the login's lock time, auth/login.h).
constexpr long long kLockSeconds = 1200;

// The log record shared by insertion and deletion: the nine user fields and
// the rights of the slots in use, as the request names them.
void logSingle(const Caller& caller, const Json::Value& userPara, const char* typeSub,
               const char* typeSubCN) {
  CKeyCNList keys;
  Json::Value source = userPara, a, unused;
  CLog::setUserKeyValue(false, keys, source, a, unused, unused);
  Json::Value entries;
  CLog::singleA(keys, a, entries);
  CLog::singleA_dog(textOf(a["dog"]), entries);
  CLog::insLog(caller, "user", typeSub, typeSubCN, CLog::detailText(entries));
}

// Side A of a user update: the stored row of `userPara`.`id` with its
// group's name, into `da`; nothing for an unknown id or a missing group.
void loadSideA(const Json::Value& userPara, Json::Value& da) {
  std::string sql =
      std::string(" select user2.id,user2.nm,pw,memo,user2.dog as dog,pid,priv2.nm as pidCN,") +
      " code,frame,media,nm2,addrH,addrC,phone,email,prior,memo2 " +
      " from user2,priv2 where user2.pid=priv2.id and user2.id=" +
      sqlNumber(textOf(userPara["id"]));
  std::vector<std::string> keys{"id",    "nm",    "pw",    "memo",  "dog",  "pid",
                                "pidCN", "code",  "frame", "media", "nm2",  "addrH",
                                "addrC", "phone", "email", "prior", "memo2"};
  da = CDB::sel(false, sql, keys);
}

bool setsPassword(const Json::Value& userPara) { return textOf(userPara["setPW"]) == "yes"; }

// True when some member of `da` other than `pw` differs from `db`.
bool changesMoreThanPassword(const Json::Value& da, const Json::Value& db) {
  for (const std::string& name : da.getMemberNames()) {
    if (name == "pw") continue;
    if (textOf(da[name]) != textOf(db[name])) return true;
  }
  return false;
}

// The minimum password length of the password policy.
int policyMinimum() {
  const std::optional<Json::Value> row =
      CDB::selOne("select f_pwd from secureConf;", {"policy"});
  Json::Value policy;
  Json::Reader reader;
  if (!row || !reader.parse((*row)["policy"].asString(), policy, true)) policy = Json::Value();
  return korvan::passwordMinimum(policy);
}

// True when `password` is the stored one: against its hash, or as text for a
// value an older version stored.
bool matchesStored(const std::string& password, const std::string& stored) {
  if (korvan::isPasswordHash(stored)) return korvan::verifyPassword(password, stored);
  return !stored.empty() && password == stored;
}

}  // namespace

// ---- CUpdUser ----------------------------------------------------------------

bool CUpdUser::changesOnlyPassword(const Json::Value& userPara) {
  if (!userPara.isObject() || !setsPassword(userPara)) return false;
  Json::Value stored;
  loadSideA(userPara, stored);
  return !stored.isNull() && !changesMoreThanPassword(stored, userPara);
}

void CUpdUser::preparePassword() {
  if (!params_.setsPassword() || !params_.id) return;
  const std::optional<Json::Value> stored =
      CDB::selOne("select nm,pw from user2 where id=" + std::to_string(params_.id.value()) + ";",
                  {"nm", "pw"});
  const Json::Value& name = params_.userPara["nm"];
  const std::string userName =
      name.isNull() && stored ? (*stored)["nm"].asString() : textOf(name);
  const std::string password = textOf(params_.userPara["pw"]);
  korvan::checkPasswordRule(password, userName, policyMinimum());
  // Hashing and verifying cost what a login's verification costs, under the
  // same bound on how many run at once.
  const korvan::VerifySlot verifying;
  // The id is compared as a number: "01" names the caller as "1" does.
  ownChange_ = std::to_string(params_.id.value()) == caller.id;
  if (ownChange_ && stored) {
    verifiedStored_ = (*stored)["pw"].asString();
    oldPwRight_ = matchesStored(params_.oldPw, verifiedStored_);
  }
  newHash_ = korvan::hashPassword(password);
}

void CUpdUser::initDaDb() {
  // The whole object with the edited rights: its members are stored and
  // compared by column name.
  const Json::Value userPara = context.withRights(params_.userPara);
  loadSideA(userPara, da);
  db = userPara;
}

void CUpdUser::checkChange() {
  // A directory login made this user: its directory keeps the password, the
  // name and the group (which follows the group mapping at every login).
  if (!da.isNull()) {
    CRowCursor directory("select 1 from dirUser2,user2 where dirUser2.id=user2.id and "
                         "user2.pw is null and user2.id=" + std::to_string(params_.id.value()));
    if (directory.hasRow() && (params_.setsPassword() || textOf(da["pid"]) != textOf(db["pid"]) ||
                               textOf(da["nm"]) != textOf(db["nm"]))) {
      throw CMyErr(CMyErr::warning, "The directory keeps this account's password, name and group");
    }
  }
  if (!params_.setsPassword()) {
    // The password is not written, so it takes no part in the comparison.
    if (!changesMoreThanPassword(da, db)) throw CMyErr(CMyErr::warning, "Nothing modified");
    return;
  }
  // Whoever changes their own password proves they know the current one,
  // under the lock of their login name: the old password cannot be guessed
  // here more often than at the login. It was verified before the
  // transaction; a stored value changed since then counts as wrong.
  if (!da.isNull() && ownChange_) {
    if (const std::optional<std::string> since = audit::lockedSince(textOf(da["nm"]), kLockSeconds)) {
      refusal_ = Refusal::locked;
      lockTime_ = *since;
      return;
    }
    if (!oldPwRight_ || verifiedStored_ != textOf(da["pw"])) {
      refusal_ = Refusal::wrongOldPassword;
      return;
    }
    // The right one ends a series of wrong ones, as a login does.
    CDB::execModify("update userLock set f_wrongTimes=0 where f_userName='" +
                    sqlText(textOf(da["nm"])) + "'");
  }
  // A new password is a change whatever the other members say: the stored
  // hash cannot be compared with the text sent. An unknown id changes
  // nothing.
  if (da.isNull()) throw CMyErr(CMyErr::warning, "Nothing modified");
}

void CUpdUser::modify() {
  if (refusal_ != Refusal::none) return;
  std::map<std::string, bool> columns{
      {"nm", true},    {"memo", true},  {"code", true},  {"frame", true}, {"media", true},
      {"nm2", true},   {"addrH", true}, {"addrC", true}, {"phone", true}, {"email", true},
      {"memo2", true}, {"dog", true},   {"pid", false},  {"prior", false}};
  const bool setPassword = params_.setsPassword();
  if (setPassword) {
    columns["pw"] = true;
    db["pw"] = newHash_;
    columns["pwdDepth"] = true;
    columns["pwdExpire"] = true;
    // The password lifetime counts from now, whatever the request sent.
    std::string now;
    getDateTime_sec(now);
    db["pwdExpire"] = now;
  }
  // The whole statement is built, and so every value checked, before the
  // first write: a refused value leaves secureConf untouched as well.
  std::string update = " update user2 set ";
  CDB::getUpdSql(columns, db, update);
  update += " where id=" + std::to_string(params_.id.value());

  if (setPassword) {
    CDB::execModify("update secureConf set f_firstLogin=0");
  }
  CDB::execModify(update);
}

void CUpdUser::log() {
  if (refusal_ == Refusal::locked) {
    audit::recordLockedAttempt(caller.address, textOf(da["nm"]), lockTime_);
    return;
  }
  if (refusal_ == Refusal::wrongOldPassword) {
    audit::countWrongPassword(caller.address, textOf(da["nm"]), "wrong old password");
    return;
  }
  CKeyCNList keys;
  Json::Value a, b;
  CLog::setUserKeyValue(true, keys, da, a, db, b);
  Json::Value entries;
  CLog::compAB(keys, a, b, entries);
  CLog::CompAB_dog(textOf(a["dog"]), textOf(b["dog"]), entries);
  CLog::insLog(caller, "user", "updUser", "update user", CLog::detailText(entries));
}

void CUpdUser::afterCommit() {
  if (refusal_ == Refusal::locked) {
    throw CMyErr(CMyErr::err, "Exceed max retry count. Please login after 20 minutes");
  }
  if (refusal_ == Refusal::wrongOldPassword) throw CMyErr(CMyErr::warning, "old password wrong");
}

// ---- CInsUser ----------------------------------------------------------------

CInsUser::CInsUser(const RequestContext& context, const korvan::NewUserParams& params,
                   Json::Value& jsOData)
    : CAction(context, params, jsOData), params_(params) {
  const std::string password = textOf(params_.userPara["pw"]);
  korvan::checkPasswordRule(password, textOf(params_.userPara["nm"]), policyMinimum());
  const korvan::VerifySlot hashing;
  hash_ = korvan::hashPassword(password);
}

void CInsUser::checkChange() {}

void CInsUser::modify() {
  const Json::Value p = context.withRights(params_.userPara);
  auto quoted = [&p](const char* name) { return "'" + sqlText(textOf(p[name])) + "',"; };
  auto bare = [&p](const char* name) { return sqlNumber(textOf(p[name])) + ","; };
  std::string now;
  getDateTime_sec(now);

  std::string sql = std::string(" insert into user2 (") + " id,nm,pw,memo,pid,token,dog," +
                    " code,frame,media,nm2,addrH,addrC," + " phone,email,prior,memo2,status," +
                    " loginTime,loginTime2,createTime,pwdDepth,pwdExpire)" + " values(" + " null,";
  sql += quoted("nm") + "'" + sqlText(hash_) + "'," + quoted("memo") + bare("pid");
  // Placeholder token until the first login sets a real one; with status 0
  // the session check never accepts it.
  sql += "'6274',";
  for (const char* name :
       {"dog", "code", "frame", "media", "nm2", "addrH", "addrC", "phone", "email"}) {
    sql += quoted(name);
  }
  sql += bare("prior") + quoted("memo2");
  sql += "0,'','','" + sqlText(now) + "',";
  sql += quoted("pwdDepth");
  sql += "'" + sqlText(now) + "')";
  CDB::execModify(sql);
}

void CInsUser::log() {
  logSingle(caller, context.withRights(params_.userPara), "insUser", "insert user");
}

// ---- CDelUser ----------------------------------------------------------------

void CDelUser::checkChange() {}

void CDelUser::modify() {
  std::string sql = std::string(" delete from user2 ") +
                    " where id=" + std::to_string(params_.id.value());
  CDB::execModify(sql);
}

void CDelUser::log() {
  logSingle(caller, context.withRights(params_.userPara), "delUser", "delete user");
}
