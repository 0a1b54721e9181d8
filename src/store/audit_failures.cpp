// The failed-login records that a caller without a session can cause, kept
// few enough that a flood of guesses cannot push other records out of the
// bounded log: one record per lock period for a locked user name, and for
// names that are no user a fixed number of records a minute plus one summary
// whose counts grow in place.
//
// The lookups go through the index on (typeSub, time) and only ever read the
// records of the current minute or of the current lock.
#include <json/json.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "store/audit.h"
#include "store/cursor.h"
#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "util/local_time.h"

namespace audit {

namespace {

const Event kLoginFailed{"loginFailed", "login failed"};

// The failed login of `name` from `address`, with the failure's reason.
void recordLoginFailure(const std::string& name, const std::string& address,
                        const std::string& reason) {
  Caller author;
  author.name = name;
  author.address = address;
  Json::Value entries;
  addEntry(entries, "reason", reason);
  recordAccess(author, kLoginFailed, entries);
}

// How the detail texts of the two records that grow in place begin
// (CLog::detailText of their first entry).
const std::string kLockedStart = R"([{"nm":"reason","v1":"locked"})";
const std::string kSummaryStart = R"([{"nm":"reason","v1":"unknown names"})";

void modify(const std::string& sql) { CDB::execModify(sql); }

long long number(const std::string& sql) {
  CRowCursor cursor(sql);
  return cursor.hasRow() ? std::atoll(cursor.cell(0)) : 0;
}

// SQL condition: the record's detail text begins with `start`.
std::string detailBegins(const std::string& start) {
  return "substr(sth,1," + std::to_string(start.size()) + ")='" + sqlText(start) + "'";
}

// The failure lookups and the trim read log2 by type and time; a database
// made before the index existed gets it here.
void ensureFailureIndex() {
  modify("create index if not exists log2_typeSub_time on log2(typeSub,time)");
}

struct Found {
  std::string id;
  Json::Value entries;
};

// The newest record that `where` selects, with its detail entries.
std::optional<Found> newestRecord(const std::string& where) {
  CRowCursor cursor(" select id,sth from log2 where " + where + " order by id desc limit 1");
  if (!cursor.hasRow()) return std::nullopt;
  Found found{cursor.cell(0), Json::Value()};
  Json::Reader reader;
  if (!reader.parse(cursor.cell(1), found.entries, false) || !found.entries.isArray()) {
    found.entries = Json::Value(Json::arrayValue);
  }
  return found;
}

// The number in the entry labelled `label` (0 when there is none).
long long entryCount(const Json::Value& entries, const char* label) {
  for (const Json::Value& entry : entries) {
    if (entry.isObject() && entry["nm"].asString() == label && entry["v1"].isString()) {
      return std::atoll(entry["v1"].asCString());
    }
  }
  return 0;
}

void rewriteDetail(const std::string& id, const Json::Value& entries) {
  modify(" update log2 set sth='" + sqlText(CLog::detailText(entries)) + "' where id=" +
         sqlNumber(id));
}

// Notes a failure from `address` in loginStranger for the minute starting at
// `minuteStart` (epoch seconds); true when the address is new in that minute.
bool noteAddress(const std::string& address, long long now, long long minuteStart,
                 long long addressesThisMinute) {
  modify(
      "create table if not exists loginStranger (f_ip TEXT PRIMARY KEY, f_recorded INTEGER, "
      "f_count INTEGER)");
  modify("create index if not exists loginStranger_recorded on loginStranger(f_recorded)");
  // Only the current minute's addresses are of use.
  modify("delete from loginStranger where f_recorded<" + std::to_string(minuteStart));
  const std::string ip = sqlText(address);
  if (number("select count(*) from loginStranger where f_ip='" + ip + "'") > 0) {
    modify("update loginStranger set f_recorded=" + std::to_string(now) +
           ",f_count=f_count+1 where f_ip='" + ip + "'");
    return false;
  }
  // The table holds every address of the minute up to its bound; past it the
  // address seen least recently makes room (and counts again if it returns).
  if (addressesThisMinute >= kMaxStrangerAddresses) {
    modify(
        "delete from loginStranger where f_ip in (select f_ip from loginStranger order by "
        "f_recorded limit " +
        std::to_string(addressesThisMinute - kMaxStrangerAddresses + 1) + ")");
  }
  modify("insert into loginStranger (f_ip,f_recorded,f_count) values ('" + ip + "'," +
         std::to_string(now) + ",1)");
  return true;
}

Json::Value summaryEntries(long long further, long long addresses) {
  Json::Value entries;
  addEntry(entries, "reason", "unknown names");
  addEntry(entries, "further failures", std::to_string(further));
  addEntry(entries, "addresses", std::to_string(addresses));
  return entries;
}

}  // namespace

void recordStrangerFailure(const std::string& address, const std::string& name,
                           const std::string& reason) {
  ensureFailureIndex();
  const time_t now = time(nullptr);
  const long long minuteStart = static_cast<long long>(now) - static_cast<long long>(now) % 60;
  // The minute's counts live outside the log: the trim may take the
  // minute's records, and must not reopen the cap by doing so.
  modify(
      "create table if not exists loginMinute (f_minute INTEGER, f_recorded INTEGER, "
      "f_further INTEGER, f_addresses INTEGER)");
  long long recorded = 0, further = 0, addresses = 0;
  {
    CRowCursor row(" select f_recorded,f_further,f_addresses from loginMinute where f_minute=" +
                   std::to_string(minuteStart));
    if (row.hasRow()) {
      recorded = std::atoll(row.cell(0));
      further = std::atoll(row.cell(1));
      addresses = std::atoll(row.cell(2));
    }
  }
  if (recorded < kStrangerRecordsPerMinute) {
    ++recorded;
    recordLoginFailure(name, address, reason);
  } else {
    ++further;
    if (noteAddress(address, static_cast<long long>(now), minuteStart, addresses)) ++addresses;
    // The minute by the local clock that the records' time texts carry.
    const std::string minute = korvan::localText(now).substr(0, 17);
    const std::optional<Found> summary =
        newestRecord("typeSub='loginFailed' and time>='" + sqlText(minute) + "00' and time<='" +
                     sqlText(minute) + "59' and " + detailBegins(kSummaryStart));
    if (summary) {
      rewriteDetail(summary->id, summaryEntries(further, addresses));
    } else {
      recordAccess(Caller(), kLoginFailed, summaryEntries(further, addresses));
    }
  }
  modify(" delete from loginMinute");
  modify(" insert into loginMinute values (" + std::to_string(minuteStart) + "," +
         std::to_string(recorded) + "," + std::to_string(further) + "," +
         std::to_string(addresses) + ")");
}

void recordLockedAttempt(const std::string& address, const std::string& name,
                         const std::string& lockTime) {
  ensureFailureIndex();
  const std::string author = recordedName(name);
  const std::optional<Found> first =
      newestRecord("typeSub='loginFailed' and time>='" + sqlText(lockTime) + "' and user='" +
                   sqlText(author) + "' and " + detailBegins(kLockedStart));
  Json::Value entries;
  addEntry(entries, "reason", "locked");
  if (first) {
    addEntry(entries, "further attempts",
             std::to_string(entryCount(first->entries, "further attempts") + 1));
    rewriteDetail(first->id, entries);
    return;
  }
  Caller who;
  who.name = author;
  who.address = address;
  recordAccess(who, kLoginFailed, entries);
}

std::optional<std::string> lockedSince(const std::string& name, long long lockSeconds) {
  const std::string quoted = "'" + sqlText(name) + "'";
  CRowCursor cursor(" select f_datetime from userLock where f_userName=" + quoted + " and " +
                    lockedCondition(quoted, lockSeconds));
  if (!cursor.hasRow()) return std::nullopt;
  return std::string(cursor.cell(0));
}

void countWrongPassword(const std::string& address, const std::string& name,
                        const std::string& reason) {
  const long long pwdTry = number(
      " select cast(json_extract(f_pwd,'$.pwdTry') as integer) from secureConf where "
      "json_valid(f_pwd)");
  const std::string quoted = "'" + sqlText(name) + "'";
  std::optional<long long> before;
  {
    CRowCursor row(" select f_wrongTimes from userLock where f_userName=" + quoted);
    if (row.hasRow()) before = std::atoll(row.cell(0));
  }
  // A count at the limit here belongs to a lock that has run out.
  long long attempt = before && !(pwdTry > 0 && *before >= pwdTry) ? *before + 1 : 1;
  const std::string now = korvan::localText(time(nullptr));
  if (!before) {
    modify(" insert into userLock (f_id,f_datetime,f_userName,f_wrongTimes) values (null,'" +
           sqlText(now) + "'," + quoted + ",1)");
  } else {
    const bool locks = pwdTry > 0 && attempt >= pwdTry;
    modify(" update userLock set " + (locks ? "f_datetime='" + sqlText(now) + "'," : "") +
           "f_wrongTimes=" + std::to_string(attempt) + " where f_userName=" + quoted);
  }
  recordLoginFailure(name, address, reason);
  if (pwdTry > 0 && attempt >= pwdTry) {
    Caller who;
    who.name = name;
    who.address = address;
    Json::Value count;
    addEntry(count, "failures", std::to_string(attempt));
    recordAccess(who, {"lockout", "user locked out"}, count);
  }
}

}  // namespace audit
