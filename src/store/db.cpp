// The access layer: connection, query and modification, rows to JSON, UPDATE
// assignment lists, and the mapping of the engine's errors to CMyErr.
#include "store/db.h"

#include <utility>

#include "store/sql.h"
#include "util/paths.h"

sqlite3* CDB::dbCnn = nullptr;
char* CDB::dbErr = nullptr;
char** CDB::g_dbRowData = nullptr;
int CDB::g_dbRowCnt = 0;
int CDB::g_dbColCnt = 0;
bool CDB::isFactory = false;

namespace {

// Releases the previous result table when a new query replaces it, and the
// last one when the process ends.
struct ResultTableKeeper {
  ~ResultTableKeeper() { release(); }
  static void release() {
    if (CDB::g_dbRowData != nullptr) {
      sqlite3_free_table(CDB::g_dbRowData);
      CDB::g_dbRowData = nullptr;
    }
  }
} resultTableKeeper;

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
  sqlite3* opened = nullptr;
  const int rc = sqlite3_open(korvan::resolvePath(korvan::kDbPath).c_str(), &opened);
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

void CDB::execSel(std::string& sql) {
  ResultTableKeeper::release();
  g_dbRowCnt = 0;
  g_dbColCnt = 0;
  int rc = sqlite3_get_table(dbCnn, sql.c_str(), &g_dbRowData, &g_dbRowCnt, &g_dbColCnt, &dbErr);
  if (rc == SQLITE_OK) return;
  // A failed query reads as empty whether or not the engine says why.
  ResultTableKeeper::release();
  g_dbRowCnt = 0;
  g_dbColCnt = 0;
  if (dbErr != nullptr) execWrap(rc, takeError() + sql);
}

void CDB::execModify(std::string& sql) {
  int rc = sqlite3_exec(dbCnn, sql.c_str(), nullptr, nullptr, &dbErr);
  if (rc != SQLITE_OK && dbErr != nullptr) execWrap(rc, takeError() + sql);
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
  execSel(sql);
  if (g_dbRowCnt == 0) return;
  if (!isManyRows) {
    sel_oneRow(g_dbRowData + g_dbColCnt, keys, jsData);
    return;
  }
  for (int row = 1; row <= g_dbRowCnt; ++row) {
    Json::Value item;
    sel_oneRow(g_dbRowData + row * g_dbColCnt, keys, item);
    jsData.append(std::move(item));
  }
}

void CDB::sel_oneRow(char** dbCols, std::vector<std::string>& keys, Json::Value& jsCols) {
  for (size_t i = 0; i < keys.size(); ++i) {
    // A NULL cell, or a key past the last column, reads as the empty text.
    const char* cell = static_cast<int>(i) < g_dbColCnt ? dbCols[i] : nullptr;
    jsCols[keys[i]] = cell != nullptr ? cell : "";
  }
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
