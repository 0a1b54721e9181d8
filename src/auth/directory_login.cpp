#include "auth/directory_login.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <climits>

#include "auth/directory_ask.h"
#include "auth/directory_store.h"
#include "auth/login.h"
#include "auth/session.h"
#include "store/audit.h"
#include "store/cursor.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/local_time.h"
#include "util/myerr.h"
#include "util/number.h"
#include "util/paths.h"
#include "util/token_hash.h"
#include "util/verify_slots.h"

namespace directory {

namespace {

// One of kMaxConcurrent lock files beside the database, held with flock()
// for the time of the exchange; the kernel lets go when the process ends.
class Slot {
 public:
  Slot() {
    for (int i = 0; i < kMaxConcurrent && fd_ < 0; ++i) {
      const std::string path = korvan::resolvePath("/usr/app/korvan-directory." + std::to_string(i) + ".lock");
      const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
      if (fd < 0) continue;
      if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
      } else {
        close(fd);
      }
    }
  }
  ~Slot() {
    if (fd_ >= 0) close(fd_);
  }
  Slot(const Slot&) = delete;
  Slot& operator=(const Slot&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

struct Attempt {
  std::string key;     // the name the lock-out counts on
  int number = 0;      // the number this attempt has
  int pwdTry = 0;
  bool newRow = false; // the attempt created the name's userLock row
};

Json::Value policy() {
  Json::Value row = CDB::sel(false, "select f_pwd from secureConf;", {"secureConf"});
  Json::Value doc;
  Json::Reader reader;
  if (!reader.parse(row["secureConf"].asString(), doc, true)) doc = Json::Value();
  return doc;
}

using login::recordFailure;

[[noreturn]] void refuseCommitted(korvan::Transaction& transaction, const std::string& address,
                                  const std::string& name, const std::string& reason,
                                  const std::string& message) {
  recordFailure(address, name, reason);
  transaction.commit();
  throw CMyErr(CMyErr::err, message);
}

// Step 1: the lock-out check and the advance count, committed.
Attempt countAttempt(const std::string& key, const std::string& address) {
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  Attempt attempt;
  attempt.key = key;
  attempt.pwdTry = login::policyNumber(policy(), "pwdTry");
  const std::string quoted = "'" + sqlText(key) + "'";
  std::string lockTime;
  int count = -1;
  {
    CRowCursor row("select f_datetime,f_wrongTimes from userLock where f_userName=" + quoted);
    if (row.hasRow()) {
      lockTime = row.cell(0);
      count = korvan::leadingInt(row.cell(1));
    }
  }
  attempt.newRow = count < 0;
  attempt.number = count < 0 ? 1 : (count == INT_MAX ? INT_MAX : count + 1);
  if (login::lockCheckDue(attempt.pwdTry, attempt.number)) {
    const double elapsed = difftime(time(nullptr), korvan::secondsAsZoneSays(lockTime));
    if (login::stillLocked(elapsed)) {
      if (audit::isUser(key)) {
        audit::recordLockedAttempt(address, key, lockTime);
      } else {
        recordFailure(address, key, "locked");
      }
      transaction.commit();
      throw CMyErr(CMyErr::err, "Exceed max retry count. Please login after 20 minutes");
    }
    attempt.number = 1;
  }
  std::string now;
  getDateTime_sec(now);
  if (attempt.newRow) {
    CDB::execModify("insert into userLock (f_id,f_datetime,f_userName,f_wrongTimes) values (null,'" +
                    sqlText(now) + "'," + quoted + ",1);");
  } else if (attempt.pwdTry > 0 && attempt.number >= attempt.pwdTry) {
    // Counted as the failure that locks: parallel attempts meet the lock.
    CDB::execModify("update userLock set f_datetime='" + sqlText(now) + "',f_wrongTimes=" +
                    std::to_string(attempt.number) + " where f_userName=" + quoted);
  } else {
    CDB::execModify("update userLock set f_wrongTimes=" + std::to_string(attempt.number) +
                    " where f_userName=" + quoted);
  }
  transaction.commit();
  return attempt;
}

// Takes back the advance count of an attempt whose password was never tested.
void uncount(const Attempt& attempt) {
  const std::string quoted = "'" + sqlText(attempt.key) + "'";
  if (attempt.newRow) {
    CDB::execModify("delete from userLock where f_userName=" + quoted);
  } else {
    CDB::execModify("update userLock set f_wrongTimes=max(f_wrongTimes-1,0) where f_userName=" + quoted);
  }
}

// The local account called `name` exists (a user2 row that no directory login made).
bool isLocalAccount(const std::string& name) {
  CRowCursor row("select 1 from user2 where nm='" + sqlText(name) +
                 "' and id not in (select dirUser2.id from dirUser2,user2 u where u.id=dirUser2.id "
                 "and u.pw is null)");
  return row.hasRow();
}

std::string builtInAdministrator() {
  CRowCursor row("select nm from user2 where id=1");
  return row.hasRow() ? row.cell(0) : "";
}

// Removes the directory accounts not used for `days` days, each with a record.
void removeUnused(int days) {
  const std::string cutoff = korvan::localText(time(nullptr) - static_cast<time_t>(days) * 86400);
  std::vector<std::pair<std::string, std::string>> gone;
  {
    CRowCursor rows("select user2.id,user2.nm from user2,dirUser2 where user2.id=dirUser2.id and "
                    "user2.pw is null and max(user2.loginTime,user2.createTime)<'" +
                    sqlText(cutoff) + "'");
    for (; rows.hasRow(); rows.next()) gone.emplace_back(rows.cell(0), rows.cell(1));
  }
  for (const auto& [id, name] : gone) {
    CDB::execModify("delete from user2 where id=" + id);
    CDB::execModify("delete from dirUser2 where id=" + id);
    Caller system;
    Json::Value entries;
    audit::addEntry(entries, "user name", audit::recordedName(name));
    audit::addEntry(entries, "reason", "unused for " + std::to_string(days) + " days");
    audit::recordSystem(system, {"dirUserRemoved", "directory account removed"}, entries);
  }
  // Rows whose user is gone (deleted on the switch).
  CDB::execModify("delete from dirUser2 where id not in (select id from user2 where pw is null)");
}

// The user2 id of the directory person (`kind`, `stableId`) under `name` in
// device group `group`, created when new. Refuses a name held by another
// account.
std::string storeAccount(const Config& config, const std::string& name, const std::string& stableId,
                         long long group, korvan::Transaction& transaction, const std::string& address) {
  const std::string src = kindText(config.kind);
  std::string id;
  {
    CRowCursor row("select dirUser2.id from dirUser2,user2 where dirUser2.id=user2.id and "
                   "user2.pw is null and src='" + sqlText(src) + "' and srcId='" + sqlText(stableId) + "'");
    if (row.hasRow()) id = row.cell(0);
  }
  {
    CRowCursor other("select id from user2 where nm='" + sqlText(name) + "'" +
                     (id.empty() ? std::string() : " and id!=" + id));
    if (other.hasRow()) {
      refuseCommitted(transaction, address, name, "the name belongs to another account",
                      "This name belongs to a local account");
    }
  }
  std::string now;
  getDateTime_sec(now);
  const std::string pid = std::to_string(group);
  if (id.empty()) {
    CDB::execModify("insert into user2 (id,nm,pw,memo,pid,token,dog,status,createTime,pwdExpire) "
                    "values (null,'" + sqlText(name) + "',null,'" + src + " account'," + pid +
                    ",'6274',(select dog from priv2 where id=" + pid + "),0,'" + sqlText(now) + "','" +
                    sqlText(now) + "')");
    CRowCursor row("select last_insert_rowid()");
    id = row.cell(0);
    CDB::execModify("insert or replace into dirUser2 (id,nm,src,srcId) values (" + id + ",'" +
                    sqlText(name) + "','" + src + "','" + sqlText(stableId) + "')");
  } else {
    CDB::execModify("update user2 set nm='" + sqlText(name) + "',pid=" + pid +
                    ",dog=(select dog from priv2 where id=" + pid + ") where id=" + id);
    CDB::execModify("update dirUser2 set nm='" + sqlText(name) + "' where id=" + id);
  }
  return id;
}

}  // namespace

std::optional<Caller> login(DeviceMode mode, const korvan::LoginParams& params, Json::Value& jsOData,
                            const std::string& address) {
  const std::string& typed = params.userName;
  // Refused by the local login as before: over-long names, and names with a
  // control character, which no directory name has.
  if (typed.size() > login::kMaxNameBytes) return std::nullopt;
  for (unsigned char c : typed) {
    if (c < 0x20) return std::nullopt;
  }
  Config config;
  bool local = false;
  {
    korvan::Transaction reading(korvan::Transaction::kRead);
    config = load(Secrets::sealed);
    if (config.order == Order::off || typed == builtInAdministrator()) return std::nullopt;
    local = isLocalAccount(typed);
    if (local && config.order == Order::localFirst) return std::nullopt;
    openSecret(config);
  }
  const std::string name = foldedName(config, typed);
  if (!local && name != typed && isLocalAccount(name)) local = true;

  if (name.size() > kMaxDirectoryName) {
    if (local) return std::nullopt;
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    refuseCommitted(transaction, address, name, "name longer than 32 bytes", "User Name too long");
  }

  Slot slot;
  if (!slot.held()) throw CMyErr(CMyErr::err, korvan::kVerifyBusy);
  const Attempt attempt = countAttempt(name, address);

  // Step 2, outside any transaction.
  const auto deadline = Clock::now() + std::chrono::seconds(2 * config.timeout);
  const Answer answer = ask(config, name, params.password, deadline);

  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const bool fallback = local && config.order != Order::localFirst &&
                        (answer.outcome == Outcome::unreachable ||
                         (config.order == Order::directoryFirst && answer.outcome == Outcome::unknown));
  if (fallback) {
    uncount(attempt);
    if (answer.outcome == Outcome::unreachable) {
      recordFailure(address, name, std::string("directory unreachable, local account used: ") + answer.reason);
    }
    transaction.commit();
    return std::nullopt;
  }
  const std::string source = kindText(config.kind);
  if (answer.outcome == Outcome::unreachable || answer.outcome == Outcome::failed) {
    uncount(attempt);
    refuseCommitted(transaction, address, name,
                    std::string("directory ") + outcomeText(answer.outcome) + ": " + answer.reason,
                    "The directory server cannot be reached");
  }
  if (answer.outcome != Outcome::accepted) {
    // The attempt stays counted; the count that reaches pwdTry locked it.
    recordFailure(address, name, std::string(answer.outcome == Outcome::unknown ? "unknown name" : "wrong password") + " (" + source + ")");
    if (attempt.pwdTry > 0 && attempt.number >= attempt.pwdTry && audit::isUser(name)) {
      Caller who;
      who.name = name;
      who.address = address;
      Json::Value entries;
      audit::addEntry(entries, "failures", std::to_string(attempt.number));
      audit::recordAccess(who, {"lockout", "user locked out"}, entries);
    }
    transaction.commit();
    throw CMyErr(CMyErr::err, "User Name or Password error: " + std::to_string(attempt.number) + " times");
  }
  if (local) {
    refuseCommitted(transaction, address, name, "the name belongs to a local account (" + source + ")",
                    "This name belongs to a local account");
  }
  const long long group = mappedGroup(config.map, answer.groups);
  if (group == 0) {
    refuseCommitted(transaction, address, name, "no access group (" + source + ")", "no access group");
  }
  std::string level;
  {
    CRowCursor row("select level from priv2 where id=" + std::to_string(group));
    if (!row.hasRow()) {
      refuseCommitted(transaction, address, name, "no access group (" + source + ")", "no access group");
    }
    level = row.cell(0);
  }
  if (mode == DeviceMode::factory && level != "3") {
    refuseCommitted(transaction, address, name, "factory mode", "factory mode,only superAdmin can login");
  }
  CDB::execModify("update userLock set f_wrongTimes=0 where f_userName='" + sqlText(name) + "'");
  removeUnused(config.unusedDays);
  const std::string id = storeAccount(config, name, answer.stableId, group, transaction, address);

  const std::string token = login::newSessionToken();
  std::string now;
  getDateTime_sec(now);
  const long long expire = static_cast<long long>(time(nullptr)) + session::kIdleSeconds;
  // The database keeps only the token's hash, as for local sessions.
  CDB::execModify("update user2 set token='" + korvan::tokenHash(token) + "',status=1,loginTime2=loginTime,"
                  "loginTime='" + sqlText(now) + "',expireTime=" + std::to_string(expire) +
                  ",lastRequest=" + std::to_string(time(nullptr)) + ",loginIP='" + sqlText(address) +
                  "',timezone=" + std::to_string(korvan::leadingInt(params.timezone)) + " where id=" + id);
  Caller caller = session::callerOf(id, token);
  caller.address = address;
  Json::Value entries;
  audit::addEntry(entries, "source", source);
  audit::addEntry(entries, "server", answer.server);
  audit::recordAccess(caller, {login::kLoginRecordType, login::kLoginRecordText}, entries);
  transaction.commit();
  (void)jsOData;
  return caller;
}

}  // namespace directory
