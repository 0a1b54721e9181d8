// The access layer against a real database file: rows to JSON, error mapping,
// assignment lists and the quoting rules.
#include <gtest/gtest.h>

#include <cstdlib>

#include "store/db.h"
#include "store/sql.h"
#include "testroot.h"

namespace {

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::make_unique<korvantest::TempRoot>();
    setenv("KORVAN_ROOT", root_->dir().c_str(), 1);
    CDB::cnn();
  }
  void TearDown() override {
    sqlite3_close(CDB::dbCnn);
    CDB::dbCnn = nullptr;
    unsetenv("KORVAN_ROOT");
  }
  Json::Value sel(bool many, std::string sql, std::vector<std::string> keys) {
    Json::Value out;
    CDB::sel(many, sql, keys, out);
    return out;
  }
  std::unique_ptr<korvantest::TempRoot> root_;
};

TEST_F(StoreTest, SelectsRowsAsStrings) {
  Json::Value one = sel(false, "select id,nm,status from user2 order by id", {"id", "nm", "status"});
  EXPECT_EQ(one["id"], "1");  // first row only, numbers as text
  EXPECT_EQ(one["nm"], "admin");
  EXPECT_EQ(one["status"], "0");
  EXPECT_EQ(CDB::g_dbRowCnt, 2);

  Json::Value many = sel(true, "select nm from user2 order by id desc", {"name"});
  ASSERT_TRUE(many.isArray());
  ASSERT_EQ(many.size(), 2u);
  EXPECT_EQ(many[0]["name"], "operator");  // keys by position, not column name
}

TEST_F(StoreTest, EmptyResultLeavesTargetUntouched) {
  EXPECT_TRUE(sel(true, "select nm from user2 where id=99", {"nm"}).isNull());
  Json::Value target;
  target["keep"] = "me";
  std::string sql = "select nm from user2 where id=99";
  std::vector<std::string> keys{"nm"};
  CDB::sel(false, sql, keys, target);
  EXPECT_EQ(target.size(), 1u);
  EXPECT_EQ(target["keep"], "me");
}

TEST_F(StoreTest, NullCellsAndExtraKeysReadAsEmptyText) {
  root_->exec("insert into ips2 (ip) values (null);");
  Json::Value row = sel(false, "select ip from ips2", {"ip", "extra"});
  EXPECT_EQ(row["ip"], "");
  EXPECT_EQ(row["extra"], "");
}

TEST_F(StoreTest, ErrorMapping) {
  std::string dup = "insert into user2 (id,nm) values (null,'admin');";
  try {
    CDB::execModify(dup);
    FAIL() << "duplicate name accepted";
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::warning);
    EXPECT_STREQ(e.what(), "database unique error,please donnot input duplicate name");
  }
  // Words in the statement decide nothing: only the engine's result code.
  std::string lockInSql = "select nosuchcolumn from user2 where nm='padlock unique'";
  try {
    CDB::execSel(lockInSql);
    FAIL();
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::err);
  }
  std::string bad = "select nosuchcolumn from user2";
  try {
    CDB::execSel(bad);
    FAIL();
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::err);
    EXPECT_EQ(std::string(e.what()), "no such column: nosuchcolumn" + bad);
  }
  EXPECT_EQ(CDB::g_dbRowCnt, 0);
}

TEST_F(StoreTest, LockedDatabaseIsLockErr) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(root_->dbPath().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "begin exclusive;", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_busy_timeout(CDB::dbCnn, 0);  // the wait itself is a black-box test
  std::string sql = "update user2 set memo='x' where id=1";
  try {
    CDB::execModify(sql);
    ADD_FAILURE() << "write through an exclusive lock";
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::lockErr);
  }
  sqlite3_exec(other, "rollback;", nullptr, nullptr, nullptr);
  sqlite3_close(other);
}

TEST(UpdSql, OrdersKeysAndQuotes) {
  std::map<std::string, bool> keys{{"uid", true}, {"nm", true}, {"encrypt", false}, {"portKM", false}};
  Json::Value v;
  v["uid"] = "A1";
  v["nm"] = "srv";
  v["encrypt"] = "1";
  v["portKM"] = 80;
  std::string sql;
  CDB::getUpdSql(keys, v, sql);
  EXPECT_EQ(sql, "encrypt=1,nm='srv',portKM=80,uid='A1'");

  std::map<std::string, bool> quotedNumber{{"nm", true}};
  Json::Value n;
  n["nm"] = 5;
  std::string sql2 = "update x set ";
  CDB::getUpdSql(quotedNumber, n, sql2);
  EXPECT_EQ(sql2, "update x set nm='5'");
}

TEST(UpdSql, HostileValuesAndEdges) {
  std::map<std::string, bool> keys{{"nm", true}, {"pid", false}};
  Json::Value v;
  v["nm"] = "o'brien'; drop table user2;--";
  v["pid"] = "2";
  std::string sql;
  CDB::getUpdSql(keys, v, sql);
  EXPECT_EQ(sql, "nm='o''brien''; drop table user2;--',pid=2");

  v["pid"] = "1 or 1=1";
  std::string refused = "keep";
  EXPECT_THROW(CDB::getUpdSql(keys, v, refused), CMyErr);

  std::map<std::string, bool> none;
  std::string untouched = "update t set a=1, b=2";
  CDB::getUpdSql(none, v, untouched);
  EXPECT_EQ(untouched, "update t set a=1, b=2");

  // A missing member is the empty text and never becomes a member.
  Json::Value empty(Json::objectValue);
  std::map<std::string, bool> missing{{"memo", true}};
  std::string sql3;
  CDB::getUpdSql(missing, empty, sql3);
  EXPECT_EQ(sql3, "memo=''");
  EXPECT_FALSE(empty.isMember("memo"));
}

TEST(SqlRules, NumberCheck) {
  for (const char* ok : {"0", "-1", "+7", "3.25", ".5", "5.", "1e3", "-2.5E-4", ""}) {
    EXPECT_EQ(sqlNumber(ok), ok) << ok;
  }
  for (const char* bad : {"1 or 1=1", "1;", "abc", "-", ".", "1e", "0x10", " 1", "1 ", "--1", "1e+"}) {
    EXPECT_THROW(sqlNumber(bad), CMyErr) << bad;
  }
  try {
    sqlNumber("1 or 1=1");
  } catch (const CMyErr& e) {
    EXPECT_EQ(e.type, CMyErr::err);
    EXPECT_NE(std::string(e.what()).find("1 or 1=1"), std::string::npos);
  }
}

TEST(SqlRules, QuotingKeepsValueInsideLiteral) {
  EXPECT_EQ(sqlText("it's"), "it''s");
  EXPECT_EQ(sqlText("''"), "''''");
  EXPECT_EQ(sqlText("plain"), "plain");
  Json::Value n = 12;
  EXPECT_EQ(sqlText(n), "12");
  EXPECT_THROW(sqlNumber(Json::Value(true)), CMyErr);
  EXPECT_EQ(sqlNumber(Json::Value()), "");
}

}  // namespace
