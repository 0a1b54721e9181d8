#include "store/audit.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "store/cursor.h"
#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"

namespace audit {

namespace {

void record(const Caller& caller, const char* type, const Event& event,
            const Json::Value& entries) {
  Caller author = caller;
  author.name = recordedName(caller.name);
  CLog::insLog(author, type, event.typeSub, event.display, CLog::detailText(entries));
}

// The first cell of the first row of `sql` as a number (0 without a row).
long long number(const std::string& sql) {
  CRowCursor cursor(sql);
  return cursor.hasRow() ? std::atoll(cursor.cell(0)) : 0;
}

void modify(std::string sql) { CDB::execModify(sql); }

}  // namespace

void addEntry(Json::Value& entries, const std::string& label, const std::string& value) {
  Json::Value entry(Json::objectValue);
  entry["nm"] = label;
  entry["v1"] = value;
  entries.append(entry);
}

void recordAccess(const Caller& caller, const Event& event, const Json::Value& entries) {
  record(caller, "access", event, entries);
}

void recordSystem(const Caller& caller, const Event& event, const Json::Value& entries) {
  record(caller, "system", event, entries);
}

Json::Value consoleEntries(const std::string& dogId) {
  const std::string id = sqlNumber(dogId);
  CRowCursor cursor(" select nm from dog2 where id=" + id);
  Json::Value entries;
  addEntry(entries, "console ID", id);
  addEntry(entries, "console", cursor.hasRow() ? cursor.cell(0) : "");
  return entries;
}

std::string recordedName(const std::string& name) {
  if (name.size() <= kMaxRecordedName) return name;
  size_t end = kMaxRecordedName;
  // Back to the first byte of the character the cut would split.
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

bool isUser(const std::string& name) {
  return number(" select count(*) from user2 where nm='" + sqlText(name) + "'") > 0;
}

void recordStrangerFailure(const std::string& address, const std::string& name,
                           const std::string& reason) {
  // One row per client address: when its last record was written and how
  // many failures have come since. The table is the program's own, made on
  // first use, so that a database uploaded from an older device works too.
  modify(
      "create table if not exists loginStranger (f_ip TEXT PRIMARY KEY, f_recorded INTEGER, "
      "f_count INTEGER)");
  const long long now = static_cast<long long>(time(nullptr));
  // Addresses quiet for a day are forgotten, so the table stays small.
  modify("delete from loginStranger where f_recorded<" + std::to_string(now - 86400));
  const std::string ip = sqlText(address);
  bool known = false;
  long long recorded = 0, count = 1;
  {
    CRowCursor cursor("select f_recorded,f_count from loginStranger where f_ip='" + ip + "'");
    known = cursor.hasRow();
    if (known) {
      recorded = std::atoll(cursor.cell(0));
      count = std::atoll(cursor.cell(1)) + 1;
    }
  }
  if (known && now - recorded < kStrangerSeconds) {
    modify("update loginStranger set f_count=" + std::to_string(count) + " where f_ip='" + ip +
           "'");
    return;
  }
  Caller author;
  author.name = name;
  author.address = address;
  Json::Value entries;
  addEntry(entries, "reason", reason);
  addEntry(entries, "failures", std::to_string(count));
  recordAccess(author, {"loginFailed", "login failed"}, entries);
  modify("insert or replace into loginStranger (f_ip,f_recorded,f_count) values ('" + ip + "'," +
         std::to_string(now) + ",0)");
}

void trimLog() {
  // The id span bounds the count from above and costs two index lookups, so
  // the count itself is only taken near the limit.
  if (number(" select (select max(id) from log2)-(select min(id) from log2)+1") <= kMaxRecords) {
    return;
  }
  if (number(" select count(*) from log2") <= kMaxRecords) return;
  modify(" delete from log2 where id<(select id from log2 order by id desc limit 1 offset " +
         std::to_string(kTrimTo - 1) + ")");
}

std::string lockedCondition(const std::string& nameSql, long long lockSeconds) {
  const std::string pwdTry = "cast(json_extract(f_pwd,'$.pwdTry') as integer)";
  return "exists(select 1 from userLock,secureConf where f_userName=" + nameSql +
         " and json_valid(f_pwd) and " + pwdTry + ">0 and f_wrongTimes>=" + pwdTry +
         " and f_datetime>=datetime('now','localtime','-" + std::to_string(lockSeconds) +
         " seconds'))";
}

}  // namespace audit
