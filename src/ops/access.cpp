#include "ops/access.h"

#include <functional>
#include <optional>
#include <string>

#include "daemon/arm.h"
#include "ops/ops.h"
#include "store/audit.h"
#include "store/cursor.h"
#include "store/db.h"
#include "store/health.h"
#include "store/journal.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/clock_text.h"
#include "util/local_time.h"
#include "util/members.h"
#include "util/signal_hold.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

// The lock time of a login lock (auth/login.h kLockSeconds).
constexpr long long kLockSeconds = 1200;

// The record of this request's action once committed.
journal::Record actionRecord;

// Marks the action's record, and stores with it how the exchange with the
// daemon went and what `succeeded` writes (on success); a record that cannot
// be marked keeps what it says, which is never less than what happened.
void markOutcome(const std::string& outcome,
                 const std::function<void()>& succeeded = nullptr) noexcept {
  try {
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    journal::setOutcome(actionRecord, outcome);
    health::storeExchange(CArm::lastExchange());
    if (succeeded) succeeded();
    transaction.commit();
  } catch (const std::exception& e) {
    setLog(trace::kActionOutcomeLost, e.what());
  }
}

// The record comes first: it commits, marked "outcome unknown", before the
// daemon is told, and is completed with the outcome afterwards. A process
// that dies in between leaves a record that says it does not know the
// outcome; an action is never sent again. A failure to store the record
// sends nothing. `succeeded`, when given, writes what the success leaves
// stored, together with the outcome.
void recordedTell(const std::function<void()>& writeRecord, const std::function<void()>& tell,
                  const std::function<void()>& succeeded = nullptr) {
  actionRecord = journal::Record();
  // Signals that would end the process wait from the record's commit to the
  // outcome's.
  std::optional<korvan::SignalHold> hold;
  {
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    const long long newestBefore = journal::newestRecordId();
    writeRecord();
    journal::Record record = journal::markPending(newestBefore);
    hold.emplace();
    transaction.commit();
    actionRecord = record;
  }
  try {
    tell();
  } catch (const CMyErr& e) {
    markOutcome("failed: " + std::string(e.what()));
    throw;
  }
  markOutcome("", succeeded);
  actionRecord = journal::Record();  // done: no local restart may mark it
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
      [&] { onQt(caller, context.consoleUid, params.document(), jsOData); },
      [&] {
        // The module keeps who was granted its last session, for the
        // consoles list.
        std::string now;
        getDateTime_sec(now);
        CDB::execModify("update dog2 set kvmUser='" + sqlText(caller.name) + "',kvmTime='" +
                        sqlText(now) + "' where id=" + sqlNumber(dogId));
      });
}

void onSetTimeRecorded(const RequestContext& context, const korvan::SetTimeParams& params,
                       Json::Value& jsOData) {
  const Caller& caller = context.caller;
  const Json::Value& jsIData = params.document();
  // A time the clock packet cannot carry is refused before anything is
  // recorded or sent.
  korvan::checkClockText(korvan::memberText(jsIData, {"time2"}));
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

bool recordLocalRestart(const Caller& caller, const std::string& failure) noexcept {
  const std::string outcome = "failed: " + failure + "; restarting locally";
  if (actionRecord.id != 0) {
    markOutcome(outcome);
    return true;
  }
  try {
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    Json::Value entries;
    audit::addEntry(entries, "outcome", outcome);
    audit::recordSystem(caller, {"restart", "restart"}, entries);
    transaction.commit();
    return true;
  } catch (const std::exception& e) {
    setLog(trace::kLocalRestartNotRecorded, e.what());
    return false;
  }
}
