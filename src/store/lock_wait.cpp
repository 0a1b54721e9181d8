#include "store/lock_wait.h"

#include "store/db.h"

namespace korvan {

namespace {
bool deferred = false;  // one request per process
}  // namespace

LockWait::LockWait(int ms) { sqlite3_busy_timeout(CDB::dbCnn, ms); }

LockWait::~LockWait() { sqlite3_busy_timeout(CDB::dbCnn, CDB::kBusyTimeoutMs); }

bool writesDeferred() { return deferred; }

void deferWrites() { deferred = true; }

}  // namespace korvan
