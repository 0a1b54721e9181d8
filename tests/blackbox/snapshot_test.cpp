// The configuration snapshot of a successful reply: its members, the slot
// assignment, factory mode, the server address upkeep, database errors.
#include <gtest/gtest.h>

#include "calls.h"
#include "store/schema_upgrade.h"
#include "testroot.h"

namespace korvantest {
namespace {

// The value at a dotted `path` of `v`: a text as it is, anything else as
// compact JSON; "*" in place of a dot joins the rest over a list, a final
// "@" lists the member names, and a space joins the values of two paths.
std::string at(const Json::Value& v, const std::string& path) {
  const size_t space = path.find(' ');
  if (space != std::string::npos)
    return at(v, path.substr(0, space)) + " " + at(v, path.substr(space + 1));
  const size_t cut = path.find_first_of(".*");
  if (path == "@") {
    std::string names;
    for (const std::string& name : v.getMemberNames()) names += name + ",";
    return names;
  }
  if (cut != std::string::npos && path[cut] == '*') {
    std::string out;
    for (const Json::Value& item : v[path.substr(0, cut)]) {
      out += "," + at(item, path.substr(cut + 1));
    }
    return out.substr(out.empty() ? 0 : 1);
  }
  if (cut != std::string::npos) return at(v[path.substr(0, cut)], path.substr(cut + 1));
  if (v[path].isString()) return v[path].asString();
  std::string text = Json::FastWriter().write(v[path]);
  return text.substr(0, text.size() - 1);
}

TEST(Snapshot, Members) {
  struct Scenario {
    const char* sql;
    const char* serverIP;  // sent by the browser, or nullptr
    std::vector<std::pair<const char*, const char*>> expect;
    const char* user = "1";  // the caller
  };
  const char* const kLists =
      "insert into user2 (id, nm, pw, pid, dog, token) values (3, 'zed', 'z', 2, '', '');"
      "insert into user2 (id, nm, pw, pid, dog, token) values (4, 'vic', 'v', 3, '1', '');"
      "insert into ips2 values ('10.0.0.9'); insert into iplist values (167880896, 0);";
  const Scenario scenarios[] = {
      {"insert into user2 (id, nm, pw, pid, dog, token) values (-1, 'hidden', 'x', 1, '', '');"
       "insert into user2 (id, nm, pw, pid, dog, token) values (3, 'zed', 'z', 2, '', '');"
       "insert into priv2 (id, level, nm, type, dog) values (4, 2, 'Auditors', 0, '');"
       "insert into ips2 values ('10.0.0.9'); insert into ips2 values ('10.0.0.10');"
       "insert into iplist values (167880896, 0); insert into iplist values (16777343, 0);"
       "update dog2 set serialUserID=2 where id=3; update dog2 set serialUserID=-1 where id=1;",
       "192.168.1.10",
       {{"@",
         "curUser,dogInfos,dogs,factoryMode,ips,privs,ret,serials,server,serverTime,"
         "serverips,softVersion,users,"},
        {"softVersion factoryMode", "1.2.3-test\n 0"},
        {"curUser.@",
         "dogDB,id,interval,level,memo,nm,pid,privNM,privType,pw,pwdDepth,"
         "secureConf,timezone,token,"},
        {"curUser.nm curUser.level curUser.dogDB curUser.privNM curUser.secureConf.pwdTry",
         "admin 3 33333333 Administrators 3"},
        // The browser's address of the server is stored and reported.
        {"server.ip server.gateway server.subnetMask server.portWeb",
         "192.168.1.10 127.0.0.1 255.255.255.0 8080"},
        {"server.temp server.humid server.ntpServer server.snmpServer",
         "23 41 pool.ntp.example "},  // 235 tenths
        {"server.@",
         "encrypt,gateway,humid,ip,nm,ntpServer,portKM,portV,portWeb,snmpServer,"
         "subnetMask,temp,uid,"},
        {"privs*nm", "Administrators,Auditors,Operators,Viewers"},
        // By level, group name, user name; the account -1 is never listed.
        {"users*nm users*status", "operator,zed,admin 0,0,1"},
        {"ips.type ips.ips*ip serverips.serverips*ip",
         "2 10.0.0.10,10.0.0.9 127.0.0.1,192.168.1.10"},
        // Only captured pairs, even with an account of id -1.
        {"serials*@", "dogID,dogNM,userID,userNM,"},
        {"serials*dogID serials*dogNM serials*userID serials*userNM",
         "3 router-console 2 operator"},
        // Online modules 1, 2, 3, 5 take the free slots 1..4 in this same reply.
        {"dogs*id dogs*dogInfoID", "1,2,3,5 1,2,3,4"},
        {"dogs*type2 dogs*frame dogs*code dogs*status dogs*sm",
         "1,1,2,3 6,5,10,7 1,2,30,3 1,2,1,1 0,0,0,0"},
        {"dogs*group2", " , , , "},
        {"dogInfos*setted dogInfos*nm",
         "1,1,1,1,0,0,0,0 web-01,db-01,router-console,install-media,5,6,7,8"}}},
      {"update dog2 set status=0, usrstatus=0; delete from secureConf;",
       nullptr,
       {{"dogs serials ips.ips serverips.serverips curUser.secureConf server.ntpServer",
         "[] null null null null null"}}},
      // Below level 3: the caller's own account and group, no address lists.
      {kLists,
       nullptr,
       {{"users*nm privs*nm curUser.nm", "operator Operators operator"},
        {"ips.type ips.ips serverips.serverips", "2 [] []"},
        {"dogs*id", "1,2,3,5"}},
       "2"},
      {kLists,
       nullptr,
       {{"users*nm privs*nm curUser.nm curUser.level", "vic Viewers vic 1"},
        {"ips.ips serverips.serverips", "[] []"}},
       "4"},
      // Factory mode lists the modules without giving them slots.
      {"update other2 set factoryMode=1;",
       nullptr,
       {{"factoryMode dogs*id dogs*type2 dogs*dogInfoID", "1 1,2,3,5 1,1,2,3 null,null,null,null"},
        {"dogs*group2 dogInfos*setted", ",,, 0,0,0,0,0,0,0,0"}}},
  };
  for (const Scenario& s : scenarios) {
    TempRoot root;
    root.exec(s.sql);
    Json::Value ref = sessionRequest(root, "ref", s.user);
    if (s.serverIP) ref["serverIP"] = s.serverIP;
    const Json::Value reply = ajax(root, ref);
    ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
    for (const auto& [path, value] : s.expect) EXPECT_EQ(at(reply, path), value) << path;
    EXPECT_EQ(root.scalar("select ip from server2"), s.serverIP ? "167880896" : "16777343");
    if (s.serverIP) {
      EXPECT_TRUE(reply["curUser"]["secureConf"]["pwdTry"].isInt() &&
                  reply["dogs"][0]["frame"].isInt());
      EXPECT_EQ(
          reply["privs"][0].size() * 100 + reply["users"][0].size() * 10 + reply["dogs"][0].size(),
          5 * 100 + 30 * 10 + 15)
          << "members of a group, a user, a module";
    }
  }
}

TEST(Snapshot, SlotsFollowModules) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  ASSERT_EQ(ajax(root, ref)["ret"], "ok");
  // A renamed module renames its slot; a new module takes the lowest free slot,
  // or, with every slot taken, none and the reply says so.
  struct Step {
    const char *sql, *ids, *slots, *hint;
  } steps[] = {
      {"update dog2 set nm='web-renamed' where id=1;"
       "update dogInfo2 set setted=0, uid='2', nm='2' where id=2;"
       "update dog2 set status=1 where id=6;",
       "1,2,3,5,6", "1,2,3,4,5", "null"},
      {"update dogInfo2 set setted=1, uid='other'||id where id>5;"
       "update dog2 set status=1 where id=4;",
       "1,2,3,5,6", "1,2,3,4,5", "Console Table has no space,please delete unused console"},
  };
  for (const Step& s : steps) {
    root.exec(s.sql);
    EXPECT_EQ(at(ajax(root, ref), "ret dogs*id dogs*dogInfoID hint"),
              std::string("ok ") + s.ids + " " + s.slots + " " + s.hint);
  }
  EXPECT_EQ(root.scalar("select nm from dogInfo2 where id=1;"), "web-renamed");
}

TEST(Snapshot, DatabaseErrorsReplaceTheSnapshot) {
  TempRoot root;
  const Json::Value ref = sessionRequest(root, "ref");
  // A unique slot name collides when module web-01 takes slot 1.
  root.exec(
      "create unique index slot_names on dogInfo2(nm);"
      "update dogInfo2 set nm='web-01' where id=2;");
  Json::Value reply = ajax(root, ref);
  EXPECT_EQ(at(reply, "@ ret retMsg"),
            "ret,retMsg, warning database unique error,please donnot input duplicate name");
}

// While another connection holds the write lock, a refresh and a log query are
// still answered, from what is committed, without the session upkeep and the
// slot upkeep; the next call makes both.
TEST(Snapshot, ReadsAnsweredWhileAChangeHoldsTheLock) {
  TempRoot root;
  const Json::Value ref = sessionRequest(root, "ref");
  // A fresh database made from the current schema is at the program's
  // version: no request below needs the write lock for an upgrade.
  root.exec("pragma user_version=" + std::to_string(korvan::schemaSteps().size()) + ";");
  Json::Value selLog = sessionRequest(root, "selLog");
  selLog["logCondition"]["type"] = "all";
  root.exec(
      "update user2 set expireTime=strftime('%s','now')+100 where id=1;"
      "update user2 set status=1, expireTime=1 where id=2;"
      "insert into log2 (user, type) values ('admin', 'dog');");
  const std::string before = root.scalar(
      "select group_concat(status||':'||expireTime) || (select group_concat(setted)"
      " from dogInfo2) from user2");
  // A device's database is brought up to the schema by its first request,
  // under the write lock; this one is taken as done.
  root.exec("pragma user_version=" + std::to_string(korvan::schemaSteps().size()));
  LockHolder holder(root, "update dog2 set nm='uncommitted' where id=1;");
  const Json::Value refReply = ajax(root, ref);
  const Json::Value logReply = ajax(root, selLog);
  holder.release();
  EXPECT_EQ(at(refReply, "ret curUser.nm dogs*nm"), "ok admin ") << refReply["retMsg"];
  EXPECT_EQ(at(logReply, "ret log*user"), "ok admin") << logReply["retMsg"];
  EXPECT_EQ(root.scalar("select group_concat(status||':'||expireTime) || (select"
                        " group_concat(setted) from dogInfo2) from user2"),
            before);

  EXPECT_EQ(at(ajax(root, ref), "ret dogs*id"), "ok 1,2,3,5");
  EXPECT_EQ(root.scalar("select group_concat(status) || ':' || (select expireTime >"
                        " strftime('%s','now')+500 from user2 where id=1) from user2"),
            "1,0:1");
}

}  // namespace
}  // namespace korvantest
