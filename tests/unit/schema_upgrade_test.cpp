// An existing database is brought up to the program's schema once, whole or
// not at all.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "store/schema_upgrade.h"
#include "testroot.h"
#include "util/myerr.h"

namespace {

struct Db {
  sqlite3* db = nullptr;
  explicit Db(const std::string& path) { sqlite3_open(path.c_str(), &db); }
  ~Db() { sqlite3_close(db); }
  std::string text(const std::string& sql) const {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
    std::string out;
    if (sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0) != nullptr)
      out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    return out;
  }
};

const std::vector<korvan::SchemaStep> kSteps = {
    {"t", "added", "TEXT DEFAULT 'new'"},
    {"gone", "x", "INTEGER"},  // a table this database does not have: nothing to add
    {"u", nullptr, "create table if not exists u (a INTEGER)"},
};

TEST(SchemaUpgrade, AddsWhatIsMissingOnceAndCountsTheSteps) {
  korvantest::TempRoot root(false);
  Db d(root.path("old.db"));
  sqlite3_exec(d.db, "create table t (a INTEGER); insert into t values (1)", nullptr, nullptr, nullptr);
  korvan::upgradeSchema(d.db, kSteps);
  EXPECT_EQ(d.text("select added from t"), "new");
  EXPECT_EQ(d.text("select count(*) from sqlite_schema where name='u'"), "1");
  EXPECT_EQ(d.text("pragma user_version"), "3");
  // At the count, nothing runs again (a step that would fail shows it).
  std::vector<korvan::SchemaStep> more = kSteps;
  more[0].definition = "NOT A TYPE (";
  EXPECT_NO_THROW(korvan::upgradeSchema(d.db, more));
  // A newer database (built from the newer schema, version 0) has the
  // column already: the step is skipped, not failed.
  Db fresh(root.path("fresh.db"));
  sqlite3_exec(fresh.db, "create table t (a INTEGER, added TEXT DEFAULT 'new')", nullptr, nullptr, nullptr);
  EXPECT_NO_THROW(korvan::upgradeSchema(fresh.db, kSteps));
  EXPECT_EQ(fresh.text("pragma user_version"), "3");
  // A database from a newer program is left alone.
  sqlite3_exec(fresh.db, "pragma user_version=9", nullptr, nullptr, nullptr);
  korvan::upgradeSchema(fresh.db, kSteps);
  EXPECT_EQ(fresh.text("pragma user_version"), "9");
}

TEST(SchemaUpgrade, AFailedStepLeavesTheDatabaseAsItWas) {
  korvantest::TempRoot root(false);
  Db d(root.path("old.db"));
  sqlite3_exec(d.db, "create table t (a INTEGER)", nullptr, nullptr, nullptr);
  std::vector<korvan::SchemaStep> broken = kSteps;
  broken.push_back({"t", "bad", "NOT A TYPE ("});
  EXPECT_THROW(korvan::upgradeSchema(d.db, broken), CMyErr);
  EXPECT_EQ(d.text("select count(*) from pragma_table_info('t') where name='added'"), "0");
  EXPECT_EQ(d.text("select count(*) from sqlite_schema where name='u'"), "0");
  EXPECT_EQ(d.text("pragma user_version"), "0");
  // Another connection holding the write lock: refused as busy, nothing done.
  Db other(root.path("old.db"));
  sqlite3_exec(other.db, "begin immediate", nullptr, nullptr, nullptr);
  try {
    korvan::upgradeSchema(d.db, kSteps);
    ADD_FAILURE() << "upgraded under another writer";
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::lockErr);
  }
  sqlite3_exec(other.db, "rollback", nullptr, nullptr, nullptr);
  korvan::upgradeSchema(d.db, kSteps);
  EXPECT_EQ(d.text("pragma user_version"), "3");
}

}  // namespace
