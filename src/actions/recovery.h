// Finishing the journalled changes of request processes that died between
// telling the daemon and storing the outcome (store/journal.h).
//
// An open entry whose object lock can be taken has no living owner. Its
// packets are sent again (they set values), its rows written and its record
// completed with "completed later"; a refused re-send marks the record
// "daemon state unknown" and leaves the entry for a later try. Actions (a KVM
// session, the clock, a restart) are never journalled and never sent again.
#pragma once

#include "store/journal.h"

namespace recovery {

enum class Outcome {
  ownerAlive,  // another process still owns the entry: nothing done
  completed,   // re-sent, rows written, record completed, entry closed
  refused,     // the re-send failed: record marked, entry left open
};

// Finishes `entry` in the caller's write transaction on the open daemon
// connection, when its owner is gone.
Outcome finishEntry(const journal::Entry& entry);

// Finishes every open entry whose owner is gone, at most one try within
// journal::kRecoverySeconds, in a write transaction of its own. Takes the
// write lock only when an entry is open, so a request with nothing to
// recover pays one read. Throws the CMyErr of a failing statement.
void recoverJournal();

}  // namespace recovery
