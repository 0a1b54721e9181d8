#include "actions/recovery.h"

#include <ctime>

#include "actions/journal_packets.h"
#include "daemon/arm.h"
#include "store/health.h"
#include "store/transaction.h"
#include "util/myerr.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace recovery {

Outcome finishEntry(const journal::Entry& entry, RowWriter writeRows) {
  journal::ObjectLock lock(entry.object);
  if (!lock.tryTake()) return Outcome::ownerAlive;
  try {
    journalled::sendPackets(entry.packets);
  } catch (const CMyErr& e) {
    if (e.type != CMyErr::armErr && e.type != CMyErr::warning) throw;
    health::storeExchange(CArm::lastExchange());
    setLog(trace::kJournalResendFailed, e.what());
    journal::setOutcome(entry.record, journal::kDaemonStateUnknown);
    return Outcome::refused;
  }
  if (writeRows == nullptr) throw CMyErr(CMyErr::err, "journal: unknown change " + entry.kind);
  writeRows(entry);
  journal::setOutcome(entry.record, journal::kCompletedLater);
  health::storeExchange(CArm::lastExchange());
  journal::close(entry.id);
  return Outcome::completed;
}

void recoverJournal(RowWriter (*writerOf)(const std::string& kind)) {
  if (!journal::hasTable() || journal::openEntries().empty()) return;
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const long long now = static_cast<long long>(time(nullptr));
  if (!journal::recoveryDue(now)) return;
  bool tried = false;
  for (const journal::Entry& entry : journal::openEntries()) {
    if (finishEntry(entry, writerOf(entry.kind)) != Outcome::ownerAlive) tried = true;
  }
  if (!tried) return;
  journal::noteRecoveryTry(now);
  transaction.commit();
}

}  // namespace recovery
