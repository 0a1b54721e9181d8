#include "actions/action.h"

#include "daemon/arm.h"
#include "store/health.h"
#include "store/journal.h"
#include "store/transaction.h"
#include "util/members.h"
#include "util/myerr.h"
#include "util/signal_hold.h"
#include "util/trace.h"
#include "util/trace_ids.h"

using korvan::textOf;

CAction::CAction(const RequestContext& context, const korvan::Params& params,
                 Json::Value& jsOData)
    : context(context), caller(this->context.caller), jsIData(params.document()), jsOData(jsOData) {}

CAction::~CAction() = default;

namespace {

// How long a change waits for the lock of its object's journal entry, which
// a process that has just stored its outcome may still hold for a moment.
constexpr int kObjectLockWaitMs = 2000;

// The daemon may have taken the change already: a failure from here on must
// not read as a lock to retry on, or a retry would send it twice.
[[noreturn]] void rethrowAfterTell(const CMyErr& e) {
  if (e.type == CMyErr::lockErr) throw CMyErr(CMyErr::err, e.what());
  throw e;
}

}  // namespace

void CAction::do2() {
  // The write lock comes first: once it is held no other request can change
  // the before-values or make a statement below fail with lockErr, so a
  // lockErr reply means nothing was sent and nothing stored, and the browser
  // may retry.
  std::optional<journal::ObjectLock> objectLock;
  std::optional<korvan::SignalHold> hold;
  journal::Record record;
  long long entryId = 0;
  {
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    initDaDb();
    checkChange();
    const std::optional<JournalPlan> plan = journalPlan();
    if (!plan) {
      // The daemon hears nothing: the rows and the record commit together
      // or not at all.
      modify();
      log();
      try {
        transaction.commit();
      } catch (const CMyErr& e) {
        if (CArm::socketCnn >= 0) rethrowAfterTell(e);
        throw;
      }
      afterCommit();
      return;
    }
    // One open entry per object, so that the daemon and the database see
    // changes of one object in the same order: an entry whose owner died is
    // finished first; one whose owner still works makes this change wait.
    if (std::optional<journal::Entry> open = journal::openEntryOf(plan->object)) {
      const recovery::Outcome earlier = recovery::finishEntry(*open, plan->writeRows);
      if (earlier == recovery::Outcome::ownerAlive) {
        throw CMyErr(CMyErr::lockErr, "an earlier change of this object is being made");
      }
      if (earlier == recovery::Outcome::refused) {
        transaction.commit();  // the mark on the earlier record
        throw CMyErr(CMyErr::armErr, "an earlier change could not be sent again");
      }
    }
    const long long newestBefore = journal::newestRecordId();
    log();
    record = journal::markPending(newestBefore);
    objectLock.emplace(plan->object);
    if (!objectLock->take(kObjectLockWaitMs)) {
      throw CMyErr(CMyErr::lockErr, "an earlier change of this object is being made");
    }
    journal::Entry entry;
    entry.object = plan->object;
    entry.kind = plan->kind;
    entry.record = record;
    entry.packets = plan->packets;
    entry.rows["param"] = plan->param;
    entry.rows["request"] = param(plan->param.c_str());
    entry.rows["db"] = db;
    entryId = journal::open(entry);
    // From the record's commit to the outcome's, a signal to end the
    // process is held: the request finishes and stores what the daemon did.
    hold.emplace();
    transaction.commit();
  }
  try {
    tellArm();
  } catch (const CMyErr& e) {
    try {
      korvan::Transaction failed(korvan::Transaction::kWrite);
      journal::setOutcome(record, "failed: " + std::string(e.what()));
      health::storeExchange(CArm::lastExchange());
      journal::close(entryId);
      failed.commit();
    } catch (const CMyErr& lost) {
      // The entry stays open: a later request sends its values again.
      setLog(trace::kChangeOutcomeLost, lost.what());
    }
    rethrowAfterTell(e);
  }
  try {
    korvan::Transaction outcome(korvan::Transaction::kWrite);
    modify();
    journal::setOutcome(record, "");
    health::storeExchange(CArm::lastExchange());
    journal::close(entryId);
    outcome.commit();
  } catch (const CMyErr& e) {
    // The entry stays open with its owner gone once this process ends: a
    // later request writes the rows the daemon has.
    rethrowAfterTell(e);
  }
  hold.reset();
  objectLock.reset();
  afterCommit();
}

void CAction::applyJournalled(const Json::Value& storedDb) {
  db = storedDb;
  modify();
}

std::optional<CAction::JournalPlan> CAction::journalPlan() { return std::nullopt; }

void CAction::initDaDb() {}

void CAction::checkChange() {
  const Json::Value& after = db;
  for (const std::string& name : da.getMemberNames()) {
    if (textOf(da[name]) != textOf(after[name])) return;
  }
  throw CMyErr(CMyErr::warning, "Nothing modified");
}

void CAction::tellArm() {}

void CAction::afterCommit() {}

const Json::Value& CAction::param(const char* name) const {
  const Json::Value& p = korvan::member(jsIData, name);
  if (!p.isNull() && !p.isObject()) {
    throw CMyErr(CMyErr::err, std::string("invalid request: ") + name + " is not an object");
  }
  return p;
}

Json::Value CAction::paramWithRights(const char* name) const {
  return context.withRights(param(name));
}
