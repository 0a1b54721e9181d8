#include "store/lock_wait.h"

#include "store/db.h"

namespace korvan {

LockWait::LockWait(int ms) { sqlite3_busy_timeout(CDB::dbCnn, ms); }

LockWait::~LockWait() { sqlite3_busy_timeout(CDB::dbCnn, CDB::kBusyTimeoutMs); }

}  // namespace korvan
