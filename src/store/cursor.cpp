#include "store/cursor.h"

#include "store/db.h"

CRowCursor::CRowCursor(const std::string& sql) : sql_(sql) {
  int rc = sqlite3_prepare_v2(CDB::dbCnn, sql_.c_str(), -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    std::string text = sqlite3_errmsg(CDB::dbCnn);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    CDB::execWrap(rc, text + sql_);
  }
  try {
    step();
  } catch (...) {
    // A constructor that throws runs no destructor.
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw;
  }
}

CRowCursor::~CRowCursor() { sqlite3_finalize(stmt_); }

const char* CRowCursor::cell(int column) const {
  if (!hasRow_ || column < 0 || column >= sqlite3_column_count(stmt_)) return "";
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return text != nullptr ? text : "";
}

void CRowCursor::next() { step(); }

void CRowCursor::step() {
  hasRow_ = false;
  if (stmt_ == nullptr) return;
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    hasRow_ = true;
    return;
  }
  if (rc == SQLITE_DONE) return;
  std::string text = sqlite3_errmsg(CDB::dbCnn);
  CDB::execWrap(sqlite3_extended_errcode(CDB::dbCnn), text + sql_);
}
