// The program's database connection runs guarded: the schema is not trusted
// with functions, ordinary SQL cannot corrupt the file, no extension loads.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <utility>

#include "store/connection_guard.h"
#include "store/db.h"
#include "testroot.h"

TEST(ConnectionGuard, TheDatabaseConnectionIsGuarded) {
  korvantest::TempRoot root;
  setenv("KORVAN_ROOT", root.dir().c_str(), 1);
  sqlite3* const kept = std::exchange(CDB::dbCnn, nullptr);
  CDB::cnn();
  const std::pair<int, int> expected[] = {{SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
                                          {SQLITE_DBCONFIG_DEFENSIVE, 1},
                                          {SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0}};
  for (const auto& [option, value] : expected) {
    int now = -1;
    EXPECT_EQ(sqlite3_db_config(CDB::dbCnn, option, -1, &now), SQLITE_OK);
    EXPECT_EQ(now, value) << "option " << option;
  }
  // Defensive mode in effect: the schema cannot be written even when asked.
  EXPECT_THROW(CDB::execModify("pragma writable_schema=on;"
                               "update sqlite_schema set sql=sql where type='index'"),
               CMyErr);
  sqlite3_close(CDB::dbCnn);
  CDB::dbCnn = kept;
  unsetenv("KORVAN_ROOT");
}

// Freed content is zeroed even where the engine's build does not do it by
// default: replaced password text must not linger in a copy of the file.
TEST(ConnectionGuard, DeletedContentIsZeroed) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "pragma secure_delete=off", nullptr, nullptr, nullptr), SQLITE_OK);
  korvan::guardConnection(db);
  sqlite3_stmt* statement = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "pragma secure_delete", -1, &statement, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(statement, 0), 1);
  sqlite3_finalize(statement);
  sqlite3_close(db);
}
