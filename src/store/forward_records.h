// The operation-log records as the forwarding reads them (log2 of the
// configuration database, through CDB's connection), outside any transaction.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "util/syslog_message.h"

namespace logfwd {

// The records with an id above `after`, in id order, at most `limit`.
std::vector<Record> recordsAfter(long long after, int limit);
// The record `id`, if it is there.
std::optional<Record> recordAt(long long id);
// The newest record's id (0 for an empty log).
long long newestRecordId();
// How many records have an id above `after`.
long long recordsAbove(long long after);
// The id of the newest record whose time text is before `time`; 0 for none.
long long newestIdUpTo(const std::string& time);

}  // namespace logfwd
