// The operation-log query ("selLog") through the program: each filter, their
// combination, the order of the records and the null result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testroot.h"

using korvantest::TempRoot;

namespace {

class SelLog : public ::testing::Test {
 protected:
  void SetUp() override {
    root_.exec(
        "delete from log2;"
        "insert into log2 values(1,'sysadm','2026-03-08 00:00:00','10.0.0.2','user','updUser',"
        "'update user','[]\n');"
        "insert into log2 values(2,'admin','2026-03-07 23:59:59','10.0.0.1','ips','updIPS',"
        "'update ip list','[]\n');"
        "insert into log2 values(3,'admin','2026-03-06 12:00:00','10.0.0.1','server','updServer',"
        "'updateNetwork','[]\n');"
        "insert into log2 values(4,'bob','2026-03-07 00:00:00','10.0.0.3','server','updServer',"
        "'updateNetwork','[]\n');"
        "insert into log2 values(5,'o''brien','2026-03-07 08:00:00','10.0.0.4','ips','updIPS',"
        "'update ip list','[]\n');");
  }

  // The ids of the records the query returns, in reply order.
  std::vector<std::string> query(const std::string& user, const std::string& begin,
                                 const std::string& end, const std::string& type) {
    Json::Value request = korvantest::sessionRequest(root_, "selLog");
    request["logCondition"]["user"] = user;
    request["logCondition"]["timeBegin"] = begin;
    request["logCondition"]["timeEnd"] = end;
    request["logCondition"]["type"] = type;
    reply_ = korvantest::ajax(root_, request);
    EXPECT_EQ(reply_["ret"].asString(), "ok") << reply_["retMsg"].asString();
    std::vector<std::string> ids;
    for (const Json::Value& record : reply_["log"]) ids.push_back(record["id"].asString());
    return ids;
  }

  TempRoot root_;
  Json::Value reply_;
};

using Ids = std::vector<std::string>;

TEST_F(SelLog, NoFilterGivesEveryRecordByUserThenTime) {
  EXPECT_EQ(query("", "", "", "all"), (Ids{"3", "2", "4", "5", "1"}));
  const Json::Value& first = reply_["log"][0];
  EXPECT_EQ(first["user"].asString(), "admin");
  EXPECT_EQ(first["time"].asString(), "2026-03-06 12:00:00");
  EXPECT_EQ(first["ip"].asString(), "10.0.0.1");
  EXPECT_EQ(first["type"].asString(), "server");
  EXPECT_EQ(first["typeSub"].asString(), "updServer");
  EXPECT_EQ(first["sth"].asString(), "[]\n");
  EXPECT_EQ(first["typeSubCN"].asString(), "updateNetwork");
  EXPECT_EQ(first.size(), 8u);
}

TEST_F(SelLog, EachFilter) {
  // The user text matches anywhere in the name.
  EXPECT_EQ(query("adm", "", "", "all"), (Ids{"3", "2", "1"}));
  // It is a LIKE pattern: "_" stands for any one character.
  EXPECT_EQ(query("a_m", "", "", "all"), (Ids{"3", "2", "1"}));
  // A quote in the filter is part of the text searched for.
  EXPECT_EQ(query("o'b", "", "", "all"), (Ids{"5"}));
  // The day range includes the whole of both end days.
  EXPECT_EQ(query("", "2026-03-07", "2026-03-07", "all"), (Ids{"2", "4", "5"}));
  EXPECT_EQ(query("", "2026-03-07", "", "all"), (Ids{"2", "4", "5", "1"}));
  EXPECT_EQ(query("", "", "2026-03-06", "all"), (Ids{"3"}));
  EXPECT_EQ(query("", "", "", "server"), (Ids{"3", "4"}));
}

TEST_F(SelLog, FiltersCombine) {
  EXPECT_EQ(query("adm", "2026-03-07", "2026-03-08", "ips"), (Ids{"2"}));
  EXPECT_EQ(query("b", "2026-03-07", "", "server"), (Ids{"4"}));
}

TEST_F(SelLog, NoMatchLeavesLogNull) {
  // An empty type is a filter of its own, not "all".
  auto expectNull = [this](const Ids& ids) {
    EXPECT_TRUE(ids.empty());
    EXPECT_TRUE(reply_.isMember("log"));
    EXPECT_TRUE(reply_["log"].isNull());
  };
  expectNull(query("", "", "", ""));
  expectNull(query("nobody", "", "", "all"));
  expectNull(query("", "2026-03-09", "", "all"));
}

}  // namespace
