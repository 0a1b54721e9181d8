// A database that cannot be opened is an error, not an empty database.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "store/db.h"

TEST(DatabaseOpen, FailureThrowsTheEnginesMessageAndKeepsNoConnection) {
  char root[] = "/tmp/korvan-noroot-XXXXXX";  // has no usr/app folder
  ASSERT_NE(mkdtemp(root), nullptr);
  setenv("KORVAN_ROOT", root, 1);
  sqlite3* const kept = std::exchange(CDB::dbCnn, nullptr);
  try {
    CDB::cnn();
    ADD_FAILURE() << "opened " << root;
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::err);
    EXPECT_STREQ(e.what(), "unable to open database file");
  }
  EXPECT_EQ(CDB::dbCnn, nullptr);
  CDB::dbCnn = kept;
  unsetenv("KORVAN_ROOT");
  rmdir(root);
}
