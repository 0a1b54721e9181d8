// The record comes first: what lets the operation log and the switch daemon
// agree when a request process dies between telling the daemon and storing
// the outcome.
//
// Records. A request that tells the daemon commits its log2 record before the
// first packet leaves, its detail list ending in the entry
// {"nm":"outcome","v1":"outcome unknown"}, and afterwards rewrites the detail
// with the outcome: the plain detail for a success, or the detail with an
// outcome entry ("failed: ...", "completed later", "daemon state unknown").
// A process that dies in between leaves "outcome unknown" behind.
//
// Journal entries. A change whose packets set values (a module's name, the
// switch's network settings) commits with its record an entry in the table
// `journal`: the object it changes, the packets as plain values, the values
// of the rows to write and the record's id. The entry is deleted with the
// outcome. One open entry per object at a time. The table is the program's
// own, made on first use, so older and uploaded databases work unchanged.
//
// Owners. The process that commits an entry holds an flock on the object's
// lock file (in the database's folder, opened close-on-exec) from before the
// entry's commit until the end; an open entry whose lock can be taken
// belongs to a process that died, and another request may finish it.
//
// Every function runs its statements in the caller's transaction.
#pragma once

#include <json/json.h>

#include <optional>
#include <string>
#include <vector>

namespace journal {

inline constexpr const char* kOutcomeUnknown = "outcome unknown";
inline constexpr const char* kCompletedLater = "completed later";
inline constexpr const char* kDaemonStateUnknown = "daemon state unknown";
// A dead owner's entries are tried at most once within this many seconds.
inline constexpr long long kRecoverySeconds = 60;

// A record written first: its id (0 when the request wrote none) and the
// detail text it carries once completed.
struct Record {
  long long id = 0;
  std::string detail;
};

// The id of the newest log2 row (0 for an empty log).
long long newestRecordId();
// The record written since `idBefore` (the newest row when one was), marked
// "outcome unknown"; a Record with id 0 when none was written.
Record markPending(long long idBefore);
// Rewrites the record's detail: the completed detail for an empty `outcome`,
// otherwise the detail with the outcome entry. Nothing for id 0.
void setOutcome(const Record& record, const std::string& outcome);
// `detail` (a detail text, store/oplog.h) with the entry
// {"nm":"outcome","v1":outcome} appended.
std::string withOutcome(const std::string& detail, const std::string& outcome);

struct Entry {
  long long id = 0;
  std::string object;  // "server", "dog<id>"
  std::string kind;    // the change's request type, which applies `rows`
  Record record;
  Json::Value packets;  // array of packets as plain values
  Json::Value rows;     // the values the change writes
};

// Whether the table exists (cheap; no statement writes).
bool hasTable();
// Writes `entry` (creating the table when missing) and returns its id.
long long open(const Entry& entry);
// The open entry of `object`, if any.
std::optional<Entry> openEntryOf(const std::string& object);
std::vector<Entry> openEntries();
void close(long long id);

// True when no try of a dead owner's entries was made within
// kRecoverySeconds of `now`; noteRecoveryTry stores `now` as the last try.
bool recoveryDue(long long now);
void noteRecoveryTry(long long now);

// The flock of one object's lock file. The constructor only opens the file;
// the lock is released when the object goes away.
class ObjectLock {
 public:
  explicit ObjectLock(const std::string& object);
  ~ObjectLock();
  ObjectLock(const ObjectLock&) = delete;
  ObjectLock& operator=(const ObjectLock&) = delete;

  // Takes the lock without waiting; false when another process holds it.
  // Throws CMyErr(err) when the lock file cannot be opened.
  bool tryTake();
  // Tries for up to `waitMs` milliseconds.
  bool take(int waitMs);

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace journal
