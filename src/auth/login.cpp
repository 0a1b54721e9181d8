// Login with failure counting and a temporary lock per user name.
//
// A series of failed logins for one user name is counted in userLock. The
// failure that reaches the policy's limit (pwdTry) stores the lock time; every
// attempt within kLockSeconds of it is refused without testing the password,
// and the first attempt after that starts a fresh series. The count is read
// and raised under one write lock, so parallel attempts cannot test more
// passwords than the policy allows. Names longer than kMaxNameBytes are
// refused untested and uncounted; rows of names that are no user go once
// their lock has run out.
#include "auth/login.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "auth/session.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/local_time.h"
#include "util/number.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace login {

namespace {

constexpr size_t kTokenBytes = 16;

// Calls `source(buf + got, len - got)` until `len` bytes have come, the
// source ends or it fails (EINTR is retried). Returns the number of bytes got.
template <class Source>
size_t fillFrom(unsigned char* buf, size_t len, Source source) {
  size_t got = 0;
  while (got < len) {
    ssize_t n = source(buf + got, len - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (!(n < 0 && errno == EINTR)) {
      break;
    }
  }
  return got;
}

// Fills `buf` from getrandom(), falling back to /dev/urandom where the call
// is not available. False when neither source delivers.
bool randomBytes(unsigned char* buf, size_t len) {
  if (fillFrom(buf, len, [](unsigned char* p, size_t n) { return getrandom(p, n, 0); }) == len) {
    return true;
  }
  int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  size_t got = fillFrom(buf, len, [fd](unsigned char* p, size_t n) { return read(fd, p, n); });
  close(fd);
  return got == len;
}

void maskPasswords(Json::Value& value) {
  if (value.isObject()) {
    for (const std::string& name : value.getMemberNames()) {
      if (name == "pw") {
        value[name] = "***";
      } else {
        maskPasswords(value[name]);
      }
    }
  } else if (value.isArray()) {
    for (Json::Value& item : value) maskPasswords(item);
  }
}

// Removes the failure rows of names that are no user once their lock time
// lies beyond the lock: anyone may type any name, and without this the
// table would grow with every name tried. Rows of real users stay, so their
// series and locks are kept.
void removeLapsedStrangers() {
  const time_t cutoff = time(nullptr) - static_cast<time_t>(kLockSeconds);
  std::string sql = "delete from userLock where f_datetime<'" + sqlText(korvan::localText(cutoff)) +
                    "' and f_userName not in (select nm from user2);";
  CDB::execModify(sql);
}

// Records a failed login of `name`: in full for a user, under the rate rule
// of audit::recordStrangerFailure for any other name.
void recordFailure(const std::string& address, const std::string& name, const std::string& reason) {
  if (!audit::isUser(name)) {
    audit::recordStrangerFailure(address, audit::recordedName(name), reason);
    return;
  }
  Caller who;
  who.name = name;
  who.address = address;
  Json::Value entries;
  audit::addEntry(entries, "reason", reason);
  audit::recordAccess(who, {"loginFailed", "login failed"}, entries);
}

}  // namespace

std::string newSessionToken() {
  unsigned char bytes[kTokenBytes];
  if (!randomBytes(bytes, sizeof bytes)) {
    throw CMyErr(CMyErr::err, "cannot create a session token: no random source");
  }
  static const char kHex[] = "0123456789abcdef";
  std::string token;
  token.reserve(2 * sizeof bytes);
  for (unsigned char b : bytes) {
    token.push_back(kHex[b >> 4]);
    token.push_back(kHex[b & 15]);
  }
  return token;
}

int policyNumber(const Json::Value& policy, const char* member) {
  if (!policy.isObject()) return 0;
  const Json::Value& value = policy[member];
  if (!value.isString() && !value.isNumeric()) return 0;
  return korvan::leadingInt(value.asString());
}

bool lockCheckDue(int pwdTry, int attempt) { return pwdTry > 0 && attempt > pwdTry; }

bool stillLocked(double elapsed) { return elapsed <= kLockSeconds; }

FailureRecord failureRecord(int attempt, int pwdTry) {
  if (attempt == 0) return FailureRecord::insertFirst;
  if (attempt >= pwdTry) return FailureRecord::renewLockTime;
  return FailureRecord::countOnly;
}

bool passwordExpired(int pwdExpireDays, double elapsed) {
  return pwdExpireDays > 0 && 86400.0 * pwdExpireDays < elapsed;
}

Json::Value withoutPasswords(const Json::Value& request) {
  Json::Value copy = request;
  maskPasswords(copy);
  return copy;
}

// ---- The database work of a login ------------------------------------------

namespace {

// The login request as the trace records 693 and 832 show it: passwords
// masked, and the time zone the login stores also as `user.timezone`, where
// support tools reading the trace log look for it. The request itself is
// left as sent.
Json::Value tracedRequest(const Json::Value& request) {
  Json::Value traced = withoutPasswords(request);
  Json::Value& user = traced["user"];
  if (user.isNull() || user.isObject()) user["timezone"] = request["timezone"];
  return traced;
}

// The password policy document of secureConf.
Json::Value getPwdConf() {
  Json::Value row = CDB::sel(false, "select f_pwd from secureConf;", {"secureConf"});
  Json::Value policy;
  Json::Reader reader;
  // A document that does not parse reads as having no members: no lock, no
  // password expiry.
  if (!reader.parse(row["secureConf"].asString(), policy, true)) policy = Json::Value();
  return policy;
}

// The number the next failed attempt of `userName` would have (0 when the
// name has no failure row), and in `dt` the row's lock time.
int getRetryCount(std::string userName, std::string& dt) {
  std::string sql = "select * from userLock where f_userName='" + sqlText(userName) + "';";
  std::vector<std::string> keys{"f_id", "f_datetime", "f_userName", "f_wrongTimes"};
  const std::optional<Json::Value> row = CDB::selOne(sql, keys);
  if (!row) return 0;
  dt = (*row)["f_datetime"].asString();
  int count = korvan::leadingInt((*row)["f_wrongTimes"].asString());
  return (count == INT_MAX ? INT_MAX - 1 : count) + 1;
}

// Counts and checks the attempt within `transaction`, which a refusal
// commits (with its record) and a success leaves open for the session. On
// success returns the user's row (members userID, pwdExpire and level), the
// time zone is stored, and an expired password is noted in jsOData.retMsg.
// In factory mode only super administrators pass.
Json::Value checkPW(DeviceMode mode, const korvan::LoginParams& params, Json::Value& jsOData,
                    const std::string& address, korvan::Transaction& transaction) {
  // The document as sent, for the trace records alone.
  const Json::Value& request = params.document();
  const std::string& userNM = params.userName;
  // Refused before anything is written, the trace log included.
  if (userNM.size() > kMaxNameBytes) throw CMyErr(CMyErr::err, "User Name too long");
  // A NUL byte would end the statements that look the name up.
  if (userNM.find('\0') != std::string::npos) throw CMyErr(CMyErr::err, "Invalid user name");
  Json::Value policy = getPwdConf();
  setLog(trace::kLoginRequest, tracedRequest(request).toStyledString().c_str());
  setLog(trace::kPasswordPolicy, policy.toStyledString().c_str());
  const int pwdTry = policyNumber(policy, "pwdTry");
  const int pwdExpire = policyNumber(policy, "pwdExpire");

  const std::string& pw = params.password;
  const int timezone = korvan::leadingInt(params.timezone);

  // Within onLogin's write transaction (see there).
  removeLapsedStrangers();
  std::string lockTime;
  int attempt = getRetryCount(userNM, lockTime);

  if (lockCheckDue(pwdTry, attempt)) {
    double elapsed = difftime(time(nullptr), korvan::secondsAsZoneSays(lockTime));
    if (stillLocked(elapsed)) {
      // One record per lock period for a user: an attacker who keeps trying
      // raises its count instead of filling the log.
      if (audit::isUser(userNM)) {
        audit::recordLockedAttempt(address, userNM, lockTime);
      } else {
        recordFailure(address, userNM, "locked");
      }
      transaction.commit();
      throw CMyErr(CMyErr::err, "Exceed max retry count. Please login after 20 minutes");
    }
    std::string sql =
        "update userLock set f_wrongTimes=0 where f_userName='" + sqlText(userNM) + "';";
    CDB::execModify(sql);
    attempt = 1;
  }

  std::string sql = std::string(" select user2.id,user2.pwdExpire,priv2.level ") +
                    " from user2,priv2 where user2.pid=priv2.id " + " and user2.nm='" +
                    sqlText(userNM) + "'" + " and user2.pw='" + sqlText(pw) + "'";
  std::vector<std::string> keys{"userID", "pwdExpire", "level"};
  const std::optional<Json::Value> found = CDB::selOne(sql, keys);

  if (!found) {
    std::string now;
    getDateTime_sec(now);
    std::string record;
    switch (failureRecord(attempt, pwdTry)) {
      case FailureRecord::insertFirst:
        record = "insert into userLock (f_id,f_datetime,f_userName,f_wrongTimes) values (null,'" +
                 sqlText(now) + "','" + sqlText(userNM) + "',1);";
        attempt = 1;
        break;
      case FailureRecord::renewLockTime:
        record = "update userLock set f_datetime='" + sqlText(now) + "'," +
                 "f_wrongTimes=" + std::to_string(attempt) + " where f_userName='" +
                 sqlText(userNM) + "';";
        break;
      case FailureRecord::countOnly:
        record = "update userLock set f_wrongTimes=" + std::to_string(attempt) +
                 " where f_userName='" + sqlText(userNM) + "';";
        break;
    }
    CDB::execModify(record);
    recordFailure(address, userNM, "wrong password");
    if (pwdTry > 0 && attempt >= pwdTry && audit::isUser(userNM)) {
      Caller who;
      who.name = userNM;
      who.address = address;
      Json::Value entries;
      audit::addEntry(entries, "failures", std::to_string(attempt));
      audit::recordAccess(who, {"lockout", "user locked out"}, entries);
    }
    transaction.commit();
    throw CMyErr(CMyErr::err, "User Name or Password error: " + std::to_string(attempt) + " times");
  }
  const Json::Value& user = *found;

  std::string reset =
      "update userLock set f_wrongTimes=0 where f_userName='" + sqlText(userNM) + "';";
  CDB::execModify(reset);

  if (mode == DeviceMode::factory && user["level"].asString() != "3") {
    recordFailure(address, userNM, "factory mode");
    transaction.commit();
    throw CMyErr(CMyErr::err, "factory mode,only superAdmin can login");
  }

  std::string zone = "update user2 set timezone=" + std::to_string(timezone) + " where nm='" +
                     sqlText(userNM) + "';";
  CDB::execModify(zone);

  if (pwdExpire > 0) {
    double elapsed =
        difftime(time(nullptr), korvan::secondsAsZoneSays(user["pwdExpire"].asString()));
    // The request as sent, with the user's row that the check found.
    Json::Value traced = tracedRequest(request);
    for (const std::string& name : user.getMemberNames()) traced[name] = user[name];
    setLog(trace::kLoginChecked, traced.toStyledString().c_str());
    if (passwordExpired(pwdExpire, elapsed)) {
      jsOData["retMsg"] = "Password has expired. Please update.";
    }
  }
  return user;
}

// Opens the session of `user`, the row that checkPW found; returns the new
// token.
std::string updateToken(const Json::Value& user) {
  const std::string token = newSessionToken();
  std::string loginTime;
  getDateTime_sec(loginTime);
  const long long expire = static_cast<long long>(time(nullptr)) + session::kIdleSeconds;
  std::string sql = std::string(" update user2 set token='") + sqlText(token) + "'," +
                    " status=1," + " loginTime2=loginTime," + " loginTime='" + sqlText(loginTime) +
                    "'," + " expireTime=" + std::to_string(expire) +
                    " where id=" + sqlNumber(user["userID"]);
  CDB::execModify(sql);
  return token;
}

}  // namespace

}  // namespace login

Caller onLogin(DeviceMode mode, const korvan::LoginParams& params, Json::Value& jsOData,
               const std::string& address) {
  // The failure count is read and raised under one write lock: of parallel
  // attempts for one name, each sees the count the one before it left, so
  // no more than pwdTry passwords are tested between two locks. A session
  // opens together with its record.
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const Json::Value user = login::checkPW(mode, params, jsOData, address, transaction);
  const std::string token = login::updateToken(user);
  Caller caller = session::callerOf(user["userID"].asString(), token);
  caller.address = address;
  audit::recordAccess(caller, {"login", "user login"}, Json::Value());
  transaction.commit();
  return caller;
}
