// Session sweep, check and extension, logout and refresh.
#include "auth/session.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/number.h"
#include "util/token_hash.h"

namespace {

// Epoch seconds as long long: a 32-bit long would wrap in 2038.
std::string nowText() { return std::to_string(static_cast<long long>(time(nullptr))); }

// The caller of the one row `condition` selects from user2 joined with its
// group, or the session refusal when there is none.
Caller selectCaller(const std::string& condition) {
  std::string sql =
      std::string(" select user2.id,user2.nm,priv2.level,user2.dog,user2.token,user2.expireTime ") +
      " from user2,priv2 where user2.pid=priv2.id " + condition;
  std::vector<std::string> keys{"id", "nm", "level", "dog", "token", "expireTime"};
  const std::optional<Json::Value> found = CDB::selOne(sql, keys);
  if (!found) throw CMyErr(CMyErr::err, session::kSessionRefused);
  const Json::Value& row = *found;
  Caller caller;
  caller.id = row["id"].asString();
  caller.name = row["nm"].asString();
  caller.level = korvan::leadingInt(row["level"].asString());
  caller.rights = row["dog"].asString();
  caller.token = row["token"].asString();
  caller.expiry = row["expireTime"].asString();
  return caller;
}

}  // namespace

namespace session {

void updateAllUserStatusByExpire() {
  std::string sql =
      std::string("update user2 set status=0 ") + "where status=1 and expireTime<" + nowText();
  CDB::execModify(sql);
}

Caller checkToken(const korvan::Params& request) {
  const std::string& id = request.sessionId;
  // The session's own id is the identity; a second id that says otherwise
  // is not another user's to borrow.
  if (request.userId && *request.userId != id) {
    throw CMyErr(CMyErr::err, kSessionRefused);
  }
  if (!isSqlNumber(id)) throw CMyErr(CMyErr::err, kSessionRefused);
  // The expiry is tested here, so that the check needs no sweep before it
  // and a refused request writes nothing.
  Caller caller = selectCaller(" and user2.status=1 and user2.expireTime>=" + nowText() +
                               " and user2.id=" + id);
  // The row holds the token's hash; the caller holds the token it presented.
  if (!korvan::tokenMatches(request.sessionToken, caller.token)) {
    throw CMyErr(CMyErr::err, kSessionRefused);
  }
  caller.token = request.sessionToken;
  return caller;
}

Caller callerOf(const std::string& id, const std::string& token) {
  Caller caller = selectCaller(" and user2.id=" + sqlNumber(id));
  caller.token = token;
  return caller;
}

void updateExpire(const Caller& caller) {
  // A row that already holds the new expiry (a second request within the same
  // second) is left alone: rewriting it would cost a durable commit for no
  // change. The check read the expiry in this same transaction, so when it
  // holds the new value already there is no statement to run at all.
  // The last request is written with the expiry: the sessions list shows it
  // without costing a statement of its own.
  const long long now = static_cast<long long>(time(nullptr));
  const std::string expire = std::to_string(now + kIdleSeconds);
  if (caller.expiry == expire) return;
  std::string sql = std::string(" update user2 set ") + " expireTime=" + expire +
                    ", lastRequest=" + std::to_string(now) +
                    " where id=" + sqlNumber(caller.id) + " and status = 1" +
                    " and expireTime is not " + expire;
  CDB::execModify(sql);
}

}  // namespace session

void onLogout(const RequestContext& context, const korvan::NoParams&, Json::Value&) {
  const Caller& caller = context.caller;
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  std::string sql =
      std::string(" update user2 set ") + " status=0" + " where id=" + sqlNumber(caller.id);
  CDB::execModify(sql);
  audit::recordAccess(caller, {"logout", "user logout"}, Json::Value());
  transaction.commit();
}

void onRef(const RequestContext&, const korvan::NoParams&, Json::Value&) {}
