// The lock that makes one process the deliverer of the log forwarding, and
// the note it keeps when it left every collector up to date.
//
// The lock is a flock on .korvan-forward.lock beside the forwarding file,
// released with the object (or the process). A delivery takes it without
// waiting: a process that finds it taken leaves the backlog to its holder. A
// change of the collector settings waits for it, so that no delivery reads
// the settings before the change and stores its cursor after it.
//
// The note, the file's text "idle N" (N with leading zeros), says that every
// collector's cursor was at record N with no completion waiting when the last
// delivery ended. While N is still the newest record, a request has nothing
// to send and need not open the forwarding file. Any new record makes the
// note stale (a newer id); a change of the settings, which may add a
// collector behind N, also clears it. The note is read and written only under
// the lock.
#pragma once

#include <chrono>
#include <optional>

namespace logfwd {

class DeliveryLock {
 public:
  // Opens (creates) the lock file; taking it throws CMyErr(err) when that
  // failed.
  DeliveryLock();
  ~DeliveryLock();
  DeliveryLock(const DeliveryLock&) = delete;
  DeliveryLock& operator=(const DeliveryLock&) = delete;

  // Takes the lock if it is free.
  bool tryTake();
  // Takes the lock, waiting for its holder at most `wait`.
  bool take(std::chrono::milliseconds wait);

  // The record of the note, if there is a note. Only with the lock taken.
  std::optional<long long> idleAt() const;
  // Writes the note for record `newest`, or one that says nothing (nullopt).
  // Only with the lock taken. Throws CMyErr(err) when it cannot be written.
  void noteIdle(std::optional<long long> newest);

 private:
  int fd_ = -1;
  int openError_ = 0;
};

}  // namespace logfwd
