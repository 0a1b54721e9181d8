// The access layer: connection, query and modification, rows to JSON, UPDATE
// assignment lists, and the mapping of the engine's errors to CMyErr.
#include "store/db.h"

#include <memory>
#include <string_view>
#include <utility>

#include "store/connection_guard.h"
#include "store/schema_upgrade.h"
#include "store/engine_memory.h"
#include "store/rows.h"
#include "store/sql.h"
#include "util/paths.h"

sqlite3* CDB::dbCnn = nullptr;

namespace {

using korvan::cellText;
using korvan::forEachRow;

// Member `key` of `object`, added when missing: named by reference to a
// lasting name, by a copy otherwise.
Json::Value& memberOf(Json::Value& object, const CDB::Keys& keys, size_t key) {
  return keys.lasting() ? object[Json::StaticString(keys[key])] : object[keys[key]];
}

// The rows of CDB::sel(); a failing statement throws, so that no caller ever
// sees part of a result.
Json::Value readRows(bool isManyRows, const std::string& sql, const CDB::Keys& keys) {
  // Every row of many-row mode is a copy of `shape`, the members named by
  // `keys`, with the cells put in member by member: `columnOf` holds, in
  // member order, the position of each name in `keys` (the last one when a
  // name comes twice, as it would overwrite the first), so no name is looked
  // up per row.
  Json::Value shape;
  std::vector<size_t> columnOf;
  if (isManyRows) {
    for (size_t i = 0; i < keys.size(); ++i) memberOf(shape, keys, i);
    for (auto it = shape.begin(); it != shape.end(); ++it) {
      const char* end = nullptr;
      const char* name = it.memberName(&end);
      const std::string_view member(name, static_cast<size_t>(end - name));
      size_t last = 0;
      for (size_t i = 0; i < keys.size(); ++i) {
        if (member == keys[i]) last = i;
      }
      columnOf.push_back(last);
    }
  }
  Json::Value rows;
  forEachRow(sql, [&](sqlite3_stmt* stmt, int columns, size_t index) {
    if (isManyRows) {
      Json::Value item = shape;
      size_t member = 0;
      for (Json::Value& cell : item) cell = cellText(stmt, columns, columnOf[member++]);
      rows.append(std::move(item));
    } else if (index == 0) {
      rows = Json::Value(Json::objectValue);
      for (size_t i = 0; i < keys.size(); ++i) memberOf(rows, keys, i) = cellText(stmt, columns, i);
    }
  });
  return rows;
}

// Frees a text the engine allocated.
struct EngineFree {
  void operator()(char* text) const { sqlite3_free(text); }
};

}  // namespace

namespace {

// Closes the connection when the process ends; a statement still open then
// keeps it until that statement is finalized.
struct ConnectionCloser {
  ~ConnectionCloser() {
    sqlite3_close_v2(CDB::dbCnn);
    CDB::dbCnn = nullptr;
  }
} connectionCloser;

}  // namespace

void CDB::cnn() {
  if (dbCnn != nullptr) return;
  // One request is one process and uses its connection from one thread: the
  // engine's locks around every call and its memory accounting (a lock on
  // every allocation) are pure cost here. Nor does a request read enough pages
  // to gain from a page cache laid out in advance (20 pages for the database
  // and again for every temporary index, each page touched at once); pages are
  // allocated as they are read instead. These settings are taken only before
  // the engine starts; later calls are refused and change nothing.
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
  korvan::useEngineMemory();
  sqlite3* opened = nullptr;
  const int rc =
      sqlite3_open_v2(korvan::resolvePath(korvan::kDbPath).c_str(), &opened,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    // The engine's message is kept before the failed handle is released.
    const std::string message = opened != nullptr ? sqlite3_errmsg(opened) : sqlite3_errstr(rc);
    sqlite3_close(opened);
    throw CMyErr(CMyErr::err, message);
  }
  try {
    korvan::guardConnection(opened);
  } catch (const CMyErr&) {
    sqlite3_close(opened);
    throw;
  }
  // Another request holding the database is waited for, up to kBusyTimeoutMs,
  // before a statement gives up with lockErr. Extended result codes tell a
  // unique-constraint failure from other constraint failures.
  sqlite3_busy_timeout(opened, kBusyTimeoutMs);
  sqlite3_extended_result_codes(opened, 1);
  // A database kept from an older program gets what this one adds. The
  // connection is used only once that succeeded.
  try {
    korvan::upgradeSchema(opened);
  } catch (const CMyErr&) {
    sqlite3_close(opened);
    throw;
  }
  dbCnn = opened;
}

void CDB::execModify(const std::string& sql) {
  char* raw = nullptr;
  const int rc = sqlite3_exec(dbCnn, sql.c_str(), nullptr, nullptr, &raw);
  const std::unique_ptr<char, EngineFree> message(raw);
  if (rc == SQLITE_OK) return;
  // A misused connection (closed, or never opened) or an exhausted memory
  // fails without a message: the result code's text stands in for it, for a
  // failure must never pass as a success (a failed COMMIT would read as
  // stored).
  execWrap(rc, std::string(message ? message.get() : sqlite3_errstr(rc)) + sql);
}

void CDB::execWrap(int rc, std::string errStr) {
  // Decided by the engine's result code alone: the words of the message or
  // of the statement (a name such as "padlock") say nothing.
  if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
    throw CMyErr(CMyErr::warning, "database unique error,please donnot input duplicate name");
  }
  const int primary = rc & 0xff;
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
    throw CMyErr(CMyErr::lockErr, "database temporary lock,retry later" + errStr);
  }
  throw CMyErr(CMyErr::err, errStr);
}

CDB::Keys::Keys(const std::vector<std::string>& names) : lasting_(false) {
  names_.reserve(names.size());
  for (const std::string& name : names) names_.push_back(name.c_str());
}

Json::Value CDB::sel(bool isManyRows, const std::string& sql, const Keys& keys) {
  return readRows(isManyRows, sql, keys);
}

std::optional<Json::Value> CDB::selOne(const std::string& sql, const Keys& keys) {
  Json::Value row = readRows(false, sql, keys);
  if (row.isNull()) return std::nullopt;
  return row;
}

void CDB::getUpdSql(const std::map<std::string, bool>& keys, const Json::Value& values,
                    std::string& sql) {
  bool any = false;
  for (const auto& [key, quoted] : keys) {
    const Json::Value& v = values[key];
    if (quoted) {
      sql += key + "='" + sqlText(v) + "',";
    } else {
      sql += key + "=" + sqlNumber(v) + ",";
    }
    any = true;
  }
  if (!any) return;
  sql.erase(sql.rfind(','));
}
