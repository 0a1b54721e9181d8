#include "store/journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "store/cursor.h"
#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "util/myerr.h"
#include "util/paths.h"

namespace journal {

namespace {

void modify(std::string sql) { CDB::execModify(sql); }

std::string firstCell(const std::string& sql) {
  CRowCursor cursor(sql);
  return cursor.hasRow() ? cursor.cell(0) : "";
}

Json::Value parsed(const std::string& text) {
  Json::Value value;
  Json::Reader().parse(text, value, false);
  return value;
}

std::string compact(const Json::Value& value) { return Json::FastWriter().write(value); }

void ensureTable() {
  modify(
      "create table if not exists journal (id INTEGER PRIMARY KEY, object TEXT, kind TEXT, "
      "recordId INTEGER, detail TEXT, packets TEXT, rows TEXT)");
}

std::vector<Entry> entriesWhere(const std::string& condition) {
  std::vector<Entry> entries;
  CRowCursor cursor("select id,object,kind,recordId,detail,packets,rows from journal" + condition +
                    " order by id");
  for (; cursor.hasRow(); cursor.next()) {
    Entry entry;
    entry.id = std::atoll(cursor.cell(0));
    entry.object = cursor.cell(1);
    entry.kind = cursor.cell(2);
    entry.record = {std::atoll(cursor.cell(3)), cursor.cell(4)};
    entry.packets = parsed(cursor.cell(5));
    entry.rows = parsed(cursor.cell(6));
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

long long newestRecordId() {
  return std::atoll(firstCell("select ifnull(max(id),0) from log2").c_str());
}

Record markPending(long long idBefore) {
  const long long id = newestRecordId();
  if (id <= idBefore) return {};
  Record record{id, firstCell("select sth from log2 where id=" + std::to_string(id))};
  modify("update log2 set sth='" + sqlText(withOutcome(record.detail, kOutcomeUnknown)) +
         "' where id=" + std::to_string(id));
  return record;
}

void setOutcome(const Record& record, const std::string& outcome) {
  if (record.id == 0) return;
  const std::string detail = outcome.empty() ? record.detail : withOutcome(record.detail, outcome);
  modify("update log2 set sth='" + sqlText(detail) + "' where id=" + std::to_string(record.id));
}

std::string withOutcome(const std::string& detail, const std::string& outcome) {
  Json::Value entries = parsed(detail);
  if (!entries.isArray()) entries = Json::Value(Json::arrayValue);
  Json::Value entry(Json::objectValue);
  entry["nm"] = "outcome";
  entry["v1"] = outcome;
  entries.append(entry);
  return CLog::detailText(entries);
}

bool hasTable() {
  return firstCell("select count(*) from sqlite_master where type='table' and name='journal'") ==
         "1";
}

long long open(const Entry& entry) {
  ensureTable();
  modify("insert into journal (object,kind,recordId,detail,packets,rows) values ('" +
         sqlText(entry.object) + "','" + sqlText(entry.kind) + "'," +
         std::to_string(entry.record.id) + ",'" + sqlText(entry.record.detail) + "','" +
         sqlText(compact(entry.packets)) + "','" + sqlText(compact(entry.rows)) + "')");
  return std::atoll(firstCell("select max(id) from journal").c_str());
}

std::optional<Entry> openEntryOf(const std::string& object) {
  if (!hasTable()) return std::nullopt;
  std::vector<Entry> entries = entriesWhere(" where object='" + sqlText(object) + "'");
  if (entries.empty()) return std::nullopt;
  return entries.front();
}

std::vector<Entry> openEntries() { return hasTable() ? entriesWhere("") : std::vector<Entry>(); }

void close(long long id) { modify("delete from journal where id=" + std::to_string(id)); }

bool recoveryDue(long long now) {
  modify("create table if not exists journalTry (id INTEGER PRIMARY KEY, f_time INTEGER)");
  const std::string last = firstCell("select f_time from journalTry where id=1");
  return last.empty() || now - std::atoll(last.c_str()) >= kRecoverySeconds ||
         std::atoll(last.c_str()) > now;  // a clock set back does not stop recovery
}

void noteRecoveryTry(long long now) {
  modify("insert or replace into journalTry (id,f_time) values (1," + std::to_string(now) + ")");
}

ObjectLock::ObjectLock(const std::string& object) {
  // Beside the database, so that separate roots never share a lock; the
  // object's name keeps only its letters and digits.
  std::string name;
  for (char c : object) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  }
  std::string db = korvan::resolvePath(korvan::kDbPath);
  const size_t slash = db.rfind('/');
  path_ = (slash == std::string::npos ? std::string(".") : db.substr(0, slash)) +
          "/.korvan-journal-" + name + ".lock";
}

ObjectLock::~ObjectLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the flock
}

bool ObjectLock::tryTake() {
  if (fd_ < 0) {
    // Close-on-exec: a child (the reboot command) must not keep the lock of
    // a process that has gone.
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) throw CMyErr(CMyErr::err, "journal lock: " + std::string(strerror(errno)));
  }
  while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

bool ObjectLock::take(int waitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (!tryTake()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace journal
