// Operation-log records: the entry builders, the rights renderings over the
// console slots, the detail text and the row the writer inserts.
#include <gtest/gtest.h>

#include <regex>

#include "actions/log.h"
#include "actions_fixture.h"

namespace {

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

TEST(LogBuilders, UserFieldList) {
  CKeyCNList keys{CKeyCN("first", "First")};
  Json::Value srcA, dstA, srcB, dstB;
  srcA["nm"] = "a";
  srcB["nm"] = "b";
  CLog::setUserKeyValue(false, keys, srcA, dstA, srcB, dstB);
  ASSERT_EQ(keys.size(), 10u);
  std::vector<std::string> labels;
  for (const CKeyCN& k : keys) labels.push_back(k.k + "=" + k.cn);
  EXPECT_EQ(labels, (std::vector<std::string>{"first=First", "nm=Name", "memo=Memo",
                                              "pidCN=Usergroup", "nm2=Name2", "addrH=Home addr",
                                              "addrC=Company addr", "phone=Phone",
                                              "email=email", "memo2=Memo2"}));
  EXPECT_EQ(dstA, srcA);
  EXPECT_TRUE(dstB.isNull()) << "side B copied without its flag";
  CLog::setUserKeyValue(true, keys, srcA, dstA, srcB, dstB);
  EXPECT_EQ(dstB, srcB);
}

class LogDbTest : public ActionDbTest {};

TEST_F(LogDbTest, RightsEntriesFollowTheSlotsInUse) {
  // Slots 1..8 seeded; use 1, 2 and 4, leave 3 free.
  root_->exec(
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
  root_->exec("update dogInfo2 set setted=0; delete from dogInfo2 where id>4;");
  Json::Value entries;
  CLog::CompAB_dog("3333", "1111", entries);
  CLog::singleA_dog("3333", entries);
  EXPECT_TRUE(entries.isNull());
  root_->exec("delete from dogInfo2;");
  CLog::CompAB_dog("3333", "1111", entries);
  EXPECT_TRUE(entries.isNull());
}

TEST_F(LogDbTest, WriterInsertsOneRow) {
  Json::Value req = request("updPriv");
  req["user"]["nm"] = "o'brien";
  CDB::insLog(req, "priv", "updPriv", "update userGroup", "[{\"nm\":\"it's\"}]\n");
  ASSERT_EQ(logCount(), 1);
  auto row = lastLog();
  EXPECT_EQ(row[0], "o'brien");
  EXPECT_TRUE(std::regex_match(row[1], std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << row[1];
  EXPECT_EQ(row[2], "10.1.2.3");
  EXPECT_EQ(row[3], "priv");
  EXPECT_EQ(row[4], "updPriv");
  EXPECT_EQ(row[5], "update userGroup");
  EXPECT_EQ(row[6], "[{\"nm\":\"it's\"}]\n");
  EXPECT_EQ(root_->scalar("select id from log2"), "1");
}

}  // namespace
