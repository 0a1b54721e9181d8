// Reading the rows of a query, shared by the readers of the store: the rows
// into JSON values (db.cpp) and into JSON text (rows_text.cpp).
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

#include "store/db.h"

namespace korvan {

// Runs every statement of `sql` in turn and calls onRow(stmt, columns, index)
// for each result row, `index` counting the rows from 0; returns the number
// of rows. All rows must have the same number of columns. A failure throws
// through CDB::execWrap().
template <typename OnRow>
size_t forEachRow(const std::string& sql, OnRow onRow) {
  struct Finalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
  };
  const auto fail = [&sql](int rc, const char* message) {
    CDB::execWrap(rc, (message != nullptr ? message : sqlite3_errstr(rc)) + sql);
  };
  // The connection's message for a failure; without a connection, the
  // engine has none and the result code's text stands in.
  const auto engineMessage = [](int rc) {
    return CDB::dbCnn != nullptr ? sqlite3_errmsg(CDB::dbCnn) : sqlite3_errstr(rc);
  };
  size_t rows = 0;
  int rowColumns = 0;
  const char* rest = sql.c_str();
  while (*rest != '\0') {
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(CDB::dbCnn, rest, -1, &raw, &rest);
    if (rc != SQLITE_OK) fail(rc, engineMessage(rc));
    if (raw == nullptr) continue;  // blank or a comment: no statement
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt(raw);
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
      const int columns = sqlite3_column_count(raw);
      if (rows > 0 && columns != rowColumns) {
        fail(SQLITE_ERROR, "statements with different columns in one query: ");
      }
      rowColumns = columns;
      onRow(raw, columns, rows);
      ++rows;
    }
    if (rc != SQLITE_DONE) fail(rc, engineMessage(rc));
  }
  return rows;
}

// Cell `i` of the current row as text; a NULL cell, or an index past the
// last column, reads as the empty text.
inline const char* cellText(sqlite3_stmt* stmt, int columns, size_t i) {
  const unsigned char* cell =
      static_cast<int>(i) < columns ? sqlite3_column_text(stmt, static_cast<int>(i)) : nullptr;
  return cell != nullptr ? reinterpret_cast<const char*>(cell) : "";
}

}  // namespace korvan
