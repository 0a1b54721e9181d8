// The access layer: connection, query and modification, rows to JSON, UPDATE
// assignment lists, and the mapping of the engine's errors to CMyErr.
#include "store/db.h"

#include <memory>
#include <string_view>
#include <utility>

#include "store/engine_memory.h"
#include "store/rows.h"
#include "store/sql.h"
#include "util/paths.h"

sqlite3* CDB::dbCnn = nullptr;
char* CDB::dbErr = nullptr;
int CDB::g_dbRowCnt = 0;
int CDB::g_dbColCnt = 0;
bool CDB::isFactory = false;

namespace {

using korvan::cellText;
using korvan::forEachRow;

std::string_view nameOf(const std::string& key) { return key; }
std::string_view nameOf(const Json::StaticString& key) { return key.c_str(); }

// CDB::sel() for either kind of key: names the rows copy (std::string) or
// names they refer to (Json::StaticString). Rows are collected apart and
// handed over only when every statement has run: a failing query leaves
// `jsData` as it was.
template <typename Key>
void readRows(bool isManyRows, const std::string& sql, const std::vector<Key>& keys,
              Json::Value& jsData) {
  // Every row of many-row mode is a copy of `shape`, the members named by
  // `keys`, with the cells put in member by member: `columnOf` holds, in
  // member order, the position of each name in `keys` (the last one when a
  // name comes twice, as it would overwrite the first), so no name is looked
  // up per row.
  Json::Value shape;
  std::vector<size_t> columnOf;
  if (isManyRows) {
    for (const Key& key : keys) shape[key] = Json::Value();
    for (auto it = shape.begin(); it != shape.end(); ++it) {
      const char* end = nullptr;
      const char* name = it.memberName(&end);
      const std::string_view member(name, static_cast<size_t>(end - name));
      size_t last = 0;
      for (size_t i = 0; i < keys.size(); ++i) {
        if (nameOf(keys[i]) == member) last = i;
      }
      columnOf.push_back(last);
    }
  }
  std::vector<Json::Value> rows;
  std::vector<std::string> firstRow;
  forEachRow(sql, [&](sqlite3_stmt* stmt, int columns) {
    if (isManyRows) {
      Json::Value& item = rows.emplace_back(shape);
      size_t member = 0;
      for (Json::Value& cell : item) cell = cellText(stmt, columns, columnOf[member++]);
    } else if (CDB::g_dbRowCnt == 0) {
      for (size_t i = 0; i < keys.size(); ++i) firstRow.emplace_back(cellText(stmt, columns, i));
    }
  });
  if (CDB::g_dbRowCnt == 0) return;
  if (!isManyRows) {
    for (size_t i = 0; i < keys.size(); ++i) jsData[keys[i]] = firstRow[i];
    return;
  }
  for (Json::Value& item : rows) jsData.append(std::move(item));
}

// Moves the engine's error text into a std::string and frees it.
std::string takeError() {
  std::string text = CDB::dbErr != nullptr ? CDB::dbErr : "";
  sqlite3_free(CDB::dbErr);
  CDB::dbErr = nullptr;
  return text;
}

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
  dbCnn = opened;
  // Another request holding the database is waited for, up to kBusyTimeoutMs,
  // before a statement gives up with lockErr. Extended result codes tell a
  // unique-constraint failure from other constraint failures.
  sqlite3_busy_timeout(dbCnn, kBusyTimeoutMs);
  sqlite3_extended_result_codes(dbCnn, 1);
}

void CDB::execModify(std::string& sql) {
  int rc = sqlite3_exec(dbCnn, sql.c_str(), nullptr, nullptr, &dbErr);
  if (rc != SQLITE_OK) {
    // Out of memory the engine may have no message to give; the text of its
    // result code stands in, for a failure must never pass as a success (a
    // COMMIT that failed would otherwise read as stored).
    std::string message = dbErr != nullptr ? takeError() : sqlite3_errstr(rc);
    execWrap(rc, message + sql);
  }
  takeError();
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

void CDB::sel(bool isManyRows, std::string& sql, std::vector<std::string>& keys,
              Json::Value& jsData) {
  readRows(isManyRows, sql, keys, jsData);
}

void CDB::sel(bool isManyRows, std::string& sql, const std::vector<const char*>& staticKeys,
              Json::Value& jsData) {
  std::vector<Json::StaticString> keys;
  keys.reserve(staticKeys.size());
  for (const char* key : staticKeys) keys.emplace_back(key);
  readRows(isManyRows, sql, keys, jsData);
}

void CDB::getUpdSql(std::map<std::string, bool>& keys, Json::Value& values, std::string& sql) {
  bool any = false;
  const Json::Value& source = values;  // read-only: never adds members to the request
  for (const auto& [key, quoted] : keys) {
    const Json::Value& v = source[key];
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
