#include "store/forward_state.h"

#include <sys/stat.h>

#include "store/connection_guard.h"
#include "util/myerr.h"
#include "util/paths.h"

namespace logfwd {

namespace {

constexpr int kBusyMs = 1000;

constexpr const char* kSchema =
    "create table if not exists collector ("
    " slot integer primary key, host text not null, port integer not null,"
    " protocol text not null, facility integer not null, ca text not null default '',"
    " cursor integer not null default 0, cursorTime text not null default '',"
    " cursorTypeSub text not null default '', lostTotal integer not null default 0,"
    " lastError text not null default '', lastErrorAt integer not null default 0,"
    " skipUntil integer not null default 0, deliveredAt integer not null default 0);"
    "create table if not exists awaiting (slot integer not null, record integer not null,"
    " primary key (slot, record));";

// A prepared statement with its values bound by position (from 1).
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) fail();
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(int at, long long value) {
    sqlite3_bind_int64(stmt_, at, value);
    return *this;
  }
  Statement& bind(int at, const std::string& value) {
    sqlite3_bind_text(stmt_, at, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // True while a row is there.
  bool step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) fail();
    return false;
  }
  long long integer(int column) const { return sqlite3_column_int64(stmt_, column); }
  std::string text(int column) const {
    const unsigned char* t = sqlite3_column_text(stmt_, column);
    return t == nullptr ? "" : reinterpret_cast<const char*>(t);
  }

 private:
  [[noreturn]] void fail() {
    throw CMyErr(CMyErr::err, std::string("forwarding state: ") + sqlite3_errmsg(db_));
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

constexpr const char* kColumns =
    "select slot,host,port,protocol,facility,ca,cursor,cursorTime,cursorTypeSub,lostTotal,"
    "lastError,lastErrorAt,skipUntil,deliveredAt from collector";

Collector collectorOf(const Statement& s) {
  Collector c;
  c.slot = static_cast<int>(s.integer(0));
  c.host = s.text(1);
  c.port = static_cast<int>(s.integer(2));
  c.protocol = s.text(3);
  c.facility = static_cast<int>(s.integer(4));
  c.ca = s.text(5);
  c.cursor = s.integer(6);
  c.cursorTime = s.text(7);
  c.cursorTypeSub = s.text(8);
  c.lostTotal = s.integer(9);
  c.lastError = s.text(10);
  c.lastErrorAt = s.integer(11);
  c.skipUntil = s.integer(12);
  c.deliveredAt = s.integer(13);
  return c;
}

// Called after each commit with the pages in the write-ahead log. Each
// process opens the file anew and rebuilds its index of the log from the
// whole log, taking every page in it as not yet copied, so the log is copied
// into the file and emptied (truncated) once it is long, not merely copied
// as SQLite's own automatic checkpoint does, which would leave it to grow.
// The checkpoint never waits: with a reader in the file it is left to a later
// commit, so a delivery stays within its window.
int checkpointWhenLong(void*, sqlite3* db, const char* name, int pages) {
  if (pages < ForwardState::kCheckpointPages) return SQLITE_OK;
  sqlite3_busy_timeout(db, 0);
  // A failure leaves the pages in the log, where they are as safe.
  sqlite3_wal_checkpoint_v2(db, name, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  sqlite3_busy_timeout(db, kBusyMs);
  return SQLITE_OK;
}

}  // namespace

bool forwardingConfigured() {
  struct stat info {};
  return stat(korvan::resolvePath(kForwardDbPath).c_str(), &info) == 0;
}

ForwardState::ForwardState() {
  const std::string path = korvan::resolvePath(kForwardDbPath);
  const bool created = !forwardingConfigured();
  const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw CMyErr(CMyErr::err, "forwarding state: " + why);
  }
  try {
    korvan::guardConnection(db_);
    sqlite3_busy_timeout(db_, kBusyMs);
    // Like the configuration database, the owner's alone (its -wal and -shm
    // files take the same mode).
    if (created) chmod(path.c_str(), 0600);
    int kept = 0;
    if (sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, &kept) != SQLITE_OK) {
      throw CMyErr(CMyErr::err, std::string("forwarding state: ") + sqlite3_errmsg(db_));
    }
    // The log's index is shared memory: the -shm file beside it, which each
    // process maps.
    exec("pragma journal_mode=wal");
    sqlite3_wal_hook(db_, checkpointWhenLong, nullptr);
    exec(kSchema);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

ForwardState::~ForwardState() {
  if (open_) sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
  sqlite3_close(db_);
}

void ForwardState::exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string why = message != nullptr ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw CMyErr(CMyErr::err, "forwarding state: " + why);
  }
}

void ForwardState::begin(Commit kind) {
  exec(kind == Commit::durable ? "pragma synchronous=full" : "pragma synchronous=normal");
  exec("begin immediate");
  open_ = true;
}

void ForwardState::commit() {
  exec("commit");
  open_ = false;
}

std::vector<Collector> ForwardState::collectors() {
  Statement s(db_, (std::string(kColumns) + " order by slot").c_str());
  std::vector<Collector> all;
  while (s.step()) all.push_back(collectorOf(s));
  return all;
}

std::optional<Collector> ForwardState::collector(int slot) {
  Statement s(db_, (std::string(kColumns) + " where slot=?").c_str());
  s.bind(1, slot);
  if (!s.step()) return std::nullopt;
  return collectorOf(s);
}

void ForwardState::saveSettings(const Collector& c) {
  const std::optional<Collector> before = collector(c.slot);
  const bool sameDestination = before && before->host == c.host && before->port == c.port &&
                               before->protocol == c.protocol;
  if (sameDestination) {
    Statement s(db_, "update collector set facility=?, ca=?, skipUntil=0 where slot=?");
    s.bind(1, c.facility).bind(2, c.ca).bind(3, c.slot).step();
    return;
  }
  Statement s(db_,
              "insert or replace into collector (slot,host,port,protocol,facility,ca,cursor,"
              "cursorTime,cursorTypeSub) values (?,?,?,?,?,?,?,?,?)");
  s.bind(1, c.slot).bind(2, c.host).bind(3, c.port).bind(4, c.protocol).bind(5, c.facility);
  s.bind(6, c.ca).bind(7, c.cursor).bind(8, c.cursorTime).bind(9, c.cursorTypeSub).step();
  Statement clear(db_, "delete from awaiting where slot=?");
  clear.bind(1, c.slot).step();
}

void ForwardState::remove(int slot) {
  Statement s(db_, "delete from collector where slot=?");
  s.bind(1, slot).step();
  Statement clear(db_, "delete from awaiting where slot=?");
  clear.bind(1, slot).step();
}

void ForwardState::delivered(int slot, long long id, const std::string& time,
                             const std::string& typeSub, long long lost, long long now) {
  Statement s(db_,
              "update collector set cursor=?, cursorTime=?, cursorTypeSub=?,"
              " lostTotal=lostTotal+?, lastError='', skipUntil=0, deliveredAt=? where slot=?");
  s.bind(1, id).bind(2, time).bind(3, typeSub).bind(4, lost).bind(5, now).bind(6, slot).step();
}

void ForwardState::failed(int slot, const std::string& error, long long now, long long skipUntil) {
  Statement s(db_, "update collector set lastError=?, lastErrorAt=?, skipUntil=? where slot=?");
  s.bind(1, error).bind(2, now).bind(3, skipUntil).bind(4, slot).step();
}

std::vector<long long> ForwardState::awaiting(int slot) {
  Statement s(db_, "select record from awaiting where slot=? order by record");
  s.bind(1, slot);
  std::vector<long long> ids;
  while (s.step()) ids.push_back(s.integer(0));
  return ids;
}

void ForwardState::await(int slot, long long id) {
  Statement s(db_, "insert or ignore into awaiting (slot,record) values (?,?)");
  s.bind(1, slot).bind(2, id).step();
  Statement trim(db_,
                 "delete from awaiting where slot=?1 and record not in"
                 " (select record from awaiting where slot=?1 order by record desc limit ?2)");
  trim.bind(1, slot).bind(2, kMaxAwaiting).step();
}

void ForwardState::completed(int slot, long long id) {
  Statement s(db_, "delete from awaiting where slot=? and record=?");
  s.bind(1, slot).bind(2, id).step();
}

}  // namespace logfwd
