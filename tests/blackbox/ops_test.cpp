// The operations: the IP lists, the log query, serial capture, console slots
// and device mode.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "testroot.h"

namespace korvantest {
namespace {

const char* const kMe = "10.0.0.5";

class IpLists : public ::testing::Test {
 protected:
  Json::Value modify(const char* type, const char* para, const char* action, const char* newIP,
                     const char* oldIP = "", const char* kind = "") {
    Json::Value request = sessionRequest(root_, type);
    Json::Value& p = request[para];
    p["action"] = action;
    p["newIP"] = newIP;
    p["oldIP"] = oldIP;
    if (*kind) p["type"] = kind;
    return ajax(root_, request, {}, kMe);
  }
  // "<kind>:<address>,..." in stored order.
  std::string accessState() {
    return root_.scalar(
        "select ipsType || ':' || ifnull((select group_concat(ip) || ',' from"
        " (select ip from ips2 order by rowid)), '') from other2");
  }
  std::string serverState() {
    return root_.scalar(
        "select group_concat(v) || ',' from (select ip || '/' || reserved v"
        " from iplist order by rowid)");
  }
  std::string logCount() { return root_.scalar("select count(*) from log2"); }

  TempRoot root_;
};

TEST_F(IpLists, AccessListEdits) {
  struct Step {
    const char* store;  // "<kind>:<address>,..." to store first, or nullptr
    const char *action, *newIP, *oldIP, *kind, *ret, *after;
    const char* detail = nullptr;  // the log record's detail, when checked
  };
  const Step steps[] = {
      // A white list always holds the requester: switching to it adds it.
      {"2:", "updType", "", "", "1", "ok", "1:10.0.0.5,",
       "[{\"nm\":\"type\",\"v1\":\"--\",\"v2\":\"whitelist\"},"
       "{\"nm\":\"list\",\"v1\":\"\",\"v2\":\"10.0.0.5 <br> \"}]\n"},
      {"2:", "updType", "", "", "1.0", "ok", "1:10.0.0.5,"},
      {"1:10.0.0.5,10.0.0.6,10.0.0.7", "delIP", "", kMe, "", "ok", "1:10.0.0.6,10.0.0.7,10.0.0.5,",
       "[{\"nm\":\"type\",\"v1\":\"whitelist\",\"v2\":\"whitelist\"},"
       "{\"nm\":\"list\",\"v1\":\"10.0.0.5 <br> 10.0.0.6 <br> 10.0.0.7 <br> \","
       "\"v2\":\"10.0.0.6 <br> 10.0.0.7 <br> 10.0.0.5 <br> \"}]\n"},
      // A black list never holds it.
      {"0:10.9.9.9", "insIP", kMe, "", "", "ok", "0:10.9.9.9,"},
      {"1:10.0.0.5,10.0.0.6", "updType", "", "", "0", "ok", "0:10.0.0.6,"},
      // Any other kind is no list: the requester is neither added nor removed.
      {"1:10.0.0.5,10.0.0.6", "updType", "", "", "2", "ok", "2:10.0.0.5,10.0.0.6,"},
      {nullptr, "delIP", "", kMe, "", "ok", "2:10.0.0.6,"},
      // Plain edits; an address already there, an unknown old address and an
      // unknown action change nothing or append, and are logged all the same.
      {"0:10.9.9.9", "insIP", "10.9.9.9", "", "", "ok", "0:10.9.9.9,"},
      {nullptr, "updIP", "10.1.1.1", "10.2.2.2", "", "ok", "0:10.9.9.9,10.1.1.1,"},
      {nullptr, "updIP", "10.3.3.3", "10.9.9.9", "", "ok", "0:10.1.1.1,10.3.3.3,"},
      {nullptr, "delIP", "", "10.1.1.1", "", "ok", "0:10.3.3.3,"},
      {nullptr, "frobnicate", "", "", "", "ok", "0:10.3.3.3,"},
      // The kind goes into the statement bare: only a number passes.
      {"1:10.0.0.5", "updType", "", "", "0 where 1=0", "err", "1:10.0.0.5,"},
  };
  for (const Step& s : steps) {
    if (s.store) {
      root_.exec("delete from ips2; update other2 set ipsType=" + std::string(s.store, 1) +
                 "; insert into ips2 select value from json_each('[\"' || replace('" +
                 (s.store + 2) + "', ',', '\",\"') || '\"]') where value<>''");
    }
    const std::string logs = logCount();
    const Json::Value reply = modify("modifyIPS", "ipsPara", s.action, s.newIP, s.oldIP, s.kind);
    const std::string what = std::string(s.action) + " " + s.newIP + s.oldIP + s.kind;
    EXPECT_EQ(reply["ret"], s.ret) << what << reply["retMsg"];
    EXPECT_EQ(accessState(), s.after) << what;
    EXPECT_EQ(std::stoi(logCount()) - std::stoi(logs), *s.ret == 'o' ? 1 : 0) << what;
    if (!s.detail) continue;
    EXPECT_EQ(root_.scalar("select sth from log2 order by id desc limit 1"), s.detail);
  }
  EXPECT_EQ(root_.query("select user,ip,type,typeSub,typeSubCN from log2 limit 1")[0],
            (std::vector<std::string>{"admin", kMe, "ips", "updIPS", "update ip list"}));

  // Writing the requester's row fails after the old rows are gone: the whole
  // rewrite is undone, or the white list would lock everybody out.
  root_.exec(
      "delete from log2; delete from ips2; insert into ips2 values('10.0.0.5');"
      "update other2 set ipsType=1; create trigger refuse before insert on ips2"
      " when new.ip='10.0.0.5' begin select raise(abort, 'refused'); end;");
  EXPECT_EQ(modify("modifyIPS", "ipsPara", "insIP", "10.0.0.7")["ret"], "err");
  EXPECT_EQ(accessState() + " " + logCount(), "1:10.0.0.5, 0");
}

TEST_F(IpLists, ServerListInIntegerForm) {
  root_.exec("update other2 set ipsType=0; insert into iplist values(16777343,0);");
  for (const char* bad : {"", "10.0.0", "10.0.0.256", "10.0.0.1.2", "010.0.0.1", "10.0.0.1 "})
    for (const char* action : {"insIP", "updIP"})
      for (const char* type : {"modifyIPS", "modifyServerIPS"})
        EXPECT_EQ(modify(type, type[6] == 'S' ? "serveripsPara" : "ipsPara", action, bad,
                         "127.0.0.1")["retMsg"],
                  "invalid ip address")
            << type << action << " '" << bad << "'";
  EXPECT_EQ(accessState(), "0:");
  struct Step {
    const char *action, *newIP, *oldIP, *after;
  } steps[] = {
      {"insIP", "192.168.1.10", "", "16777343/0,167880896/0,"},
      {"insIP", "192.168.1.10", "", "16777343/0,167880896/0,"},
      {"updIP", "10.0.0.1", "127.0.0.1", "167880896/0,16777226/0,"},
      {"delIP", "", "192.168.1.10", "16777226/0,"},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(modify("modifyServerIPS", "serveripsPara", s.action, s.newIP, s.oldIP)["ret"], "ok");
    EXPECT_EQ(serverState(), s.after) << s.action << s.newIP;
  }
  // The requester's address plays no part; each edit leaves its record.
  EXPECT_EQ(accessState() + " " + logCount(), "0: 4");
}

TEST(SelLog, FiltersAndOrder) {
  TempRoot root;
  root.exec(
      "delete from log2; insert into log2 (id,user,time,ip,type) values"
      " (1,'sysadm','2026-03-08 00:00:00','10.0.0.2','user'),"
      " (2,'admin','2026-03-07 23:59:59','10.0.0.1','ips'),"
      " (4,'bob','2026-03-07 00:00:00','10.0.0.3','server'),"
      " (5,'o''brien','2026-03-07 08:00:00','10.0.0.4','ips');"
      "insert into log2 values(3,'admin','2026-03-06 12:00:00','10.0.0.1','server','updServer',"
      "'updateNetwork','<b>&\n');");
  struct Case {
    const char *cond[4], *ids;  // user, begin, end, type; ids in reply order, "" for null
  } cases[] = {
      {{"", "", "", "all"}, "3,2,4,5,1"},                  // by user, then time
      {{"adm", "", "", "all"}, "3,2,1"},                   // anywhere in the name
      {{"a_m", "", "", "all"}, "3,2,1"},                   // a LIKE pattern
      {{"o'b", "", "", "all"}, "5"},                       // a quote is text searched for
      {{"", "2026-03-07", "2026-03-07", "all"}, "2,4,5"},  // whole end days
      {{"", "2026-03-07", "", "all"}, "2,4,5,1"},
      {{"", "", "2026-03-06", "all"}, "3"},
      {{"", "", "", "server"}, "3,4"},
      {{"adm", "2026-03-07", "2026-03-08", "ips"}, "2"},
      {{"b", "2026-03-07", "", "server"}, "4"},
      {{"", "", "", ""}, ""},  // an empty type is a filter, not "all"
      {{"nobody", "", "", "all"}, ""},
      {{"", "2026-03-09", "", "all"}, ""},
  };
  for (const Case& c : cases) {
    Json::Value request = sessionRequest(root, "selLog");
    const char* keys[] = {"user", "timeBegin", "timeEnd", "type"};
    for (int i = 0; i < 4; ++i) request["logCondition"][keys[i]] = c.cond[i];
    const CgiResult result = postAjax(root, request);
    EXPECT_EQ(result.body().find_first_of("<>&"), std::string::npos);
    const Json::Value reply = replyOf(result);
    EXPECT_EQ(reply.isMember("log") && reply["log"].isNull() == !*c.ids, true) << reply["retMsg"];
    std::string ids;
    for (const Json::Value& record : reply["log"]) ids += "," + record["id"].asString();
    EXPECT_EQ(ids.substr(!ids.empty()), c.ids)
        << c.cond[0] << "|" << c.cond[1] << "|" << c.cond[2] << "|" << c.cond[3];
    if (ids.size() == 9) {  // every member of a record, and no other
      EXPECT_EQ(Json::FastWriter().write(reply["log"][0]),
                "{\"id\":\"3\",\"ip\":\"10.0.0.1\",\"sth\":\"<b>&\\n\",\"time\":\"2026-03-06 "
                "12:00:00\",\"type\":\"server\",\"typeSub\":\"updServer\",\"typeSubCN\":"
                "\"updateNetwork\",\"user\":\"admin\"}\n");
    }
  }
}

TEST(Serial, CaptureUseAndRelease) {
  TempRoot root;
  root.exec(
      "update dogInfo2 set setted=1, uid=printf('%s%07d', iif(id=1, 'U1A', 'S2B'), id)"
      " where id in (1,3,4);"
      "update dog2 set serialUserID=-1 where id<>4; update dog2 set serialUserID=2 where id=4;"
      // The operator's rights text ends before slot 4.
      "update user2 set dog='333' where id=2;");
  const char* const kTaken = "this dog has been captured by others";
  const char* const kNotSerial = "this dog is not serialDog";
  struct Step {
    const char* user;
    Json::Value dog;
    const char *action, *ret, *retMsg, *holders;  // holders of modules 1, 3, 4
  } steps[] = {
      {"1", "3", "cap", "ok", "", "-1,1,2"},
      {"1", "3", "cap", "warning", kTaken, "-1,1,2"},  // not even again by the holder
      {"2", "3", "cap", "warning", kTaken, "-1,1,2"},
      {"2", "3", "use", "ok", "", "-1,1,2"},
      {"2", "3", "uncap", "ok", "", "-1,-1,2"},  // anyone releases
      {"2", "3", "uncap", "ok", "", "-1,-1,2"},  // also a free module
      {"2", "3", "cap", "ok", "", "-1,2,2"},
      {"1", "1", "cap", "warning", kNotSerial, "-1,2,2"},
      {"1", "1", "uncap", "warning", kNotSerial, "-1,2,2"},
      {"1", "1", "use", "warning", kNotSerial, "-1,2,2"},
      // A slot past the end of a rights text grants nothing.
      {"2", "4", "cap", "err", "permission denied", "-1,2,2"},
      // A module that does not exist holds no slot and so grants no right.
      {"1", "99", "cap", "err", "permission denied", "-1,2,2"},
      {"1", "4 or 1=1", "uncap", "err", nullptr, "-1,2,2"},
      {"1", "", "uncap", "err", nullptr, "-1,2,2"},
      {"1", 3, "uncap", "ok", "", "-1,-1,2"},  // a number is as good as its text
  };
  for (const Step& s : steps) {
    Json::Value request = sessionRequest(root, "operaSerial", s.user);
    request["serialPara"]["dogID"] = s.dog;
    request["serialPara"]["action"] = s.action;
    const Json::Value reply = ajax(root, request);
    const std::string what = std::string(s.user) + " " + s.action + " " + s.dog.asString();
    EXPECT_EQ(reply["ret"], s.ret) << what;
    EXPECT_EQ(root.scalar("select group_concat(serialUserID) from"
                          " (select serialUserID from dog2 where id in (1,3,4) order by id)"),
              s.holders)
        << what;
    if (!s.retMsg) continue;
    EXPECT_EQ(reply["retMsg"].asString(), s.retMsg) << what;
  }
  // Factory mode looks up no rights; the module id is still taken as a number only.
  root.exec("update other2 set factoryMode=1");
  Json::Value request = sessionRequest(root, "operaSerial", "1");
  request["serialPara"]["action"] = "uncap";
  request["serialPara"]["dogID"] = "4 or 1=1";
  EXPECT_EQ(ajax(root, request)["ret"], "err");
  EXPECT_EQ(root.scalar("select serialUserID from dog2 where id=4"), "2");
}

TEST(DogInfo, ClearingASlot) {
  TempRoot root;
  root.exec(
      "update dogInfo2 set setted=1,uid='X9Z0000009',nm='web',group2='g',pos1='a',pos2='b',"
      "depart='ops',memo='m' where id in (5,6);");
  // Slot 5 is cleared; no slot 42 is no error; anything but a number is
  // refused before it reaches the statement.
  const std::pair<Json::Value, const char*> calls[] = {
      {"5", "ok"}, {42, "ok"}, {"6 or 1=1", "err"}, {"", "err"}};
  for (const auto& [id, ret] : calls) {
    Json::Value request = sessionRequest(root, "unsetDogInfo");
    request["dogInfoPara"]["id"] = id;
    EXPECT_EQ(ajax(root, request)["ret"], ret) << id;
  }
  EXPECT_EQ(root.query("select setted,uid,nm,group2,pos1,pos2,depart,memo from dogInfo2"
                       " where id in (5,6) order by id"),
            (std::vector<std::vector<std::string>>{
                {"0", "5", "5", " ", " ", " ", " ", " "},
                {"1", "X9Z0000009", "web", "g", "a", "b", "ops", "m"}}));
}

TEST(DeviceMode, ClientModeTakesEffectWithTheNextRequest) {
  TempRoot root;
  // Only outside factory mode does the reply report firstLogin.
  root.exec("update other2 set factoryMode=1; update secureConf set f_firstLogin=1;");
  EXPECT_FALSE(ajax(root, sessionRequest(root, "ref")).isMember("firstLogin"));
  root.exec("update secureConf set f_firstLogin=0;");
  // The converting request still lists the modules as factory mode does.
  for (bool second : {false, true}) {
    Json::Value reply = ajax(root, sessionRequest(root, "convertToClientMode"));
    EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
    EXPECT_EQ(reply["dogs"][0].isMember("dogInfoID"), second);
    EXPECT_EQ(root.scalar("select factoryMode from other2;"), "0");
  }
  root.exec("update secureConf set f_firstLogin=1;");
  EXPECT_EQ(ajax(root, sessionRequest(root, "ref"))["firstLogin"], true);
}

}  // namespace
}  // namespace korvantest
