// The operation-log query ("selLog"): each filter, their combination, the
// order of the records, every member of a record and the null result.
#include <gtest/gtest.h>

#include <string>

#include "testroot.h"

namespace korvantest {
namespace {

TEST(SelLog, FiltersAndOrder) {
  TempRoot root;
  root.exec(
      "delete from log2;"
      "insert into log2 values(1,'sysadm','2026-03-08 00:00:00','10.0.0.2','user','updUser',"
      "'update user','[]\n');"
      "insert into log2 values(2,'admin','2026-03-07 23:59:59','10.0.0.1','ips','updIPS',"
      "'update ip list','[]\n');"
      "insert into log2 values(3,'admin','2026-03-06 12:00:00','10.0.0.1','server','updServer',"
      "'updateNetwork','<b>&\n');"
      "insert into log2 values(4,'bob','2026-03-07 00:00:00','10.0.0.3','server','updServer',"
      "'updateNetwork','[]\n');"
      "insert into log2 values(5,'o''brien','2026-03-07 08:00:00','10.0.0.4','ips','updIPS',"
      "'update ip list','[]\n');");
  struct Case {
    const char *user, *begin, *end, *type, *ids;  // ids in reply order; "" for a null log
  } cases[] = {
      {"", "", "", "all", "3,2,4,5,1"},  // by user, then time
      {"adm", "", "", "all", "3,2,1"},   // anywhere in the name
      {"a_m", "", "", "all", "3,2,1"},   // a LIKE pattern
      {"o'b", "", "", "all", "5"},       // a quote is text searched for
      {"", "2026-03-07", "2026-03-07", "all", "2,4,5"},  // whole end days
      {"", "2026-03-07", "", "all", "2,4,5,1"},
      {"", "", "2026-03-06", "all", "3"},
      {"", "", "", "server", "3,4"},
      {"adm", "2026-03-07", "2026-03-08", "ips", "2"},
      {"b", "2026-03-07", "", "server", "4"},
      {"", "", "", "", ""},  // an empty type is a filter, not "all"
      {"nobody", "", "", "all", ""},
      {"", "2026-03-09", "", "all", ""},
  };
  for (const Case& c : cases) {
    Json::Value request = sessionRequest(root, "selLog");
    Json::Value& condition = request["logCondition"];
    condition["user"] = c.user;
    condition["timeBegin"] = c.begin;
    condition["timeEnd"] = c.end;
    condition["type"] = c.type;
    // The records go out as they are read, escaped like every reply.
    const CgiResult result = postAjax(root, request);
    EXPECT_EQ(result.body().find_first_of("<>&"), std::string::npos);
    const Json::Value reply = replyOf(result);
    EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
    EXPECT_TRUE(reply.isMember("log"));
    EXPECT_EQ(reply["log"].isNull(), !*c.ids);
    std::string ids;
    for (const Json::Value& record : reply["log"]) ids += record["id"].asString() + ",";
    if (!ids.empty()) ids.pop_back();
    EXPECT_EQ(ids, c.ids) << c.user << "|" << c.begin << "|" << c.end << "|" << c.type;
    if (ids.size() == 9) {
      Json::Value first;
      for (const char* m : {"user", "time", "ip", "type", "typeSub", "typeSubCN", "sth", "id"})
        first[m] = reply["log"][0][m];
      EXPECT_EQ(first, reply["log"][0]) << "no other member";
      EXPECT_EQ(Json::FastWriter().write(first),
                "{\"id\":\"3\",\"ip\":\"10.0.0.1\",\"sth\":\"<b>&\\n\",\"time\":\"2026-03-06 "
                "12:00:00\",\"type\":\"server\",\"typeSub\":\"updServer\",\"typeSubCN\":"
                "\"updateNetwork\",\"user\":\"admin\"}\n");
    }
  }
}

}  // namespace
}  // namespace korvantest
