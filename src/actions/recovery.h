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

// Writes the stored rows of the journalled change `entry` through the change
// action of its kind (the action's own module provides it, so that this
// module depends on no change action).
using RowWriter = void (*)(const journal::Entry& entry);

enum class Outcome {
  ownerAlive,  // another process still owns the entry: nothing done
  completed,   // re-sent, rows written, record completed, entry closed
  refused,     // the re-send failed: record marked, entry left open
};

// Finishes `entry` in the caller's write transaction on the open daemon
// connection, when its owner is gone, its rows written by `writeRows`.
Outcome finishEntry(const journal::Entry& entry, RowWriter writeRows);

// Finishes every open entry whose owner is gone, at most one try within
// journal::kRecoverySeconds, in a write transaction of its own. Takes the
// write lock only when an entry is open, so a request with nothing to
// recover pays one read. `writerOf` gives the row writer of an entry's
// kind (null for a kind it does not know). Throws the CMyErr of a failing
// statement.
void recoverJournal(RowWriter (*writerOf)(const std::string& kind));

}  // namespace recovery
