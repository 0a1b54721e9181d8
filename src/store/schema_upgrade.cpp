#include "store/schema_upgrade.h"

#include <memory>
#include <string>

#include "util/myerr.h"

namespace korvan {

const std::vector<SchemaStep>& schemaSteps() {
  // Append only: a step's position is its version. Each column here is also
  // in db/schema.sql.
  static const std::vector<SchemaStep> steps = {
      // Who is on the switch: the session's address and last request, the
      // last KVM session of a module, the switch service's health.
      {"user2", "loginIP", "TEXT DEFAULT ''"},
      {"user2", "lastRequest", "INTEGER DEFAULT 0"},
      {"dog2", "kvmUser", "TEXT DEFAULT ''"},
      {"dog2", "kvmTime", "TEXT DEFAULT ''"},
      {"switchHealth", nullptr,
       "create table if not exists switchHealth (f_id INTEGER PRIMARY KEY, f_time INTEGER, "
       "f_answered INTEGER, f_outcome TEXT)"},
      // The second factor.
      {"user2", "totpSecret", "TEXT DEFAULT ''"},
      {"user2", "totpPending", "TEXT DEFAULT ''"},
      {"user2", "totpStep", "INTEGER DEFAULT 0"},
  };
  return steps;
}

namespace {

[[noreturn]] void fail(sqlite3* db, int rc, const std::string& what) {
  const std::string message = "database upgrade failed: " + what + ": " + sqlite3_errmsg(db);
  const int primary = rc & 0xff;
  throw CMyErr(primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? CMyErr::lockErr : CMyErr::err, message);
}

void exec(sqlite3* db, const std::string& sql) {
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) fail(db, rc, sql);
}

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
  Statement statement(raw, sqlite3_finalize);
  if (rc != SQLITE_OK) fail(db, rc, sql);
  return statement;
}

long long userVersion(sqlite3* db) {
  Statement s = prepare(db, "pragma user_version");
  const int rc = sqlite3_step(s.get());
  if (rc != SQLITE_ROW) fail(db, rc, "pragma user_version");
  return sqlite3_column_int64(s.get(), 0);
}

// Whether `table` exists, and whether it has `column`. Names are compared by
// the engine (case-insensitively, as it resolves them).
bool hasTable(sqlite3* db, const char* table) {
  Statement s = prepare(db, "select 1 from sqlite_schema where type='table' and name=?1 collate nocase");
  sqlite3_bind_text(s.get(), 1, table, -1, SQLITE_STATIC);
  return sqlite3_step(s.get()) == SQLITE_ROW;
}

bool hasColumn(sqlite3* db, const char* table, const char* column) {
  Statement s = prepare(db, "select 1 from pragma_table_info(?1) where name=?2 collate nocase");
  sqlite3_bind_text(s.get(), 1, table, -1, SQLITE_STATIC);
  sqlite3_bind_text(s.get(), 2, column, -1, SQLITE_STATIC);
  return sqlite3_step(s.get()) == SQLITE_ROW;
}

}  // namespace

void upgradeSchema(sqlite3* db, const std::vector<SchemaStep>& steps) {
  const auto target = static_cast<long long>(steps.size());
  if (userVersion(db) >= target) return;
  // The write lock first, then the version again: two requests that both saw
  // an old database upgrade it once.
  exec(db, "begin immediate");
  try {
    if (userVersion(db) < target) {
      for (const SchemaStep& step : steps) {
        if (step.column == nullptr) {
          exec(db, step.definition);
        } else if (hasTable(db, step.table) && !hasColumn(db, step.table, step.column)) {
          exec(db, std::string("alter table ") + step.table + " add column " + step.column + " " + step.definition);
        }
      }
      exec(db, "pragma user_version=" + std::to_string(target));
    }
    exec(db, "commit");
  } catch (...) {
    sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
    throw;
  }
}

}  // namespace korvan
