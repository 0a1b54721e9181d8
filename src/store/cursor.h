// CRowCursor: a query read row by row, for results too large to hold at
// once (the operation log). Rows come in the query's order; each cell is the
// engine's text form, as CDB::sel gives it, and a NULL cell reads as the
// empty text. The statement, and with it the engine's shared lock, lives as
// long as the cursor.
#pragma once

#include <sqlite3.h>

#include <string>

class CRowCursor {
 public:
  // Prepares `sql` on CDB::dbCnn and moves to the first row; a refused
  // statement throws the CMyErr of CDB::execWrap.
  explicit CRowCursor(const std::string& sql);
  ~CRowCursor();
  CRowCursor(const CRowCursor&) = delete;
  CRowCursor& operator=(const CRowCursor&) = delete;

  // True while the cursor stands on a row.
  bool hasRow() const { return hasRow_; }
  // Cell `column` of the current row (the empty text past the last column).
  const char* cell(int column) const;
  // Moves to the next row; a failing step throws as the constructor does.
  void next();

 private:
  void step();

  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
  bool hasRow_ = false;
};
