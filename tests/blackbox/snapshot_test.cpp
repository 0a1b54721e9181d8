// The configuration snapshot of a successful reply: every member and its
// order, the slot assignment, factory mode, the server address upkeep.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "testroot.h"

using korvantest::ajax;
using korvantest::sessionRequest;
using korvantest::TempRoot;

namespace {

const char* const kNoSpace = "Console Table has no space,please delete unused console";

// The values of `member` over the elements of `list`, joined by ",".
std::string column(const Json::Value& list, const char* member) {
  std::string out;
  for (const Json::Value& item : list) out += (out.empty() ? "" : ",") + item[member].asString();
  return out;
}

std::vector<std::string> memberNames(const Json::Value& v) { return v.getMemberNames(); }

TEST(Snapshot, EveryMember) {
  TempRoot root;
  root.exec(
      "insert into user2 (id, nm, pw, pid, dog, token) values (-1, 'hidden', 'x', 1, '', '');"
      "insert into user2 (id, nm, pw, pid, dog, token) values (3, 'zed', 'z', 2, '', '');"
      "insert into priv2 (id, level, nm, type, dog) values (4, 2, 'Auditors', 0, '');"
      "insert into ips2 values ('10.0.0.9'); insert into ips2 values ('10.0.0.10');"
      "insert into iplist values (167880896, 0); insert into iplist values (16777343, 0);"
      "update dog2 set serialUserID=2 where id=3; update dog2 set serialUserID=-1 where id=1;");
  Json::Value reply = ajax(root, sessionRequest(root, "ref"));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];

  EXPECT_EQ(reply["softVersion"], "1.2.3-test\n");
  EXPECT_EQ(reply["serverTime"].asString().size(), 19u);
  EXPECT_EQ(reply["factoryMode"], "0");

  const Json::Value& cur = reply["curUser"];
  EXPECT_EQ(
      memberNames(cur),
      (std::vector<std::string>{"dogDB", "id", "interval", "level", "memo", "nm", "pid", "privNM",
                                "privType", "pw", "pwdDepth", "secureConf", "timezone", "token"}));
  EXPECT_EQ(cur["nm"], "admin");
  EXPECT_EQ(cur["level"], "3");
  EXPECT_EQ(cur["dogDB"], "33333333");
  EXPECT_EQ(cur["privNM"], "Administrators");
  EXPECT_EQ(cur["secureConf"]["pwdTry"], 3);  // parsed, not text

  const Json::Value& server = reply["server"];
  EXPECT_EQ(server["ip"], "127.0.0.1");
  EXPECT_EQ(server["gateway"], "127.0.0.1");
  EXPECT_EQ(server["subnetMask"], "255.255.255.0");
  EXPECT_EQ(server["temp"], "23");  // 235 tenths
  EXPECT_EQ(server["humid"], "41");
  EXPECT_EQ(server["ntpServer"], "pool.ntp.example");
  EXPECT_EQ(server["snmpServer"], "");
  EXPECT_EQ(server["portWeb"], "8080");
  EXPECT_EQ(server.size(), 13u);

  EXPECT_EQ(column(reply["privs"], "nm"), "Administrators,Auditors,Operators,Viewers");
  EXPECT_EQ(memberNames(reply["privs"][0]),
            (std::vector<std::string>{"dogDB", "id", "level", "nm", "type"}));
  // By level, group name, user name; the account -1 is never listed.
  EXPECT_EQ(column(reply["users"], "nm"), "operator,zed,admin");
  EXPECT_EQ(reply["users"][0].size(), 27u);
  EXPECT_EQ(reply["users"][2]["status"], "1");

  EXPECT_EQ(reply["ips"]["type"], "2");
  EXPECT_EQ(column(reply["ips"]["ips"], "ip"), "10.0.0.10,10.0.0.9");
  EXPECT_EQ(column(reply["serverips"]["serverips"], "ip"), "127.0.0.1,192.168.1.10");

  // Only captured pairs, even with an account of id -1.
  ASSERT_EQ(reply["serials"].size(), 1u);
  EXPECT_EQ(reply["serials"][0]["dogID"], "3");
  EXPECT_EQ(reply["serials"][0]["dogNM"], "router-console");
  EXPECT_EQ(reply["serials"][0]["userID"], "2");
  EXPECT_EQ(reply["serials"][0]["userNM"], "operator");

  // Online modules 1, 2, 3, 5 take the free slots 1..4 in this same reply.
  const Json::Value& dogs = reply["dogs"];
  EXPECT_EQ(column(dogs, "id"), "1,2,3,5");
  EXPECT_EQ(column(dogs, "dogInfoID"), "1,2,3,4");
  EXPECT_EQ(column(dogs, "type2"), "1,1,2,3");
  EXPECT_EQ(column(dogs, "frame"), "6,5,10,7");
  EXPECT_EQ(column(dogs, "code"), "1,2,30,3");
  EXPECT_EQ(column(dogs, "status"), "1,2,1,1");
  EXPECT_EQ(dogs[0].size(), 15u);
  EXPECT_TRUE(dogs[0]["frame"].isInt());
  EXPECT_EQ(dogs[0]["sm"], "0");
  EXPECT_EQ(dogs[0]["group2"], " ");
  EXPECT_EQ(column(reply["dogInfos"], "setted"), "1,1,1,1,0,0,0,0");
  EXPECT_EQ(column(reply["dogInfos"], "nm"), "web-01,db-01,router-console,install-media,5,6,7,8");
  EXPECT_FALSE(reply.isMember("hint"));
  EXPECT_EQ(reply.size(), 13u) << "the snapshot and ret, nothing else";
}

TEST(Snapshot, EmptyListsStayNull) {
  TempRoot root;
  root.exec("update dog2 set status=0, usrstatus=0; delete from secureConf;");
  Json::Value reply = ajax(root, sessionRequest(root, "ref"));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply["dogs"].isArray());
  EXPECT_EQ(reply["dogs"].size(), 0u);
  EXPECT_TRUE(reply["serials"].isNull());
  EXPECT_TRUE(reply["ips"]["ips"].isNull());
  EXPECT_TRUE(reply["serverips"]["serverips"].isNull());
  EXPECT_TRUE(reply["curUser"]["secureConf"].isNull());
  EXPECT_TRUE(reply["server"]["ntpServer"].isNull());
}

TEST(Snapshot, SlotsFollowModules) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  ASSERT_EQ(ajax(root, ref)["ret"], "ok");
  // A renamed module renames its slot; a new module takes the lowest free
  // slot, even below the taken ones.
  root.exec(
      "update dog2 set nm='web-renamed' where id=1;"
      "update dogInfo2 set setted=0, uid='2', nm='2' where id=2;"
      "update dog2 set status=1 where id=6;");
  Json::Value reply = ajax(root, ref);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root.scalar("select nm from dogInfo2 where id=1;"), "web-renamed");
  EXPECT_EQ(column(reply["dogs"], "id"), "1,2,3,5,6");
  EXPECT_EQ(column(reply["dogs"], "dogInfoID"), "1,2,3,4,5");

  // With every slot taken, a new module goes without and the reply says so.
  root.exec(
      "update dogInfo2 set setted=1, uid='other'||id where id>5;"
      "update dog2 set status=1 where id=4;");
  reply = ajax(root, ref);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(reply["hint"], kNoSpace);
  EXPECT_EQ(column(reply["dogs"], "id"), "1,2,3,5,6");
}

TEST(Snapshot, FactoryModeListsModulesWithoutSlots) {
  TempRoot root;
  root.exec("update other2 set factoryMode=1;");
  Json::Value reply = ajax(root, sessionRequest(root, "ref"));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(reply["factoryMode"], "1");
  EXPECT_EQ(column(reply["dogs"], "id"), "1,2,3,5");
  EXPECT_FALSE(reply["dogs"][0].isMember("dogInfoID"));
  EXPECT_EQ(reply["dogs"][0]["group2"], "");
  EXPECT_EQ(column(reply["dogs"], "type2"), "1,1,2,3");
  EXPECT_EQ(root.scalar("select count(*) from dogInfo2 where setted=1;"), "0");
}

TEST(Snapshot, ServerAddressFromTheBrowser) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  ref["serverIP"] = "192.168.1.10";
  Json::Value reply = ajax(root, ref);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root.scalar("select ip from server2;"), "167880896");
  EXPECT_EQ(reply["server"]["ip"], "192.168.1.10");
}

TEST(Snapshot, DatabaseErrorsReplaceTheSnapshot) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  // A unique slot name collides when module web-01 takes slot 1.
  root.exec(
      "create unique index slot_names on dogInfo2(nm);"
      "update dogInfo2 set nm='web-01' where id=2;");
  Json::Value reply = ajax(root, ref);
  EXPECT_EQ(reply["ret"], "warning");
  EXPECT_EQ(reply["retMsg"], "database unique error,please donnot input duplicate name");
  EXPECT_EQ(memberNames(reply), (std::vector<std::string>{"ret", "retMsg"}));

  // Another connection holding the write lock: the session sweep cannot run.
  root.exec("drop index slot_names;");
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(root.dbPath().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "begin immediate;", nullptr, nullptr, nullptr), SQLITE_OK);
  reply = ajax(root, ref);
  sqlite3_exec(holder, "rollback;", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(reply["ret"], "lockErr");
  EXPECT_EQ(reply["retMsg"].asString().rfind("database temporary lock,retry later", 0), 0u)
      << reply["retMsg"];
  EXPECT_EQ(ajax(root, ref)["ret"], "ok");
}

}  // namespace
