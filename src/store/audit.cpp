#include "store/audit.h"

#include <cstdlib>
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

std::string lockedCondition(const std::string& nameSql, long long lockSeconds) {
  const std::string pwdTry = "cast(json_extract(f_pwd,'$.pwdTry') as integer)";
  return "exists(select 1 from userLock,secureConf where f_userName=" + nameSql +
         " and json_valid(f_pwd) and " + pwdTry + ">0 and f_wrongTimes>=" + pwdTry +
         " and f_datetime>=datetime('now','localtime','-" + std::to_string(lockSeconds) +
         " seconds'))";
}

}  // namespace audit
