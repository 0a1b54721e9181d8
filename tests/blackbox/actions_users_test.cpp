// User accounts and user groups through the program: the edited rights come
// in as dogDB, the reply is the dispatcher's, the log row names the session's
// user and the client's address.
#include <gtest/gtest.h>

#include "actions_helpers.h"

using actionsbb::entry;
using actionsbb::lastLog;
using actionsbb::logCount;
using korvantest::ajax;
using korvantest::sessionRequest;
using korvantest::TempRoot;

namespace {

const char* const kClient = "192.0.2.7";

class UsersThroughTheProgram : public ::testing::Test {
 protected:
  // The online modules in the first four slots, so that the snapshot of
  // every reply leaves the slots as they are.
  void SetUp() override { actionsbb::slotOnlineModules(root_); }
  Json::Value call(const Json::Value& request) { return ajax(root_, request, {}, kClient); }
  TempRoot root_;
};

TEST_F(UsersThroughTheProgram, UpdateUser) {
  Json::Value req = sessionRequest(root_, "updUser");
  Json::Value& p = req["userPara"];
  p["id"] = 2;
  p["nm"] = "operator";
  p["pw"] = "operator";
  p["memo"] = "night shift";
  p["pid"] = "2";
  p["pidCN"] = "Operators";
  p["dogDB"] = "13131313";
  p["dog"] = "ignored: the dispatcher replaces it by dogDB";
  p["code"] = "1";
  p["frame"] = "2";
  p["media"] = "1";
  p["prior"] = 1;
  Json::Value reply = call(req);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  // The snapshot in the reply is taken after the change.
  bool seen = false;
  for (const Json::Value& user : reply["users"]) {
    if (user["nm"] == "operator") seen = user["memo"] == "night shift" && user["dogDB"] == "13131313";
  }
  EXPECT_TRUE(seen) << reply["users"];
  EXPECT_EQ(root_.scalar("select memo||'|'||dog from user2 where id=2;"), "night shift|13131313");

  auto log = lastLog(root_);
  EXPECT_EQ(log.user, "admin");
  EXPECT_EQ(log.ip, kClient);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "user/updUser/update user");
  EXPECT_EQ(log.sth.back(), '\n');
  ASSERT_EQ(log.detail.size(), 13u);
  EXPECT_EQ(log.detail[1], entry("Memo", "shift operator", "night shift"));
  EXPECT_EQ(log.detail[9], entry("web-01", "read write", "read"));
  EXPECT_EQ(log.detail[10], entry("db-01", "read write", "read write"));
  EXPECT_EQ(log.detail[11], entry("router-console", "read write", "read"));
  EXPECT_EQ(log.detail[12], entry("install-media", "read write", "read write"));

  // The same request again changes nothing.
  reply = call(req);
  EXPECT_EQ(reply["ret"], "warning");
  EXPECT_EQ(reply["retMsg"], "Nothing modified");
  EXPECT_EQ(logCount(root_), 1);
}

TEST_F(UsersThroughTheProgram, InsertThenDeleteUser) {
  Json::Value ins = sessionRequest(root_, "insUser");
  Json::Value& p = ins["userPara"];
  p["nm"] = "o'neil";
  p["pw"] = "pw";
  p["pid"] = 3;
  p["pidCN"] = "Viewers";
  p["dogDB"] = "31";
  p["prior"] = "0";
  p["pwdDepth"] = "1";
  Json::Value reply = call(ins);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  std::string id = root_.scalar("select id from user2 where nm='o''neil';");
  ASSERT_FALSE(id.empty());
  EXPECT_EQ(root_.scalar("select dog||'|'||token||'|'||status from user2 where id=" + id + ";"),
            "31|6274|0");
  auto log = lastLog(root_);
  EXPECT_EQ(log.typeSub, "insUser");
  EXPECT_EQ(log.detail[0], entry("Name", "o'neil"));
  EXPECT_EQ(log.detail[9], entry("web-01", "read write"));
  EXPECT_EQ(log.detail[10], entry("db-01", "read"));
  EXPECT_EQ(log.detail[11], entry("router-console", ""));

  // The same name again: the store's duplicate warning.
  reply = call(ins);
  EXPECT_EQ(reply["ret"], "warning");
  EXPECT_EQ(reply["retMsg"], "database unique error,please donnot input duplicate name");

  Json::Value del = sessionRequest(root_, "delUser");
  del["userPara"]["id"] = id;
  del["userPara"]["nm"] = "o'neil";
  del["userPara"]["dogDB"] = "31";
  reply = call(del);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root_.scalar("select count(*) from user2 where id=" + id + ";"), "0");
  log = lastLog(root_);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "user/delUser/delete user");
  EXPECT_EQ(log.detail[10], entry("db-01", "read"));
  EXPECT_EQ(log.detail.size(), 13u);
  EXPECT_EQ(logCount(root_), 2);
}

TEST_F(UsersThroughTheProgram, UpdateGroupCopiesRightsToItsUsers) {
  Json::Value req = sessionRequest(root_, "updPriv");
  req["priv"]["id"] = "2";
  req["priv"]["nm"] = "Operators";
  req["priv"]["dogDB"] = "10300000";
  Json::Value reply = call(req);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root_.scalar("select dog from priv2 where id=2;"), "10300000");
  EXPECT_EQ(root_.scalar("select dog from user2 where id=2;"), "10300000");
  EXPECT_EQ(root_.scalar("select dog from user2 where id=1;"), "33333333");
  auto log = lastLog(root_);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "priv/updPriv/update userGroup");
  Json::Value want(Json::arrayValue);
  want.append(entry("Name", "Operators", "Operators"));
  want.append(entry("web-01", "read write", "read"));
  want.append(entry("db-01", "read write", ""));
  want.append(entry("router-console", "read write", "read write"));
  want.append(entry("install-media", "read write", ""));
  EXPECT_EQ(log.detail, want);

  // A bare member that is not a number is refused and nothing is written.
  Json::Value hostile = sessionRequest(root_, "updPriv");
  hostile["priv"]["id"] = "2 or 1=1";
  hostile["priv"]["nm"] = "x";
  reply = call(hostile);
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_EQ(root_.scalar("select count(*) from priv2 where nm='x';"), "0");
  EXPECT_EQ(logCount(root_), 1);
}

}  // namespace
