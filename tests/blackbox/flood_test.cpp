// Failed logins without a session cannot flush the log: the trim removes
// failure records first, a locked name keeps one record per lock, names that
// are no user are recorded a fixed number of times a minute plus a summary;
// and the changes that used to go unrecorded leave their records.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "actions_helpers.h"
#include "calls.h"
#include "testroot.h"

namespace korvantest {
namespace {

using actionsbb::lastLog;

class Flood : public ::testing::Test {
 protected:
  Json::Value login(const std::string& name, const std::string& pw,
                    const std::string& address = "127.0.0.1") {
    return ajax(root_, loginRequest(name, pw), {}, address);
  }
  Json::Value change() { return ajax(root_, call(root_, "saveLanguage", R"({"language":"en"})")); }
  // `count` log records: every `failureEvery`-th a failure (alternately
  // loginFailed and denied), the rest change records; the first record is a
  // login of the administrator unless `noLogin`.
  void fillLog(int count, int failureEvery, bool noLogin = false) {
    const std::string first = noLogin ? "0" : "i=1";
    root_.exec(
        "with recursive n(i) as (select 1 union all select i+1 from n where i<" +
        std::to_string(count) +
        ") insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth)"
        " select 'u','2020-01-01 00:00:00','1.1.1.1',"
        " case when " + first + " then 'access' else 'user' end,"
        " case when " + first + " then 'login' when i%" +
        std::to_string(failureEvery) +
        "=0 then (case when i%2=0 then 'loginFailed' else 'denied' end) else 'updUser' end,"
        " '', '[]' from n;");
  }
  // Runs `attempt(now)` until the clock's minute stayed the same during it.
  template <class Attempt>
  void withinOneMinute(Attempt attempt) {
    for (int i = 0; i < 3; ++i) {
      root_.exec("delete from log2; delete from loginStranger; delete from loginMinute;");
      const time_t now = time(nullptr);
      const auto check = attempt(now);
      if (time(nullptr) / 60 == now / 60) return check();
    }
    FAIL() << "the minute kept turning";
  }
  std::string failures() {
    return root_.scalar("select count(*) from log2 where typeSub in ('loginFailed','denied')");
  }

  TempRoot root_;
};

// At the bound the failure records go first; other records only when there
// are too few failures to keep the bound, and never the record just written.
TEST_F(Flood, TrimRemovesFailureRecordsFirst) {
  const struct {
    int failureEvery;        // in the 100,000 records before the insert
    const char* newest;      // what the insert writes
    std::string survivors;   // "count failures min-id" afterwards
  } rows[] = {
      // 25,000 failures: 1,001 of them go; the administrator's login stays.
      {4, "change", "99000 23999 1"},
      {4, "failure", "99000 24000 1"},
      // 500 failures: they go, and no other record.
      {200, "change", "99501 0 1"},
      {200, "failure", "99501 1 1"},
      // None: the oldest others go, never the new failure.
      {200000, "change", "99000 0 1002"},
      {200000, "failure", "99000 1 1002"},
  };
  for (const auto& row : rows) {
    root_.exec("delete from log2; delete from userLock; drop table if exists logBound;");
    fillLog(100000, row.failureEvery);
    const Json::Value reply =
        std::string(row.newest) == "change" ? change() : login("operator", "wrong");
    EXPECT_EQ(reply["ret"], std::string(row.newest) == "change" ? "ok" : "err");
    EXPECT_EQ(root_.scalar("select count(*) from log2") + " " + failures() + " " +
                  root_.scalar("select min(id) from log2"),
              row.survivors)
        << row.failureEvery << " " << row.newest;
    EXPECT_EQ(root_.scalar("select max(id) from log2"), "100001");
  }
}

// After a trim the log is not counted again until 1,000 more records could
// have passed the bound; then it is trimmed exactly at it.
TEST_F(Flood, TrimCountsAgainAtTheBound) {
  fillLog(100000, 3);
  EXPECT_EQ(change()["ret"], "ok");
  EXPECT_EQ(root_.scalar("select count(*) from log2"), "99000");
  // Records written around the program (as by another request's insert
  // before this one) count as well.
  fillLog(998, 1 << 30, true);
  EXPECT_EQ(change()["ret"], "ok");
  EXPECT_EQ(root_.scalar("select count(*) from log2"), "99999");
  EXPECT_EQ(change()["ret"], "ok");
  EXPECT_EQ(root_.scalar("select count(*) from log2"), "100000");
  EXPECT_EQ(change()["ret"], "ok");
  EXPECT_EQ(root_.scalar("select count(*) from log2"), "99000");
  EXPECT_EQ(root_.scalar("select count(*) from log2 where typeSub='login'"), "1");
}

// Attempts on a locked user name: one record for the whole lock, counting.
TEST_F(Flood, LockedNameKeepsOneRecord) {
  for (int i = 0; i < 3; ++i) login("operator", "guess");
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(login("operator", "operator", "10.0.0." + std::to_string(i))["retMsg"],
              "Exceed max retry count. Please login after 20 minutes");
  }
  EXPECT_EQ(lastLog(root_).detail, "reason=locked;further attempts=4;");
  EXPECT_EQ(root_.scalar("select group_concat(typeSub||':'||ip,' ') from log2"),
            "loginFailed:127.0.0.1 loginFailed:127.0.0.1 loginFailed:127.0.0.1 "
            "lockout:127.0.0.1 loginFailed:10.0.0.0");
  // The next lock gets a record of its own.
  root_.exec("update log2 set time='2020-01-01 00:00:00'");
  EXPECT_EQ(login("operator", "x")["ret"], "err");
  EXPECT_EQ(lastLog(root_).detail, "reason=locked;");
  EXPECT_EQ(root_.scalar("select count(*) from log2"), "6");
}

// Names that are no user: 60 records a minute for the whole device, then the
// minute's one summary counts further failures and their addresses, also
// when the trim has taken the minute's records.
TEST_F(Flood, UnknownNamesCappedWithSummary) {
  withinOneMinute([this](time_t now) {
    // 58 records of made-up names so far this minute; a real user's failure
    // does not count.
    root_.exec("insert into loginMinute values (" + std::to_string(now - now % 60) + ",58,0,0)");
    const char* const steps[][2] = {{"10.0.0.1", "a"}, {"operator", ""}, {"10.0.0.2", "b"},
                                    {"10.0.0.1", "c"}, {"10.0.0.3", "d"}, {"10.0.0.1", "e"},
                                    {"trim", ""},      {"10.0.0.3", "f"}};
    std::string records;
    for (const auto& step : steps) {
      if (std::string(step[0]) == "operator") {
        login("operator", "wrong");
      } else if (std::string(step[0]) == "trim") {
        records = root_.scalar("select group_concat(user||'@'||ip,' ') from log2");
        root_.exec("delete from log2 where user like 'ghost%' or user=''");
      } else {
        login(std::string("ghost-") + step[1], "pw", step[0]);
      }
    }
    return [this, records] {
      EXPECT_EQ(records, "ghost-a@10.0.0.1 operator@127.0.0.1 ghost-b@10.0.0.2 @");
      EXPECT_EQ(root_.scalar("select group_concat(user||'@'||ip,' ') from log2"),
                "operator@127.0.0.1 @");
      EXPECT_EQ(lastLog(root_).detail, "reason=unknown names;further failures=4;addresses=2;");
      EXPECT_EQ(root_.scalar("select group_concat(f_ip||'='||f_count,' ') from loginStranger"),
                "10.0.0.1=2 10.0.0.3=2");
    };
  });
}

// loginStranger keeps at most 10,000 addresses, dropping the one seen least
// recently.
TEST_F(Flood, StrangerAddressesBounded) {
  withinOneMinute([this](time_t now) {
    root_.exec("insert into loginMinute values (" + std::to_string(now - now % 60) +
               ",60,10000,10000);"
               "with recursive n(i) as (select 1 union all select i+1 from n where i<10000)"
               " insert into loginStranger select 'a'||i," +
               std::to_string(now) + "+(i>1),1 from n;");
    login("ghost", "pw", "10.1.1.1");
    return [this] {
      EXPECT_EQ(root_.scalar("select count(*)||' '||min(f_ip)||' '||max(f_ip) from loginStranger"),
                "10000 10.1.1.1 a9999");
      EXPECT_EQ(root_.scalar("select count(*) from loginStranger where f_ip='a1'"), "0");
      EXPECT_EQ(lastLog(root_).detail,
                "reason=unknown names;further failures=10001;addresses=10001;");
    };
  });
}

// The changes without a change action record the caller and both values.
TEST_F(Flood, ChangesLeaveSystemRecords) {
  root_.exec("update dogInfo2 set setted=1, uid='U1A0000001', nm='web-01', memo='rack 4' where id=1");
  const struct {
    const char* type;
    const char* members;
    const char* head;
    const char* detail;
  } rows[] = {
      {"modifyServerIPS", R"({"serveripsPara":{"action":"insIP","newIP":"10.0.0.9"}})",
       "admin 127.0.0.1 system/updServerIPS/update server ip list",
       "list=>10.0.0.9 <br> ;"},
      {"unsetDogInfo", R"({"dogInfoPara":{"id":"1"}})",
       "admin 127.0.0.1 system/unsetDogInfo/clear console slot",
       "slot=1;setted=1>0;uid=U1A0000001>1;Name=web-01>1;group= > ;position1= > ;position2= > ;"
       "department= > ;Memo=rack 4> ;"},
      {"convertToClientMode", "{}", "admin 127.0.0.1 system/convertToClientMode/client mode",
       "factory mode=1>0;"},
  };
  root_.exec("update dogInfo2 set group2=' ',pos1=' ',pos2=' ',depart=' ' where id=1");
  for (const auto& row : rows) {
    if (std::string(row.type) == "convertToClientMode") root_.exec("update other2 set factoryMode=1");
    const Json::Value reply = ajax(root_, call(root_, row.type, row.members));
    EXPECT_EQ(reply["ret"], "ok") << row.type << reply["retMsg"];
    EXPECT_EQ(lastLog(root_).head, row.head);
    EXPECT_EQ(lastLog(root_).detail, row.detail);
  }
  // A slot that does not exist changes nothing and records nothing.
  const std::string records = root_.scalar("select count(*) from log2");
  EXPECT_EQ(ajax(root_, call(root_, "unsetDogInfo", R"({"dogInfoPara":{"id":"99"}})"))["ret"], "ok");
  EXPECT_EQ(root_.scalar("select count(*) from log2"), records);
}

}  // namespace
}  // namespace korvantest
