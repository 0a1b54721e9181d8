#include "ops/access.h"

#include <functional>
#include <string>

#include "ops/ops.h"
#include "store/audit.h"
#include "store/cursor.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/members.h"

namespace {

// The lock time of a login lock (auth/login.h kLockSeconds).
constexpr long long kLockSeconds = 1200;

// Writes the record, tells the daemon, commits: all or nothing.
void recordedTell(const std::function<void()>& writeRecord, const std::function<void()>& tell) {
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  writeRecord();
  tell();
  try {
    transaction.commit();
  } catch (const CMyErr& e) {
    // The daemon has granted it already: a retry would ask twice, so the
    // failure must not read as a lock to retry on.
    if (e.type == CMyErr::lockErr) throw CMyErr(CMyErr::err, e.what());
    throw;
  }
}

}  // namespace

void onGrantKvm(const RequestContext& context, const korvan::KvmParams& params,
                Json::Value& jsOData) {
  const Caller& caller = context.caller;
  const std::string dogId = params.dogId();
  recordedTell(
      [&] {
        audit::recordAccess(caller, {"kvm", "kvm session"}, audit::consoleEntries(dogId));
      },
      [&] { onQt(caller, context.consoleUid, params.document(), jsOData); });
}

void onSetTimeRecorded(const RequestContext& context, const korvan::SetTimeParams& params,
                       Json::Value& jsOData) {
  const Caller& caller = context.caller;
  const Json::Value& jsIData = params.document();
  recordedTell(
      [&] {
        Json::Value entries;
        audit::addEntry(entries, "time", korvan::memberText(jsIData, {"time2"}));
        audit::recordSystem(caller, {"setTime", "set time"}, entries);
      },
      [&] { onSetTime(jsIData, jsOData); });
}

void onRestartRecorded(const RequestContext& context, const korvan::NoParams& params,
                       Json::Value& jsOData) {
  const Caller& caller = context.caller;
  const Json::Value& jsIData = params.document();
  recordedTell(
      [&] {
        audit::recordSystem(caller, {"restart", "restart"}, Json::Value());
      },
      [&] { onRestart(jsIData, jsOData); });
}

void onUnlockUser(const RequestContext& context, const korvan::UnlockUserParams& params,
                  Json::Value&) {
  const Caller& caller = context.caller;
  const std::string name = params.text({"userNM"});
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const std::string quoted = "'" + sqlText(name) + "'";
  {
    CRowCursor locked(" select " + audit::lockedCondition(quoted, kLockSeconds));
    if (!locked.hasRow() || std::string(locked.cell(0)) != "1") {
      throw CMyErr(CMyErr::warning, "Nothing modified");
    }
  }
  std::string sql = "delete from userLock where f_userName=" + quoted;
  CDB::execModify(sql);
  Json::Value entries;
  audit::addEntry(entries, "user name", audit::recordedName(name));
  audit::recordAccess(caller, {"unlock", "user unlock"}, entries);
  transaction.commit();
}
