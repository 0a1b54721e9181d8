// User accounts and groups through the program: rights come in as dogDB, the
// log row names the session's user and the client's address.
#include "actions_helpers.h"
#include "calls.h"
#include "util/local_time.h"
#include "util/password_hash.h"

using actionsbb::lastLog;
using actionsbb::logCount;
using korvantest::sessionRequest;

namespace {

const char* const kDuplicate = "database unique error,please donnot input duplicate name";

std::string now() {
  std::string t;
  getDateTime_sec(t);
  return t;
}

class Users : public ::testing::Test {
 protected:
  void SetUp() override { actionsbb::slotOnlineModules(root_); }
  Json::Value call(const Json::Value& request) {
    return korvantest::ajax(root_, request, {}, "192.0.2.7");
  }
  std::string user(const std::string& columns, const std::string& id = "2") {
    return root_.scalar("select " + columns + " from user2 where id=" + id + ";");
  }
  // A request of `type` whose `member` holds `values`.
  Json::Value request(const char* type, const char* member, const Json::Value& values) {
    Json::Value req = sessionRequest(root_, type);
    req[member] = values;
    return req;
  }
  // "updUser" for the seeded operator (id 2) with its stored values and the
  // members of the JSON object `changes`; the id a number against the text.
  Json::Value operatorUpdate(const std::string& changes = "{}") {
    return request("updUser", "userPara",
                   korvantest::withMembers(korvantest::parseJson(R"({"id":2,"nm":"operator",
        "pw":"operator","memo":"shift operator","pid":"2","pidCN":"Operators","dogDB":"33331111",
        "dog":"replaced by dogDB","code":"1","frame":"2","media":"1","prior":1})"), changes));
  }
  korvantest::TempRoot root_;
};

TEST_F(Users, UpdateUser) {
  for (const Json::Value& req : {operatorUpdate(), operatorUpdate(R"({"id":"77"})")}) {
    EXPECT_EQ(call(req)["retMsg"], "Nothing modified");
  }
  Json::Value req = operatorUpdate(R"({"memo":"night shift","dogDB":"13131313",
      "email":"op@example.org","pw":"not set without setPW","setPW":"Yes"})");
  Json::Value& p = req["userPara"];
  const std::string storedPw = user("pw");
  Json::Value reply = call(req);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(user("memo||'|'||dog"), "night shift|13131313");
  EXPECT_EQ(user("pw"), storedPw);
  // The snapshot in the reply follows the change.
  EXPECT_NE(reply["users"].toStyledString().find("\"night shift\""), std::string::npos);
  auto log = lastLog(root_);
  EXPECT_EQ(log.head, "admin 192.0.2.7 user/updUser/update user");
  EXPECT_EQ(log.detail,
            "Name=operator>operator;Memo=shift operator>night shift;Usergroup=Operators>Operators;"
            "Name2=>;Home addr=>;Company addr=>;Phone=>;email=>op@example.org;Memo2=>;"
            "web-01=read write>read;db-01=read write>read write;router-console=read write>read;"
            "install-media=read write>read write;");

  // Leaving out a stored non-empty member counts as a change.
  p["pw"] = "operator";
  p.removeMember("setPW");
  EXPECT_EQ(call(req)["retMsg"], "Nothing modified");
  p.removeMember("pidCN");
  EXPECT_EQ(call(req)["ret"], "ok");
  EXPECT_EQ(logCount(root_), 2);
}

TEST_F(Users, PasswordAndRefusedValues) {
  // A bare member that is not a number is refused before anything is
  // written; a taken name is a warning.
  EXPECT_EQ(call(operatorUpdate(R"({"setPW":"yes","nm":"changed","pid":"1 or 1=1"})"))["retMsg"],
            "invalid number: pid");
  EXPECT_EQ(call(operatorUpdate(R"({"nm":"admin"})"))["retMsg"], kDuplicate);
  EXPECT_EQ(user("nm"), "operator");
  EXPECT_EQ(logCount(root_), 0);

  // The operator's own new password clears the first-login flag.
  root_.exec("update secureConf set f_firstLogin=1;");
  Json::Value pw = sessionRequest(root_, "updUser", "2");
  pw["userPara"] = operatorUpdate(R"({"setPW":"yes","pw":"n3w'pw-12","pwdDepth":"2",
      "pwdExpire":"2000-01-01 00:00:00","oldPw":"operator"})")["userPara"];
  const std::string before = now();
  Json::Value reply = call(pw);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_FALSE(reply.isMember("firstLogin")) << "flag cleared before the reply";
  EXPECT_TRUE(korvan::verifyPassword("n3w'pw-12", user("pw"))) << user("pw");
  EXPECT_EQ(user("pwdDepth"), "2");
  EXPECT_GE(user("pwdExpire"), before);
  EXPECT_LE(user("pwdExpire"), now());
  EXPECT_EQ(root_.scalar("select f_firstLogin from secureConf;"), "0");
}

// The own row is named by the id's number however it is spelled: changing
// one's own password always takes the current one.
TEST_F(Users, OwnPasswordNeedsTheOldOneWhateverTheIdsSpelling) {
  const std::string stored = user("pw", "1");
  for (const char* id : {"1", "01", "-0001"}) {
    Json::Value change = sessionRequest(root_, "updUser", "1");
    change["userPara"] =
        korvantest::parseJson(R"({"nm":"admin","pid":"1","prior":"1","setPW":"yes","pw":"n3w-secret"})");
    change["userPara"]["id"] = id;
    EXPECT_EQ(call(change)["retMsg"], id[0] == '-' ? "Nothing modified" : "old password wrong")
        << id;
  }
  EXPECT_EQ(user("pw", "1"), stored);
}

// A new password must be long enough and differ from the user name, on each
// path that sets one; a refusal stores nothing, a pass stores a hash.
TEST_F(Users, PasswordRuleOnEveryPath) {
  const struct {
    const char* name;
    const char* caller;
    const char* target;  // the account (nullptr: a new one, "newcomer")
    const char* oldPw;   // sent when not null
  } paths[] = {{"first login", "1", "1", "admin"},
               {"own change", "2", "2", "operator"},
               {"administrator sets", "1", "2", nullptr},
               {"new user", "1", nullptr, nullptr}};
  const struct {
    const char* policy;
    const char* pw;  // "=name": the account's own name
    const char* outcome;
  } cases[] = {
      {R"({"pwdTry":3})", "seven77", "warning password too short (minimum 8)"},
      {R"({"pwdTry":3})", "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9",  // 14 bytes
       "warning password too short (minimum 8)"},
      {R"({"pwdTry":3,"pwdMin":"12"})", "eleven-char", "warning password too short (minimum 12)"},
      {R"({"pwdTry":3,"pwdMin":"4"})", "=name", "warning password equals the user name"},
      {R"({"pwdTry":3})", "eight888", "ok "},
  };
  for (const auto& path : paths) {
    const std::string account = path.target ? "id=" + std::string(path.target) : "nm='newcomer'";
    auto stored = [&] { return root_.scalar("select ifnull((select pw from user2 where " + account + "),'')"); };
    const std::string before = stored();
    for (const auto& c : cases) {
      root_.exec(std::string("update secureConf set f_pwd='") + c.policy + "', f_firstLogin=" +
                 (path.oldPw && *path.caller == '1' ? "1;" : "0;"));
      Json::Value request = sessionRequest(root_, path.target ? "updUser" : "insUser", path.caller);
      if (path.target) {
        korvantest::userRow(request, root_, path.target);  // the row as stored
        if (path.oldPw) request["userPara"]["oldPw"] = path.oldPw;
      } else {
        request["userPara"] = korvantest::parseJson(R"({"nm":"newcomer","pid":3,"dogDB":"1","prior":"0"})");
      }
      const std::string pw = std::string(c.pw) == "=name" ? request["userPara"]["nm"].asString() : c.pw;
      request["userPara"]["pw"] = pw;
      const Json::Value reply = call(request);
      const std::string what = std::string(path.name) + " / " + pw;
      EXPECT_EQ(reply["ret"].asString() + " " + reply["retMsg"].asString(), c.outcome) << what;
      if (std::string(c.outcome) == "ok ") {
        EXPECT_TRUE(korvan::verifyPassword(pw, stored())) << what;
      } else {
        EXPECT_EQ(stored(), before) << what;
      }
    }
    // The next path starts from the seed's accounts.
    root_.exec("update user2 set pw='" + before + "' where " + account + ";");
    root_.exec("delete from user2 where nm='newcomer';");
  }
}

TEST_F(Users, InsertThenDeleteUser) {
  const Json::Value ins = request("insUser", "userPara", korvantest::parseJson(R"({"nm":"o'neil",
      "pw":"pw-o'neil-1","memo":"m","pidCN":"Viewers","dogDB":"31","code":"1","frame":"2","media":"0",
      "phone":"123","prior":"0","memo2":"m2","pwdDepth":"1","pid":3})"));
  const std::string before = now();
  Json::Value reply = call(ins);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(korvan::verifyPassword("pw-o'neil-1", user("pw", "3"))) << user("pw", "3");
  EXPECT_EQ(user("nm||'|'||memo||'|'||pid||'|'||token||'|'||dog||'|'||code||'|'||frame||"
                 "'|'||media||'|'||nm2||'|'||phone||'|'||prior||'|'||memo2||'|'||status||'|'||"
                 "ifnull(loginTime,'')||'|'||ifnull(loginTime2,'')||'|'||pwdDepth",
                 "3"),
            "o'neil|m|3|6274|31|1|2|0||123|0|m2|0|||1");
  for (const char* column : {"createTime", "pwdExpire"}) {
    EXPECT_GE(user(column, "3"), before);
    EXPECT_LE(user(column, "3"), now());
  }
  EXPECT_EQ(lastLog(root_).detail,
            "Name=o'neil;Memo=m;Usergroup=Viewers;Name2=;Home addr=;Company addr=;Phone=123;"
            "email=;Memo2=m2;web-01=read write;db-01=read;router-console=;install-media=;");
  // The same name again: the duplicate warning, never "Nothing modified".
  EXPECT_EQ(call(ins)["retMsg"], kDuplicate);

  // Deleting logs the request's values.
  const auto del = korvantest::parseJson(R"({"id":"3","nm":"named in the request","dogDB":"1"})");
  ASSERT_EQ(call(request("delUser", "userPara", del))["ret"], "ok");
  auto log = lastLog(root_);
  EXPECT_EQ(log.head, "admin 192.0.2.7 user/delUser/delete user");
  EXPECT_EQ(log.detail.substr(0, 54), "Name=named in the request;Memo=;Usergroup=;Name2=;Home");
  EXPECT_NE(log.detail.find(";web-01=read;db-01=;"), std::string::npos) << log.detail;
  EXPECT_EQ(root_.scalar("select count(*) from user2;"), "2");
  EXPECT_EQ(logCount(root_), 2);
}

TEST_F(Users, UpdateGroup) {
  auto group = [this](const char* id, const char* nm, const char* rights) {
    Json::Value p;
    p["id"] = id;
    p["nm"] = nm;
    p["dogDB"] = rights;
    p["f_pwd"] = root_.scalar("select f_pwd from secureConf;");
    return request("updPriv", "priv", p);
  };
  EXPECT_EQ(call(group("9", "Operators", "33331111"))["retMsg"], "Nothing modified");
  EXPECT_EQ(call(group("2", "Operators", "33331111"))["retMsg"], "Nothing modified");
  // A name-only change still gives every member the group's rights text.
  root_.exec("update user2 set dog='0000' where id=2;");
  Json::Value reply = call(group("2", "Night shift", "33331111"));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root_.scalar("select nm from priv2 where id=2;"), "Night shift");
  EXPECT_EQ(user("dog") + " " + user("dog", "1"), "33331111 33333333");
  auto log = lastLog(root_);
  EXPECT_EQ(log.head, "admin 192.0.2.7 priv/updPriv/update userGroup");
  EXPECT_EQ(log.detail,
            "Name=Operators>Night shift;web-01=read write>read write;db-01=read write>read write;"
            "router-console=read write>read write;install-media=read write>read write;");

  EXPECT_EQ(call(group("3", "Night shift", "0000"))["retMsg"], kDuplicate);
  Json::Value hostile = group("3", "x", "0000");
  hostile["priv"]["id"] = "3 or 1=1";
  EXPECT_EQ(call(hostile)["ret"], "err");
  EXPECT_EQ(root_.scalar("select count(*) from priv2 where dog='0000' or nm='x';"), "0");
  EXPECT_EQ(logCount(root_), 1);
}

}  // namespace
