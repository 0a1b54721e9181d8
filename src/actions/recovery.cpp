#include "actions/recovery.h"

#include <ctime>
#include <memory>

#include "actions/journal_packets.h"
#include "actions/upd_dog.h"
#include "actions/upd_server.h"
#include "store/transaction.h"
#include "util/myerr.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace recovery {

namespace {

// The change action of `kind` on `request`, to write the stored rows.
std::unique_ptr<CAction> actionOf(const std::string& kind, const RequestContext& context,
                                  Json::Value& request, Json::Value& reply) {
  if (kind == CUpdDog::kJournalKind) return std::make_unique<CUpdDog>(context, request, reply);
  if (kind == CUpdDog_factory::kJournalKind) {
    return std::make_unique<CUpdDog_factory>(context, request, reply);
  }
  if (kind == CUpdServer::kJournalKind)
    return std::make_unique<CUpdServer>(context, request, reply);
  throw CMyErr(CMyErr::err, "journal: unknown change " + kind);
}

void applyRows(const journal::Entry& entry) {
  const Json::Value& rows = entry.rows;
  if (!rows.isObject() || !rows["param"].isString()) {
    throw CMyErr(CMyErr::err, "journal: unreadable rows");
  }
  Json::Value request(Json::objectValue), reply(Json::objectValue);
  request[rows["param"].asString()] = rows["request"];
  const RequestContext context;
  actionOf(entry.kind, context, request, reply)->applyJournalled(rows["db"]);
}

}  // namespace

Outcome finishEntry(const journal::Entry& entry) {
  journal::ObjectLock lock(entry.object);
  if (!lock.tryTake()) return Outcome::ownerAlive;
  try {
    journalled::sendPackets(entry.packets);
  } catch (const CMyErr& e) {
    if (e.type != CMyErr::armErr && e.type != CMyErr::warning) throw;
    setLog(trace::kJournalResendFailed, e.what());
    journal::setOutcome(entry.record, journal::kDaemonStateUnknown);
    return Outcome::refused;
  }
  applyRows(entry);
  journal::setOutcome(entry.record, journal::kCompletedLater);
  journal::close(entry.id);
  return Outcome::completed;
}

void recoverJournal() {
  if (!journal::hasTable() || journal::openEntries().empty()) return;
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const long long now = static_cast<long long>(time(nullptr));
  if (!journal::recoveryDue(now)) return;
  bool tried = false;
  for (const journal::Entry& entry : journal::openEntries()) {
    if (finishEntry(entry) != Outcome::ownerAlive) tried = true;
  }
  if (!tried) return;
  journal::noteRecoveryTry(now);
  transaction.commit();
}

}  // namespace recovery
