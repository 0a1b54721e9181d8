// Operation-log records: the entry builders, the rights renderings over the
// console slots, the detail text and the row the writer inserts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>

#include "actions/log.h"
#include "cgi/cgic.h"
#include "store/db.h"
#include "testroot.h"

namespace {

Json::Value entry(const std::string& nm, const std::string& v1) {
  Json::Value e;
  e["nm"] = nm;
  e["v1"] = v1;
  return e;
}

Json::Value entry(const std::string& nm, const std::string& v1, const std::string& v2) {
  Json::Value e = entry(nm, v1);
  e["v2"] = v2;
  return e;
}

TEST(LogBuilders, RightsRenderings) {
  std::vector<std::string> r{"kept"};
  CLog::getDogCN("0123x94", r);
  EXPECT_EQ(r, (std::vector<std::string>{"kept", "", "read", "", "read write", "", "", ""}));
}

TEST(LogBuilders, EntriesForEveryKeyInKeyOrder) {
  CKeyCNList keys{CKeyCN("nm", "Name"), CKeyCN("sm", "shareMode"), CKeyCN("gone", "Missing")};
  Json::Value a, b;
  a["nm"] = "alpha";
  a["sm"] = "1";
  b["nm"] = "alpha";  // unchanged fields are listed too
  b["sm"] = 2;
  b["gone"] = Json::Value();
  Json::Value entries;
  CLog::compAB(keys, a, b, entries);
  Json::Value want(Json::arrayValue);
  want.append(entry("Name", "alpha", "alpha"));
  want.append(entry("shareMode", "1", "2"));
  want.append(entry("Missing", "", ""));
  EXPECT_EQ(entries, want);

  // Builders append; the single-value form has no v2.
  CLog::singleA(CKeyCNList{CKeyCN("nm", "Name")}, a, entries);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[3], entry("Name", "alpha"));
  EXPECT_FALSE(entries[3].isMember("v2"));
}

TEST(LogBuilders, DetailTextIsCompactJsonAndALineFeed) {
  Json::Value none;
  EXPECT_EQ(CLog::detailText(none), "null\n");
  Json::Value entries;
  entries.append(entry("Na\"me", "a", "b"));
  EXPECT_EQ(CLog::detailText(entries), "[{\"nm\":\"Na\\\"me\",\"v1\":\"a\",\"v2\":\"b\"}]\n");
}

// A seeded root as the process's database, and the client address that the
// log writer reads from the CGI layer.
class LogDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KORVAN_ROOT", root_.dir().c_str(), 1);
    CDB::cnn();
    savedAddr_ = cgiRemoteAddr;
    cgiRemoteAddr = addr_;
  }
  void TearDown() override {
    cgiRemoteAddr = savedAddr_;
    sqlite3_close(CDB::dbCnn);
    CDB::dbCnn = nullptr;
    unsetenv("KORVAN_ROOT");
  }
  korvantest::TempRoot root_;

 private:
  char addr_[16] = "10.1.2.3";
  char* savedAddr_ = nullptr;
};

TEST_F(LogDbTest, RightsEntriesFollowTheSlotsInUse) {
  // Slots 1..8 seeded; use 1, 2 and 4, leave 3 free.
  root_.exec(
      "update dogInfo2 set setted=1, nm='web' where id=1;"
      "update dogInfo2 set setted=1, nm='mail' where id=2;"
      "update dogInfo2 set setted=0, nm='free' where id=3;"
      "update dogInfo2 set setted=1, nm='db' where id=4;");
  Json::Value entries;
  // Side A is too short for slot 4; side B has a code above 3 at slot 4.
  CLog::CompAB_dog("13", "3109", entries);
  Json::Value want(Json::arrayValue);
  want.append(entry("web", "read", "read write"));
  want.append(entry("mail", "read write", "read"));
  want.append(entry("db", "", ""));  // the free slot 3 kept its position
  EXPECT_EQ(entries, want);

  Json::Value single;
  CLog::singleA_dog("3313", single);
  Json::Value want1(Json::arrayValue);
  want1.append(entry("web", "read write"));
  want1.append(entry("mail", "read write"));
  want1.append(entry("db", "read write"));
  EXPECT_EQ(single, want1);
}

TEST_F(LogDbTest, NoSlotsInUseAppendsNothing) {
  root_.exec("update dogInfo2 set setted=0; delete from dogInfo2 where id>4;");
  Json::Value entries;
  CLog::CompAB_dog("3333", "1111", entries);
  CLog::singleA_dog("3333", entries);
  EXPECT_TRUE(entries.isNull());
  root_.exec("delete from dogInfo2;");
  CLog::CompAB_dog("3333", "1111", entries);
  EXPECT_TRUE(entries.isNull());
}

TEST_F(LogDbTest, WriterInsertsOneRow) {
  Caller author;
  author.name = "o'brien";
  author.address = "10.1.2.3";
  CDB::insLog(author, "priv", "updPriv", "update userGroup", "[{\"nm\":\"it's\"}]\n");
  auto rows = root_.query("select user,time,ip,type,typeSub,typeSubCN,sth from log2");
  ASSERT_EQ(rows.size(), 1u);
  auto& row = rows[0];
  EXPECT_EQ(row[0], "o'brien");
  EXPECT_TRUE(std::regex_match(row[1], std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << row[1];
  EXPECT_EQ(row[2], "10.1.2.3");
  EXPECT_EQ(row[3], "priv");
  EXPECT_EQ(row[4], "updPriv");
  EXPECT_EQ(row[5], "update userGroup");
  EXPECT_EQ(row[6], "[{\"nm\":\"it's\"}]\n");
  EXPECT_EQ(root_.scalar("select id from log2"), "1");
}

}  // namespace
