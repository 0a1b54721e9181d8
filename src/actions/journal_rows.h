// The row writers of the journalled change kinds, by kind: what a recovery
// (actions/recovery.h) run by the dispatcher uses to write the rows of an
// entry that a process which died left open.
#pragma once

#include <string>

#include "actions/recovery.h"

// The row writer of change kind `kind` (the actions' kJournalKind), or null
// for a kind no change action has.
recovery::RowWriter journalRowWriter(const std::string& kind);
