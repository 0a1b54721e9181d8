// User accounts and user groups through the program: the edited rights come
// in as dogDB, the reply is the dispatcher's, the log row names the session's
// user and the client's address.
#include <gtest/gtest.h>

#include "actions_helpers.h"
#include "util/tools.h"

using actionsbb::entry;
using actionsbb::lastLog;
using actionsbb::logCount;
using korvantest::sessionRequest;
using korvantest::TempRoot;

namespace {

const char* const kClient = "192.0.2.7";

std::string now() {
  std::string t;
  getDateTime_sec(t);
  return t;
}

class UsersThroughTheProgram : public ::testing::Test {
 protected:
  // The online modules in the first four slots, so that the snapshot of
  // every reply leaves the slots as they are.
  void SetUp() override { actionsbb::slotOnlineModules(root_); }
  Json::Value call(const Json::Value& request) {
    return korvantest::ajax(root_, request, {}, kClient);
  }
  std::string cell(const std::string& column, const std::string& id = "2") {
    return root_.scalar("select " + column + " from user2 where id=" + id + ";");
  }
  // "updUser" for the seeded operator (id 2) with its stored values.
  Json::Value operatorUpdate() {
    Json::Value req = sessionRequest(root_, "updUser");
    Json::Value& p = req["userPara"];
    p["id"] = 2;  // a number against the stored text
    p["nm"] = "operator";
    p["pw"] = "operator";
    p["memo"] = "shift operator";
    p["pid"] = "2";
    p["pidCN"] = "Operators";
    p["dogDB"] = "33331111";
    p["dog"] = "ignored: the dispatcher replaces it by dogDB";
    p["code"] = "1";
    p["frame"] = "2";
    p["media"] = "1";
    p["prior"] = 1;
    return req;
  }
  TempRoot root_;
};

void expectReply(const Json::Value& reply, const char* ret, const char* retMsg) {
  EXPECT_EQ(reply["ret"], ret);
  EXPECT_EQ(reply["retMsg"], retMsg);
}

TEST_F(UsersThroughTheProgram, UpdateUser) {
  Json::Value same = operatorUpdate();
  expectReply(call(same), "warning", "Nothing modified");
  Json::Value unknown = operatorUpdate();
  unknown["userPara"]["id"] = "77";
  expectReply(call(unknown), "warning", "Nothing modified");
  EXPECT_EQ(logCount(root_), 0);

  Json::Value req = operatorUpdate();
  req["userPara"]["memo"] = "night shift";
  req["userPara"]["dogDB"] = "13131313";
  req["userPara"]["email"] = "op@example.org";
  req["userPara"]["pw"] = "not set without setPW";
  req["userPara"]["setPW"] = "Yes";
  Json::Value reply = call(req);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(cell("memo||'|'||dog||'|'||pw"), "night shift|13131313|operator");
  // The snapshot in the reply is taken after the change.
  bool seen = false;
  for (const Json::Value& user : reply["users"]) {
    if (user["nm"] == "operator") seen = user["memo"] == "night shift";
  }
  EXPECT_TRUE(seen) << reply["users"];

  auto log = lastLog(root_);
  EXPECT_EQ(log.user, "admin");
  EXPECT_EQ(log.ip, kClient);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "user/updUser/update user");
  EXPECT_EQ(log.sth.back(), '\n');
  Json::Value want(Json::arrayValue);
  want.append(entry("Name", "operator", "operator"));
  want.append(entry("Memo", "shift operator", "night shift"));
  want.append(entry("Usergroup", "Operators", "Operators"));
  for (const char* label : {"Name2", "Home addr", "Company addr", "Phone"}) {
    want.append(entry(label, "", ""));
  }
  want.append(entry("email", "", "op@example.org"));
  want.append(entry("Memo2", "", ""));
  want.append(entry("web-01", "read write", "read"));
  want.append(entry("db-01", "read write", "read write"));
  want.append(entry("router-console", "read write", "read"));
  want.append(entry("install-media", "read write", "read write"));
  EXPECT_EQ(log.detail, want);

  // Leaving out a stored non-empty member counts as a change.
  Json::Value noGroupName = operatorUpdate();
  noGroupName["userPara"]["dogDB"] = "13131313";
  noGroupName["userPara"]["email"] = "op@example.org";
  noGroupName["userPara"]["memo"] = "night shift";
  expectReply(call(noGroupName), "warning", "Nothing modified");
  noGroupName["userPara"].removeMember("pidCN");
  EXPECT_EQ(call(noGroupName)["ret"], "ok");
  EXPECT_EQ(logCount(root_), 2);
}

TEST_F(UsersThroughTheProgram, PasswordAndRefusedValues) {
  root_.exec("update secureConf set f_firstLogin=1;");
  // A bare member that is not a number: refused before anything is written,
  // the first-login flag included.
  Json::Value hostile = operatorUpdate();
  hostile["userPara"]["setPW"] = "yes";
  hostile["userPara"]["nm"] = "changed";
  hostile["userPara"]["pid"] = "1 or 1=1";
  Json::Value reply = call(hostile);
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_EQ(cell("nm"), "operator");
  EXPECT_EQ(root_.scalar("select f_firstLogin from secureConf;"), "1");

  Json::Value dup = operatorUpdate();
  dup["userPara"]["nm"] = "admin";
  expectReply(call(dup), "warning", "database unique error,please donnot input duplicate name");
  EXPECT_EQ(logCount(root_), 0);

  Json::Value pw = operatorUpdate();
  pw["userPara"]["setPW"] = "yes";
  pw["userPara"]["pw"] = "n3w'pw";
  pw["userPara"]["pwdDepth"] = "2";
  pw["userPara"]["pwdExpire"] = "2000-01-01 00:00:00";
  std::string before = now();
  reply = call(pw);
  std::string after = now();
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_FALSE(reply.isMember("firstLogin")) << "flag cleared before the reply";
  EXPECT_EQ(cell("pw||'|'||pwdDepth"), "n3w'pw|2");
  EXPECT_GE(cell("pwdExpire"), before);
  EXPECT_LE(cell("pwdExpire"), after);
  EXPECT_EQ(root_.scalar("select f_firstLogin from secureConf;"), "0");
}

TEST_F(UsersThroughTheProgram, InsertThenDeleteUser) {
  Json::Value ins = sessionRequest(root_, "insUser");
  Json::Value& p = ins["userPara"];
  p["nm"] = "o'neil";
  p["pw"] = "pw";
  p["memo"] = "m";
  p["pid"] = 3;
  p["pidCN"] = "Viewers";
  p["dogDB"] = "31";
  p["code"] = "1";
  p["frame"] = "2";
  p["media"] = "0";
  p["phone"] = "123";
  p["prior"] = "0";
  p["memo2"] = "m2";
  p["pwdDepth"] = "1";
  std::string before = now();
  Json::Value reply = call(ins);
  std::string after = now();
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  std::string id = root_.scalar("select id from user2 where nm='o''neil';");
  ASSERT_EQ(id, "3");
  EXPECT_EQ(root_.query("select nm,pw,memo,pid,token,dog,code,frame,media,nm2,phone,prior,memo2,"
                        "status,loginTime,loginTime2,pwdDepth from user2 where id=3;")[0],
            (std::vector<std::string>{"o'neil", "pw", "m", "3", "6274", "31", "1", "2", "0", "",
                                      "123", "0", "m2", "0", "", "", "1"}));
  for (const char* column : {"createTime", "pwdExpire"}) {
    EXPECT_GE(cell(column, id), before);
    EXPECT_LE(cell(column, id), after);
  }
  auto log = lastLog(root_);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "user/insUser/insert user");
  ASSERT_EQ(log.detail.size(), 13u);
  EXPECT_EQ(log.detail[0], entry("Name", "o'neil"));
  EXPECT_EQ(log.detail[2], entry("Usergroup", "Viewers"));
  EXPECT_EQ(log.detail[6], entry("Phone", "123"));
  EXPECT_EQ(log.detail[9], entry("web-01", "read write"));
  EXPECT_EQ(log.detail[10], entry("db-01", "read"));
  EXPECT_EQ(log.detail[11], entry("router-console", ""));  // past the end of "31"

  // The same name again: the duplicate warning, never "Nothing modified".
  expectReply(call(ins), "warning", "database unique error,please donnot input duplicate name");

  // Deleting logs the request's values; an id that does not exist as well.
  for (const char* target : {"3", "99"}) {
    Json::Value del = sessionRequest(root_, "delUser");
    del["userPara"]["id"] = target;
    del["userPara"]["nm"] = "named in the request";
    del["userPara"]["dogDB"] = "1";
    reply = call(del);
    ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
    log = lastLog(root_);
    EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "user/delUser/delete user");
    EXPECT_EQ(log.detail[0], entry("Name", "named in the request"));
    EXPECT_EQ(log.detail[2], entry("Usergroup", ""));
    EXPECT_EQ(log.detail[9], entry("web-01", "read"));
  }
  EXPECT_EQ(root_.scalar("select count(*) from user2;"), "2");
  EXPECT_EQ(logCount(root_), 3);
}

TEST_F(UsersThroughTheProgram, UpdateGroup) {
  auto group = [this](const char* id, const char* nm, const char* rights) {
    Json::Value req = sessionRequest(root_, "updPriv");
    req["priv"]["id"] = id;
    req["priv"]["nm"] = nm;
    req["priv"]["dogDB"] = rights;
    req["priv"]["f_pwd"] = root_.scalar("select f_pwd from secureConf;");
    return req;
  };
  expectReply(call(group("2", "Operators", "33331111")), "warning", "Nothing modified");
  expectReply(call(group("9", "Operators", "33331111")), "warning", "Nothing modified");
  EXPECT_EQ(logCount(root_), 0);

  // A name-only change still gives every member the group's rights text.
  root_.exec("update user2 set dog='0000' where id=2;");
  Json::Value reply = call(group("2", "Night shift", "33331111"));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root_.scalar("select nm from priv2 where id=2;"), "Night shift");
  EXPECT_EQ(cell("dog"), "33331111");
  EXPECT_EQ(cell("dog", "1"), "33333333") << "user of another group";
  auto log = lastLog(root_);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "priv/updPriv/update userGroup");
  Json::Value want(Json::arrayValue);
  want.append(entry("Name", "Operators", "Night shift"));
  for (const char* slot : {"web-01", "db-01", "router-console", "install-media"}) {
    want.append(entry(slot, "read write", "read write"));
  }
  EXPECT_EQ(log.detail, want);

  // A rights change of a group without users; a request without the stored
  // password policy counts as changed.
  Json::Value rights = group("3", "Viewers", "1030");
  rights["priv"].removeMember("f_pwd");
  reply = call(rights);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  log = lastLog(root_);
  ASSERT_EQ(log.detail.size(), 5u);
  EXPECT_EQ(log.detail[1], entry("web-01", "read", "read"));
  EXPECT_EQ(log.detail[2], entry("db-01", "read", ""));
  EXPECT_EQ(log.detail[3], entry("router-console", "read", "read write"));
  EXPECT_EQ(log.detail[4], entry("install-media", "read", ""));

  expectReply(call(group("3", "Night shift", "0000")), "warning",
              "database unique error,please donnot input duplicate name");
  Json::Value hostile = group("3", "x", "0000");
  hostile["priv"]["id"] = "3 or 1=1";
  EXPECT_EQ(call(hostile)["ret"], "err");
  EXPECT_EQ(root_.scalar("select count(*) from priv2 where dog='0000' or nm='x';"), "0");
  EXPECT_EQ(logCount(root_), 2);
}

}  // namespace
