// The bound of the operation log (audit::trimLog): at most kMaxRecords
// records, trimmed to kTrimTo with the failure records going first. While
// the failure records alone can bring the log back within its bound, no
// other record goes: a flood of failed logins then only ever replaces its own
// records.
//
// Counting 100,000 rows on every insert would cost more than the insert, so
// the trim works from the ids: records get the next id and only the trim
// deletes, so the newest id less the number of records ("missing ids") stays
// as the last count found it until the next trim. That number is kept in the
// program's own table logBound. Before the first failure-first trim the ids
// have no gaps and their span alone tells the count.
#include <cstdlib>
#include <optional>
#include <string>

#include "store/audit.h"
#include "store/cursor.h"
#include "store/db.h"

namespace audit {

namespace {

// The records the trim removes before any other.
const char kFailureRecords[] = "typeSub in ('loginFailed','denied')";

long long number(const std::string& sql) {
  CRowCursor cursor(sql);
  return cursor.hasRow() ? std::atoll(cursor.cell(0)) : 0;
}

void modify(const std::string& sql) { CDB::execModify(sql); }

// The missing ids that the last count found, when the table holds them.
std::optional<long long> storedMissing() {
  if (number(" select count(*) from sqlite_master where type='table' and name='logBound'") == 0) {
    return std::nullopt;
  }
  CRowCursor cursor(" select f_missing from logBound");
  if (!cursor.hasRow()) return std::nullopt;
  return std::atoll(cursor.cell(0));
}

void storeMissing(long long missing) {
  modify("create table if not exists logBound (f_missing INTEGER)");
  modify(" delete from logBound");
  modify(" insert into logBound (f_missing) values (" + std::to_string(missing) + ")");
}

// Deletes up to `excess` records other than the newest (`newestId`): the
// oldest failure records; only when those are too few to bring the log back
// within its bound (`over` records past it), the oldest of the rest as well,
// up to `excess` together. Returns the number deleted.
long long removeRecords(long long excess, long long over, long long newestId) {
  modify("create index if not exists log2_typeSub_time on log2(typeSub,time)");
  const std::string older = " and id<" + std::to_string(newestId);
  const long long failures =
      number(" select count(*) from (select 1 from log2 where " + std::string(kFailureRecords) +
             older + " limit " + std::to_string(excess) + ")");
  if (failures > 0) {
    modify(" delete from log2 where id in (select id from log2 where " +
           std::string(kFailureRecords) + older + " order by id limit " +
           std::to_string(failures) + ")");
  }
  // Failures enough to keep the bound: every other record stays, and the
  // next trim comes sooner. Otherwise the log wraps as it always does.
  if (failures >= over) return failures;
  modify(" delete from log2 where id in (select id from log2 where 1" + older +
         " order by id limit " + std::to_string(excess - failures) + ")");
  return excess;
}

}  // namespace

void trimLog() {
  long long newestId = 0, oldestId = 0;
  {
    CRowCursor ids(" select (select max(id) from log2),(select min(id) from log2)");
    if (!ids.hasRow()) return;
    newestId = std::atoll(ids.cell(0));
    oldestId = std::atoll(ids.cell(1));
  }
  // The span of the ids bounds the count from above.
  if (newestId - oldestId + 1 <= kMaxRecords) return;
  const std::optional<long long> missing = storedMissing();
  // Below the oldest id every id is missing: a smaller number is not from a
  // count of this log and is not trusted. A larger one that is not either (a
  // database replaced with its log) cannot be told; the count at every
  // 1,000th id keeps the log from passing its bound by as much again.
  if (missing && *missing >= oldestId - 1 && newestId - *missing <= kMaxRecords &&
      newestId % (kMaxRecords - kTrimTo) != 0) {
    return;
  }
  long long count = number(" select count(*) from log2");
  if (count > kMaxRecords) count -= removeRecords(count - kTrimTo, count - kMaxRecords, newestId);
  storeMissing(newestId - count);
}

}  // namespace audit
