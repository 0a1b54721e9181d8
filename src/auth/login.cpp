// Login with failure counting and a temporary lock per user name.
//
// A series of failed logins for one user name is counted in userLock. The
// failure that reaches the policy's limit (pwdTry) stores the lock time; every
// attempt within kLockSeconds of it is refused without testing the password,
// and the first attempt after that starts a fresh series. The count is read
// and raised under one write lock before the password is verified, so
// parallel attempts cannot test more passwords than the policy allows; the
// verification itself runs outside any transaction (auth/verify.h). Names longer than kMaxNameBytes are
// refused untested and uncounted; rows of names that are no user go once
// their lock has run out.
#include "auth/login.h"

#include <climits>
#include <cstdlib>

#include "auth/second_factor.h"
#include "auth/session.h"
#include "auth/verify.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/local_time.h"
#include "util/number.h"
#include "util/secure_bytes.h"
#include "util/trace.h"
#include "util/token_hash.h"
#include "util/trace_ids.h"
#include "util/verify_slots.h"

namespace login {

namespace {

constexpr size_t kTokenBytes = 16;

void maskPasswords(Json::Value& value) {
  if (value.isObject()) {
    for (const std::string& name : value.getMemberNames()) {
      if (name == "pw" || name == "otp") {
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

}  // namespace

std::string newSessionToken() {
  unsigned char bytes[kTokenBytes];
  korvan::randomBytes(bytes, sizeof bytes);
  return korvan::lowerHex(bytes, sizeof bytes);
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

// An attempt as its first phase counted it.
struct Attempt {
  int number = 0;  // the count of failures this attempt makes if it fails
  int pwdTry = 0;
  int pwdExpire = 0;
  bool totpAdmin = false;  // level 3 must enrol a second factor
  Account account;
};

// The first phase, in a short write transaction of its own: the lock check,
// then the attempt is counted as a failure before its password is tested, so
// that parallel attempts for one name each see the count the one before left
// and no more than pwdTry passwords are tested between two locks. A refusal
// commits its record and throws.
Attempt countAttempt(const korvan::LoginParams& params, const std::string& address) {
  // The document as sent, for the trace records alone.
  const Json::Value& request = params.document();
  const std::string& userNM = params.userName;
  // Refused before anything is written, the trace log included.
  if (userNM.size() > kMaxNameBytes) throw CMyErr(CMyErr::err, "User Name too long");
  // A NUL byte would end the statements that look the name up.
  if (userNM.find('\0') != std::string::npos) throw CMyErr(CMyErr::err, "Invalid user name");
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  Json::Value policy = getPwdConf();
  setLog(trace::kLoginRequest, tracedRequest(request).toStyledString().c_str());
  setLog(trace::kPasswordPolicy, policy.toStyledString().c_str());
  Attempt attempt;
  attempt.pwdTry = policyNumber(policy, "pwdTry");
  attempt.pwdExpire = policyNumber(policy, "pwdExpire");
  attempt.totpAdmin = second_factor::requiredForAdministrators(policy);
  const int pwdTry = attempt.pwdTry;

  removeLapsedStrangers();
  std::string lockTime;
  attempt.number = getRetryCount(userNM, lockTime);

  if (lockCheckDue(pwdTry, attempt.number)) {
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
    attempt.number = 1;
  }

  std::string now;
  getDateTime_sec(now);
  std::string record;
  switch (failureRecord(attempt.number, pwdTry)) {
    case FailureRecord::insertFirst:
      record = "insert into userLock (f_id,f_datetime,f_userName,f_wrongTimes) values (null,'" +
               sqlText(now) + "','" + sqlText(userNM) + "',1);";
      attempt.number = 1;
      break;
    case FailureRecord::renewLockTime:
      record = "update userLock set f_datetime='" + sqlText(now) + "'," +
               "f_wrongTimes=" + std::to_string(attempt.number) + " where f_userName='" +
               sqlText(userNM) + "';";
      break;
    case FailureRecord::countOnly:
      record = "update userLock set f_wrongTimes=" + std::to_string(attempt.number) +
               " where f_userName='" + sqlText(userNM) + "';";
      break;
  }
  CDB::execModify(record);

  const std::string columns = " select user2.id,user2.pw,user2.pwdExpire,priv2.level ";
  const std::string sql = columns +
      " from user2,priv2 where user2.pid=priv2.id " + " and user2.nm='" + sqlText(userNM) + "'";
  const std::optional<Json::Value> found =
      CDB::selOne(sql, {"userID", "pw", "pwdExpire", "level"});
  if (found) {
    attempt.account.known = true;
    attempt.account.userId = (*found)["userID"].asString();
    attempt.account.stored = (*found)["pw"].asString();
    attempt.account.pwdExpire = (*found)["pwdExpire"].asString();
    attempt.account.level = (*found)["level"].asString();
  }
  transaction.commit();
  return attempt;
}

// True when the account's stored password is still the one the verification
// saw: a password changed or an account removed meanwhile is not logged in.
bool unchangedSinceCounted(const Account& account) {
  const std::optional<Json::Value> row = CDB::selOne(
      "select pw from user2 where id=" + sqlNumber(account.userId) + ";", {"pw"});
  return row && (*row)["pw"].asString() == account.stored;
}

// The last phase, within `transaction`, which a refusal commits (with its
// record) and a success leaves open for the session. On success returns the
// user's row (members userID, pwdExpire and level), the time zone and any
// fresh hash are stored, and an expired password is noted in
// jsOData.retMsg. In factory mode only super administrators pass.
Json::Value settle(DeviceMode mode, const korvan::LoginParams& params, Json::Value& jsOData,
                   const std::string& address, const Attempt& attempt, const Verdict& verdict,
                   korvan::Transaction& transaction) {
  const std::string& userNM = params.userName;
  const Account& account = attempt.account;
  // A failure keeps the count the first phase stored, and is recorded.
  auto recordRefusal = [&](const char* reason) {
    recordFailure(address, userNM, reason);
    if (attempt.pwdTry > 0 && attempt.number >= attempt.pwdTry && audit::isUser(userNM)) {
      Caller who;
      who.name = userNM;
      who.address = address;
      Json::Value entries;
      audit::addEntry(entries, "failures", std::to_string(attempt.number));
      audit::recordAccess(who, {"lockout", "user locked out"}, entries);
    }
    transaction.commit();
  };
  if (!verdict.accepted || !unchangedSinceCounted(account)) {
    recordRefusal("wrong password");
    throw CMyErr(CMyErr::err,
                 "User Name or Password error: " + std::to_string(attempt.number) + " times");
  }
  switch (second_factor::checkLoginCode(account.userId, params.otp)) {
    case second_factor::LoginCheck::codeMissing:
      // The password was right: no failure. The count goes back to what it
      // was before this attempt, and the browser asks for the code.
      CDB::execModify("update userLock set f_wrongTimes=" + std::to_string(attempt.number - 1) +
                      " where f_userName='" + sqlText(userNM) + "';");
      transaction.commit();
      throw CMyErr(CMyErr::err, second_factor::kCodeRequired);
    case second_factor::LoginCheck::codeWrong:
      recordRefusal("wrong code");
      throw CMyErr(CMyErr::err,
                   "Second factor code error: " + std::to_string(attempt.number) + " times");
    case second_factor::LoginCheck::notEnrolled:
      if (attempt.totpAdmin && account.level == "3") jsOData["totpEnrol"] = true;
      break;
    case second_factor::LoginCheck::accepted:
      break;
  }
  Json::Value user;
  user["userID"] = account.userId;
  user["pwdExpire"] = account.pwdExpire;
  user["level"] = account.level;

  std::string reset =
      "update userLock set f_wrongTimes=0 where f_userName='" + sqlText(userNM) + "';";
  CDB::execModify(reset);

  if (mode == DeviceMode::factory && account.level != "3") {
    recordFailure(address, userNM, "factory mode");
    transaction.commit();
    throw CMyErr(CMyErr::err, "factory mode,only superAdmin can login");
  }

  // Text from an older version, or a hash of another cost, is replaced by
  // the hash made during the verification.
  if (!verdict.newHash.empty()) {
    CDB::execModify("update user2 set pw='" + sqlText(verdict.newHash) +
                    "' where id=" + sqlNumber(account.userId) + ";");
  }

  const int timezone = korvan::leadingInt(params.timezone);
  std::string zone = "update user2 set timezone=" + std::to_string(timezone) + " where nm='" +
                     sqlText(userNM) + "';";
  CDB::execModify(zone);

  if (attempt.pwdExpire > 0) {
    double elapsed = difftime(time(nullptr), korvan::secondsAsZoneSays(account.pwdExpire));
    // The request as sent, with the user's row that the check found.
    Json::Value traced = tracedRequest(params.document());
    for (const std::string& name : user.getMemberNames()) traced[name] = user[name];
    setLog(trace::kLoginChecked, traced.toStyledString().c_str());
    if (passwordExpired(attempt.pwdExpire, elapsed)) {
      jsOData["retMsg"] = "Password has expired. Please update.";
    }
  }
  return user;
}

// Opens the session of `user`, the row that settle() returned, from client
// `address`; returns the new token, of which the row keeps only the hash.
std::string updateToken(const Json::Value& user, const std::string& address) {
  const std::string token = newSessionToken();
  std::string loginTime;
  getDateTime_sec(loginTime);
  const long long now = static_cast<long long>(time(nullptr));
  const long long expire = now + session::kIdleSeconds;
  std::string sql = std::string(" update user2 set token='") + korvan::tokenHash(token) + "'," +
                    " status=1," + " loginTime2=loginTime," + " loginTime='" + sqlText(loginTime) +
                    "'," + " expireTime=" + std::to_string(expire) +
                    ", lastRequest=" + std::to_string(now) + ", loginIP='" + sqlText(address) +
                    "'" + " where id=" + sqlNumber(user["userID"]);
  CDB::execModify(sql);
  return token;
}

}  // namespace

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

}  // namespace login

Caller onLogin(DeviceMode mode, const korvan::LoginParams& params, Json::Value& jsOData,
               const std::string& address) {
  // Three phases: the attempt is counted in a short write transaction, the
  // password verified outside any transaction, and the outcome stored in a
  // second one, where a session opens together with its record. The
  // verification slot is taken first, so that a login refused as busy has
  // written nothing and counts as no failure.
  const korvan::VerifySlot slot;
  const login::Attempt attempt = login::countAttempt(params, address);
  const login::Verdict verdict = login::verifyPassword(attempt.account, params.password);
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const Json::Value user =
      login::settle(mode, params, jsOData, address, attempt, verdict, transaction);
  const std::string token = login::updateToken(user, address);
  Caller caller = session::callerOf(user["userID"].asString(), token);
  caller.address = address;
  audit::recordAccess(caller, {login::kLoginRecordType, login::kLoginRecordText}, Json::Value());
  transaction.commit();
  return caller;
}
