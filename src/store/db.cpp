// The access layer: connection, query and modification, rows to JSON, UPDATE
// assignment lists, and the mapping of the engine's errors to CMyErr.
#include "store/db.h"

#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "store/sql.h"
#include "util/paths.h"

sqlite3* CDB::dbCnn = nullptr;
char* CDB::dbErr = nullptr;
int CDB::g_dbRowCnt = 0;
int CDB::g_dbColCnt = 0;
bool CDB::isFactory = false;

namespace {

[[noreturn]] void fail(int rc, const std::string& message, const std::string& sql) {
  CDB::g_dbRowCnt = 0;
  CDB::g_dbColCnt = 0;
  CDB::execWrap(rc, message + sql);
}

struct StatementFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

// Runs every statement of `sql` in turn and calls onRow(stmt, columns) for
// each result row, counting rows and columns in CDB::g_dbRowCnt and
// CDB::g_dbColCnt. All rows must have the same number of columns. A failure
// resets both counts and throws through CDB::execWrap().
template <typename OnRow>
void forEachRow(const std::string& sql, OnRow onRow) {
  CDB::g_dbRowCnt = 0;
  CDB::g_dbColCnt = 0;
  const char* rest = sql.c_str();
  while (*rest != '\0') {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(CDB::dbCnn, rest, -1, &raw, &rest);
    if (rc != SQLITE_OK) fail(rc, sqlite3_errmsg(CDB::dbCnn), sql);
    if (raw == nullptr) continue;  // blank or a comment: no statement
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> stmt(raw);
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
      const int columns = sqlite3_column_count(raw);
      if (CDB::g_dbRowCnt > 0 && columns != CDB::g_dbColCnt) {
        fail(SQLITE_ERROR, "statements with different columns in one query: ", sql);
      }
      CDB::g_dbColCnt = columns;
      onRow(raw, columns);
      ++CDB::g_dbRowCnt;
    }
    if (rc != SQLITE_DONE) fail(rc, sqlite3_errmsg(CDB::dbCnn), sql);
  }
}

// Cell `i` of the current row as text; a NULL cell, or an index past the
// last column, reads as the empty text.
const char* cellText(sqlite3_stmt* stmt, int columns, size_t i) {
  const unsigned char* cell =
      static_cast<int>(i) < columns ? sqlite3_column_text(stmt, static_cast<int>(i)) : nullptr;
  return cell != nullptr ? reinterpret_cast<const char*>(cell) : "";
}

// Appends cell `i` as the JSON string of cellText(). An integer is written
// from its value, sparing the engine's conversion to text (an allocation per
// cell); the digits are the same.
void appendCellString(sqlite3_stmt* stmt, int columns, size_t i, std::string& out) {
  const int column = static_cast<int>(i);
  if (column < columns && sqlite3_column_type(stmt, column) == SQLITE_INTEGER) {
    char digits[24];
    const auto written =
        std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(stmt, column));
    korvan::appendJsonString(digits, written.ptr, out);
    return;
  }
  const char* text = cellText(stmt, columns, i);
  korvan::appendJsonString(text, text + strlen(text), out);
}

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

// The members of a row object in the order the compact writer writes them
// (ascending by name), each with the position in `keys` of the cell it takes:
// the last one when a name comes twice, as it would overwrite the first.
std::vector<std::pair<std::string, size_t>> memberOrder(const std::vector<const char*>& keys) {
  std::map<std::string_view, size_t> last;
  for (size_t i = 0; i < keys.size(); ++i) last[keys[i]] = i;
  std::vector<std::pair<std::string, size_t>> order;
  bool first = true;
  for (const auto& [name, key] : last) {
    // Each name is kept quoted, with the separators around it.
    std::string quoted = first ? "{" : ",";
    first = false;
    korvan::appendJsonString(name.data(), name.data() + name.size(), quoted);
    order.emplace_back(quoted + ":", key);
  }
  return order;
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
  readRows(isManyRows, sql, keys, jsData);
}

void CDB::sel(bool isManyRows, std::string& sql, const std::vector<const char*>& staticKeys,
              Json::Value& jsData) {
  std::vector<Json::StaticString> keys;
  keys.reserve(staticKeys.size());
  for (const char* key : staticKeys) keys.emplace_back(key);
  readRows(isManyRows, sql, keys, jsData);
}

void CDB::selText(const std::string& sql, const std::vector<const char*>& staticKeys,
                  std::string& out, const CellWriter& cell) {
  const auto order = memberOrder(staticKeys);
  std::string text;
  std::vector<const char*> row(staticKeys.size());
  forEachRow(sql, [&](sqlite3_stmt* stmt, int columns) {
    text += CDB::g_dbRowCnt == 0 ? '[' : ',';
    if (cell) {
      for (size_t i = 0; i < row.size(); ++i) row[i] = cellText(stmt, columns, i);
    }
    for (const auto& [quotedName, key] : order) {
      text += quotedName;
      if (!cell) {
        appendCellString(stmt, columns, key, text);
      } else if (!cell(key, row, text)) {
        korvan::appendJsonString(row[key], row[key] + strlen(row[key]), text);
      }
    }
    if (order.empty()) {
      text += "null";  // as a row object with no members is written
    } else {
      text += '}';
    }
  });
  text += CDB::g_dbRowCnt == 0 ? "null" : "]";
  out += text;  // only a whole list: a failing query leaves `out` as it was
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
