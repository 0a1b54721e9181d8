// User-account and user-group actions run in-process against a seeded
// database: the rows they write, their log records, and the refusals.
#include <gtest/gtest.h>

#include "actions/registry.h"
#include "actions_fixture.h"
#include "util/tools.h"

namespace {

std::string now() {
  std::string t;
  getDateTime_sec(t);
  return t;
}

class UserActionTest : public ActionDbTest {
 protected:
  void SetUp() override {
    ActionDbTest::SetUp();
    // Three slots in use, one free between them.
    root_->exec(
        "update dogInfo2 set setted=1, nm='web' where id=1;"
        "update dogInfo2 set setted=1, nm='mail' where id=2;"
        "update dogInfo2 set setted=1, nm='db' where id=4;"
        "update secureConf set f_firstLogin=1;");
  }

  // Runs the action of `type` on `req`; returns the CMyErr it threw, if any.
  std::optional<CMyErr> run(Json::Value& req) {
    Json::Value reply;
    auto action = makeAction(req["type"].asString(), req, reply);
    if (!action) throw std::logic_error("no action for " + req["type"].asString());
    try {
      action->do2();
    } catch (const CMyErr& e) {
      return e;
    }
    return std::nullopt;
  }

  // "updUser" request that repeats the stored user 2 exactly.
  Json::Value storedOperator() {
    Json::Value req = request("updUser");
    Json::Value& p = req["userPara"];
    auto row = root_->query(
        "select user2.id,user2.nm,pw,memo,user2.dog,pid,priv2.nm,code,frame,media,nm2,addrH,"
        "addrC,phone,email,prior,memo2 from user2,priv2 where pid=priv2.id and user2.id=2")[0];
    const char* names[] = {"id",   "nm",    "pw",   "memo",  "dog",   "pid",
                           "pidCN", "code", "frame", "media", "nm2",  "addrH",
                           "addrC", "phone", "email", "prior", "memo2"};
    for (size_t i = 0; i < row.size(); ++i) p[names[i]] = row[i];
    p["id"] = 2;  // a number against the stored text
    return req;
  }

  std::string userCell(const std::string& column, const std::string& id = "2") {
    return root_->scalar("select " + column + " from user2 where id=" + id);
  }
};

void expectWarning(const std::optional<CMyErr>& e, const std::string& message) {
  ASSERT_TRUE(e.has_value()) << "succeeded";
  EXPECT_EQ(e->type, CMyErr::warning);
  EXPECT_EQ(e->what(), message);
}

TEST_F(UserActionTest, UpdateRepeatingTheStoredUserOrUnknownIdChangesNothing) {
  Json::Value same = storedOperator();
  expectWarning(run(same), "Nothing modified");

  Json::Value unknown = storedOperator();
  unknown["userPara"]["id"] = "77";
  expectWarning(run(unknown), "Nothing modified");

  // Leaving out the stored (non-empty) password counts as a change.
  Json::Value noPw = storedOperator();
  noPw["userPara"].removeMember("pw");
  EXPECT_FALSE(run(noPw).has_value());
  EXPECT_EQ(userCell("pw"), "operator") << "the password is kept without setPW";
  EXPECT_EQ(logCount(), 1);
}

TEST_F(UserActionTest, UpdateWritesTheUserAndLogsAllFieldsAndSlots) {
  std::string expireBefore = userCell("pwdExpire");
  Json::Value req = storedOperator();
  Json::Value& p = req["userPara"];
  p["nm"] = "op'2";
  p["email"] = "op@example.org";
  p["dog"] = "1300";
  p["pid"] = "3";
  p["pidCN"] = "Viewers";
  p["pw"] = "ignored";
  p["pwdExpire"] = "2000-01-01 00:00:00";
  p["setPW"] = "Yes";  // not exactly "yes": no password change
  ASSERT_FALSE(run(req).has_value());

  EXPECT_EQ(userCell("nm"), "op'2");
  EXPECT_EQ(userCell("dog"), "1300");
  EXPECT_EQ(userCell("pid"), "3");
  EXPECT_EQ(userCell("pw"), "operator");
  EXPECT_EQ(userCell("pwdExpire"), expireBefore);
  EXPECT_EQ(root_->scalar("select f_firstLogin from secureConf"), "1");

  auto row = lastLog();
  ASSERT_EQ(row.size(), 7u);
  EXPECT_EQ(row[0], "admin");
  EXPECT_EQ(row[2], "10.1.2.3");
  EXPECT_EQ(row[3], "user");
  EXPECT_EQ(row[4], "updUser");
  EXPECT_EQ(row[5], "update user");
  Json::Value want(Json::arrayValue);
  want.append(entry("Name", "operator", "op'2"));
  want.append(entry("Memo", "shift operator", "shift operator"));
  want.append(entry("Usergroup", "Operators", "Viewers"));
  for (const char* label : {"Name2", "Home addr", "Company addr", "Phone"}) {
    want.append(entry(label, "", ""));
  }
  want.append(entry("email", "", "op@example.org"));
  want.append(entry("Memo2", "", ""));
  // Stored rights 33331111 against 1300: slots 1, 2 and 4 in use.
  want.append(entry("web", "read write", "read"));
  want.append(entry("mail", "read write", "read write"));
  want.append(entry("db", "read write", ""));
  EXPECT_EQ(lastDetail(), want);
}

TEST_F(UserActionTest, UpdateWithPasswordSetsExpiryAndClearsFirstLogin) {
  Json::Value req = storedOperator();
  req["userPara"]["setPW"] = "yes";
  req["userPara"]["pw"] = "n3w";
  req["userPara"]["pwdDepth"] = "2";
  req["userPara"]["pwdExpire"] = "2000-01-01 00:00:00";
  std::string before = now();
  ASSERT_FALSE(run(req).has_value());
  std::string after = now();
  EXPECT_EQ(userCell("pw"), "n3w");
  EXPECT_EQ(userCell("pwdDepth"), "2");
  EXPECT_GE(userCell("pwdExpire"), before);
  EXPECT_LE(userCell("pwdExpire"), after);
  EXPECT_EQ(root_->scalar("select f_firstLogin from secureConf"), "0");
}

TEST_F(UserActionTest, RefusedValuesWriteNothing) {
  // A bare member that is not a number: refused before secureConf or the
  // user row is written.
  Json::Value req = storedOperator();
  req["userPara"]["nm"] = "changed";
  req["userPara"]["setPW"] = "yes";
  req["userPara"]["pid"] = "1 or 1=1";
  auto e = run(req);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->type, CMyErr::err);
  EXPECT_EQ(userCell("nm"), "operator");
  EXPECT_EQ(root_->scalar("select f_firstLogin from secureConf"), "1");
  EXPECT_EQ(logCount(), 0);

  Json::Value badId = storedOperator();
  badId["userPara"]["id"] = "2 or 1=1";
  EXPECT_EQ(run(badId)->type, CMyErr::err);

  // A duplicate name is the store's warning; nothing is logged.
  Json::Value dup = storedOperator();
  dup["userPara"]["nm"] = "admin";
  expectWarning(run(dup), "database unique error,please donnot input duplicate name");
  EXPECT_EQ(logCount(), 0);

  // A parameter object that is not an object.
  Json::Value notObject = request("delUser");
  notObject["userPara"] = "2";
  EXPECT_EQ(run(notObject)->type, CMyErr::err);
  EXPECT_EQ(userCell("nm"), "operator");
}

Json::Value newUser() {
  Json::Value req = ActionDbTest::request("insUser");
  Json::Value& p = req["userPara"];
  p["nm"] = "new'user";
  p["pw"] = "secret";
  p["memo"] = "m";
  p["pid"] = 3;
  p["pidCN"] = "Viewers";
  p["dog"] = "31";
  p["code"] = "1";
  p["frame"] = "2";
  p["media"] = "0";
  p["nm2"] = "Nina";
  p["addrH"] = "h";
  p["addrC"] = "c";
  p["phone"] = "123";
  p["email"] = "n@example.org";
  p["prior"] = "1";
  p["memo2"] = "m2";
  p["pwdDepth"] = "3";
  return req;
}

TEST_F(UserActionTest, InsertWritesALoggedOutUserAndLogsTheRequest) {
  Json::Value req = newUser();
  std::string before = now();
  ASSERT_FALSE(run(req).has_value());
  std::string after = now();
  auto rows = root_->query(
      "select id,nm,pw,memo,pid,token,dog,code,frame,media,nm2,addrH,addrC,phone,email,prior,"
      "memo2,status,loginTime,loginTime2,createTime,pwdDepth,pwdExpire from user2 where id=3");
  ASSERT_EQ(rows.size(), 1u);
  auto& r = rows[0];
  std::vector<std::string> fixed(r.begin(), r.begin() + 20);
  EXPECT_EQ(fixed, (std::vector<std::string>{"3", "new'user", "secret", "m", "3", "6274", "31",
                                             "1", "2", "0", "Nina", "h", "c", "123",
                                             "n@example.org", "1", "m2", "0", "", ""}));
  EXPECT_GE(r[20], before);
  EXPECT_LE(r[20], after);
  EXPECT_EQ(r[21], "3");
  EXPECT_GE(r[22], before);
  EXPECT_LE(r[22], after);

  auto log = lastLog();
  EXPECT_EQ(log[3] + "/" + log[4] + "/" + log[5], "user/insUser/insert user");
  Json::Value want(Json::arrayValue);
  want.append(entry("Name", "new'user"));
  want.append(entry("Memo", "m"));
  want.append(entry("Usergroup", "Viewers"));
  want.append(entry("Name2", "Nina"));
  want.append(entry("Home addr", "h"));
  want.append(entry("Company addr", "c"));
  want.append(entry("Phone", "123"));
  want.append(entry("email", "n@example.org"));
  want.append(entry("Memo2", "m2"));
  want.append(entry("web", "read write"));
  want.append(entry("mail", "read"));
  want.append(entry("db", ""));  // past the end of the rights text
  EXPECT_EQ(lastDetail(), want);

  // A second insertion of the same name is the duplicate warning, not
  // "Nothing modified".
  Json::Value again = newUser();
  expectWarning(run(again), "database unique error,please donnot input duplicate name");
  Json::Value hostile = newUser();
  hostile["userPara"]["nm"] = "other";
  hostile["userPara"]["prior"] = "1);drop table log2;--";
  EXPECT_EQ(run(hostile)->type, CMyErr::err);
  EXPECT_EQ(root_->scalar("select count(*) from user2"), "3");
  EXPECT_EQ(logCount(), 1);
}

TEST_F(UserActionTest, DeleteRemovesOneRowAndLogsTheRequest) {
  Json::Value req = request("delUser");
  req["userPara"]["id"] = "2";
  req["userPara"]["nm"] = "named in the request";
  req["userPara"]["dog"] = "1";
  ASSERT_FALSE(run(req).has_value());
  EXPECT_EQ(root_->scalar("select count(*) from user2 where id=2"), "0");
  EXPECT_EQ(root_->scalar("select count(*) from user2"), "1");
  EXPECT_EQ(root_->scalar("select count(*) from priv2 where id=2"), "1");
  Json::Value detail = lastDetail();
  ASSERT_EQ(detail.size(), 12u);
  EXPECT_EQ(detail[0], entry("Name", "named in the request"));
  EXPECT_EQ(detail[2], entry("Usergroup", ""));
  EXPECT_EQ(detail[9], entry("web", "read"));
  EXPECT_EQ(lastLog()[4], "delUser");

  // An id that does not exist still succeeds and is logged.
  Json::Value gone = request("delUser");
  gone["userPara"]["id"] = 99;
  ASSERT_FALSE(run(gone).has_value());
  EXPECT_EQ(logCount(), 2);
  EXPECT_EQ(lastLog()[5], "delete user");
}

// ---- user groups -------------------------------------------------------------

class GroupActionTest : public UserActionTest {
 protected:
  Json::Value storedGroup(const std::string& id) {
    Json::Value req = request("updPriv");
    req["priv"]["id"] = id;
    req["priv"]["nm"] = root_->scalar("select nm from priv2 where id=" + id);
    req["priv"]["dog"] = root_->scalar("select dog from priv2 where id=" + id);
    req["priv"]["f_pwd"] = root_->scalar("select f_pwd from secureConf");
    return req;
  }
};

TEST_F(GroupActionTest, UnchangedGroupOrUnknownIdChangesNothing) {
  Json::Value same = storedGroup("2");
  expectWarning(run(same), "Nothing modified");
  Json::Value unknown = storedGroup("2");
  unknown["priv"]["id"] = "9";
  expectWarning(run(unknown), "Nothing modified");
  EXPECT_EQ(logCount(), 0);

  // Without the stored password policy the request counts as changed.
  Json::Value noPolicy = storedGroup("2");
  noPolicy["priv"].removeMember("f_pwd");
  EXPECT_FALSE(run(noPolicy).has_value());
  EXPECT_EQ(logCount(), 1);
}

TEST_F(GroupActionTest, NameChangeRewritesEveryMembersRights) {
  root_->exec("update user2 set dog='0000' where id=2;");
  Json::Value req = storedGroup("2");
  req["priv"]["nm"] = "Night shift";
  ASSERT_FALSE(run(req).has_value());
  EXPECT_EQ(root_->scalar("select nm from priv2 where id=2"), "Night shift");
  EXPECT_EQ(root_->scalar("select dog from user2 where id=2"), "33331111");
  EXPECT_EQ(root_->scalar("select dog from user2 where id=1"), "33333333") << "other group";

  auto row = lastLog();
  EXPECT_EQ(row[3] + "/" + row[4] + "/" + row[5], "priv/updPriv/update userGroup");
  Json::Value want(Json::arrayValue);
  want.append(entry("Name", "Operators", "Night shift"));
  want.append(entry("web", "read write", "read write"));
  want.append(entry("mail", "read write", "read write"));
  want.append(entry("db", "read write", "read write"));
  EXPECT_EQ(lastDetail(), want);
}

TEST_F(GroupActionTest, RightsChangeAndRefusals) {
  Json::Value req = storedGroup("3");  // Viewers: no users
  req["priv"]["dog"] = "3100";
  ASSERT_FALSE(run(req).has_value());
  EXPECT_EQ(root_->scalar("select dog from priv2 where id=3"), "3100");
  Json::Value detail = lastDetail();
  ASSERT_EQ(detail.size(), 4u);
  EXPECT_EQ(detail[0], entry("Name", "Viewers", "Viewers"));
  EXPECT_EQ(detail[1], entry("web", "read", "read write"));
  EXPECT_EQ(detail[2], entry("mail", "read", "read"));
  EXPECT_EQ(detail[3], entry("db", "read", ""));

  Json::Value dup = storedGroup("3");
  dup["priv"]["nm"] = "Operators";
  dup["priv"]["dog"] = "0000";
  expectWarning(run(dup), "database unique error,please donnot input duplicate name");
  EXPECT_EQ(root_->scalar("select dog from priv2 where id=3"), "3100");

  Json::Value hostile = storedGroup("3");
  hostile["priv"]["id"] = "3 or 1=1";
  EXPECT_EQ(run(hostile)->type, CMyErr::err);
  EXPECT_EQ(root_->scalar("select count(*) from priv2 where dog='3100'"), "1");
  EXPECT_EQ(logCount(), 1);
}

}  // namespace
