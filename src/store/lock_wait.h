// How long a statement waits for another request's lock, and the calls that
// are answered without the write lock.
//
// A change waits for the write lock up to CDB::kBusyTimeoutMs. A call that
// only reads (a refresh, a log query) need not wait that long behind a change
// that holds the lock: it waits a short while, then is answered from a read
// transaction, which the engine grants while a writer holds its lock, and
// leaves its own writes (session upkeep, snapshot upkeep) to the next call.
#pragma once

namespace korvan {

// For the lifetime of the object, statements wait at most `ms` for a busy
// database; afterwards the usual CDB::kBusyTimeoutMs again. Needs an open
// connection.
class LockWait {
 public:
  explicit LockWait(int ms);
  ~LockWait();
  LockWait(const LockWait&) = delete;
  LockWait& operator=(const LockWait&) = delete;
};

}  // namespace korvan
