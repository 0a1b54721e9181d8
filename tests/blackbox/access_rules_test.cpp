// The access rules beyond the permission table: identity from the session,
// no secrets in replies, the old-password rule, markup-free reply bodies, and
// the login lock-out under parallel attempts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {

Json::Value parse(const std::string& text) {
  Json::Value value;
  Json::Reader().parse(text, value);
  return value;
}

TEST(AccessRules, IdentityComesFromTheSession) {
  TempRoot root;
  FakeDaemon daemon;
  root.exec("update dogInfo2 set setted=1, uid='U1A0000002' where id=2;");
  // The operator claims the administrator's name; a user id that is absent is
  // no refusal.
  Json::Value qt = sessionRequest(root, "qt", "2");
  qt["user"]["nm"] = "admin";
  qt.removeMember("userID");
  qt["dogPara"]["id"] = "2";
  Json::Value reply = ajax(root, qt, {{"KORVAN_ARM_PORT", std::to_string(daemon.port())}}, "10.1.1.7");
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  const Json::Value session = parse(reply["qt"].asString());
  EXPECT_EQ(session["userNM"], "operator");
  EXPECT_EQ(session["userID"], "2");
  const std::vector<Bytes> packets = daemon.packets();
  ASSERT_EQ(packets.size(), 1u);
  const Bytes& packet = packets[0];  // user name at 23, address at 56, id at 66
  EXPECT_EQ(std::string(packet.begin() + 23, packet.begin() + 31), "operator");
  EXPECT_EQ(Bytes(packet.begin() + 56, packet.begin() + 60), (Bytes{7, 1, 1, 10}));
  EXPECT_EQ(packet[69], 2);
  EXPECT_EQ(reply["curUser"]["nm"], "operator");

  // The log names the session's user and the client's address.
  Json::Value ips = sessionRequest(root, "modifyIPS", "1");
  ips["user"]["nm"] = "operator";
  ips["ipsPara"]["action"] = "insIP";
  ips["ipsPara"]["newIP"] = "10.0.0.9";
  ASSERT_EQ(ajax(root, ips, {}, "10.1.1.8")["ret"], "ok");
  EXPECT_EQ(root.query("select user, ip from log2"),
            (std::vector<std::vector<std::string>>{{"admin", "10.1.1.8"}}));
}

TEST(AccessRules, NoPasswordOrTokenInAnyReply) {
  TempRoot root;
  root.exec("update user2 set pw='secret-' || id;");
  sessionRequest(root, "ref", "2");
  Json::Value login;
  login["type"] = "login";
  login["userNM"] = "admin";
  login["pw"] = "secret-1";
  std::vector<std::string> bodies{postAjax(root, login).body()};
  const std::string loginToken = root.scalar("select token from user2 where id=1");
  bodies.push_back(postAjax(root, sessionRequest(root, "ref", "1")).body());

  for (const std::string& body : bodies) {
    const Json::Value reply = parse(body);
    ASSERT_EQ(reply["ret"], "ok") << body;
    EXPECT_EQ(reply["curUser"]["pw"], "");
    const std::string own = &body == &bodies[0] ? loginToken : "test-token-1";
    EXPECT_EQ(reply["curUser"]["token"], own) << "the caller's own token";
    for (const Json::Value& user : reply["users"]) {
      EXPECT_EQ(user["pw"], "");
      EXPECT_EQ(user["token"], "");
    }
    for (const char* secret : {"secret-", "test-token-2"}) {
      EXPECT_EQ(body.find(secret), std::string::npos) << secret;
    }
  }
}

TEST(AccessRules, OwnPasswordNeedsTheOldOne) {
  struct Case {
    const char* caller;
    const char* target;
    const char* oldPw;  // nullptr: not sent
    const char* ret;
    const char* retMsg;
  };
  const Case cases[] = {
      {"1", "1", nullptr, "warning", "old password wrong"},
      {"1", "1", "wrong", "warning", "old password wrong"},
      {"2", "2", "admin", "warning", "old password wrong"},
      {"2", "2", "operator", "ok", ""},
      {"1", "1", "admin", "ok", ""},
      {"1", "2", nullptr, "ok", ""},  // an administrator sets another user's password
  };
  for (const Case& c : cases) {
    TempRoot root;
    Json::Value request = sessionRequest(root, "updUser", c.caller);
    auto row = root.query("select u.id,u.nm,u.memo,u.pid,p.nm,u.dog,code,frame,media,nm2,addrH,"
                          "addrC,phone,email,prior,memo2 from user2 u join priv2 p on p.id=u.pid"
                          " where u.id=" + std::string(c.target))[0];
    const char* keys[] = {"id",    "nm",  "memo",  "pid",   "pidCN", "dogDB", "code",  "frame",
                          "media", "nm2", "addrH", "addrC", "phone", "email", "prior", "memo2"};
    for (size_t i = 0; i < 16; ++i) request["userPara"][keys[i]] = row[i];
    request["userPara"]["pw"] = "fresh";
    request["userPara"]["setPW"] = "yes";
    if (c.oldPw) request["userPara"]["oldPw"] = c.oldPw;
    const std::string pwOf = "select pw from user2 where id=" + std::string(c.target);
    const std::string before = root.scalar(pwOf);
    Json::Value reply = ajax(root, request);
    const std::string what = std::string(c.caller) + "->" + c.target;
    EXPECT_EQ(reply["ret"], c.ret) << what;
    EXPECT_EQ(reply["retMsg"].asString(), c.retMsg) << what;
    EXPECT_EQ(root.scalar(pwOf), std::string(c.ret) == "ok" ? "fresh" : before) << what;

    // Without "yes" in setPW the password sent takes no part: nothing else
    // changed, so nothing is modified.
    request["userPara"]["setPW"] = "no";
    request["userPara"]["pw"] = "";
    if (std::string(c.caller) == "1") {
      EXPECT_EQ(ajax(root, request)["retMsg"], "Nothing modified") << what;
    }
  }
}

TEST(AccessRules, ReplyBodiesHoldNoMarkup) {
  TempRoot root;
  const std::string memo = "<img src=x onerror=alert(1)> & \xE2\x80\xA8 \\<b>";
  root.exec("update user2 set memo='" + memo + "' where id=2;");
  Json::Value probe = sessionRequest(root, "ref", "1");
  probe["user"]["id"] = "<img src=x>";  // refused, and not echoed raw either
  for (const Json::Value& request : {sessionRequest(root, "ref", "1"), probe}) {
    const std::string body = postAjax(root, request).body();
    EXPECT_EQ(body.find_first_of("<>&"), std::string::npos) << body;
    EXPECT_EQ(body.find("\xE2\x80\xA8"), std::string::npos);
    const Json::Value reply = parse(body);
    ASSERT_TRUE(reply.isObject()) << body;
    if (reply["ret"] == "ok") {
      EXPECT_EQ(reply["users"][0]["memo"], memo) << "the operator's";
    }
  }
}

// Runs `count` copies of each request at once, as separate processes.
std::vector<std::string> inParallel(const TempRoot& root,
                                    const std::vector<std::pair<Json::Value, int>>& requests) {
  std::string script = "cd '" + root.cgiDir() + "'\n";
  std::vector<std::string> bodies;
  for (const auto& [request, count] : requests) {
    const std::string form = "postKey=" + urlEncode(Json::FastWriter().write(request));
    for (int i = 0; i < count; ++i) {
      bodies.push_back(root.path("body" + std::to_string(bodies.size())));
      writeFile(bodies.back(), form);
      script += "env -i KORVAN_ROOT='" + root.dir() + "' REQUEST_METHOD=POST REMOTE_ADDR=127.0.0.1"
                " CONTENT_TYPE=application/x-www-form-urlencoded CONTENT_LENGTH=" +
                std::to_string(form.size()) + " '" KORVAN_CGI_PATH "' < '" + bodies.back() +
                "' > '" + bodies.back() + ".out' &\n";
    }
  }
  writeFile(root.path("run.sh"), script + "wait\n");
  EXPECT_EQ(std::system(("sh '" + root.path("run.sh") + "'").c_str()), 0);
  std::vector<std::string> replies;
  for (const std::string& body : bodies) replies.push_back(readFile(body + ".out"));
  return replies;
}

TEST(AccessRules, LockOutHoldsUnderParallelAttempts) {
  TempRoot root;  // the seed's policy allows 3 failures
  Json::Value wrong;
  wrong["type"] = "login";
  wrong["userNM"] = "operator";
  wrong["pw"] = "guess";
  int tested = 0;
  for (const std::string& reply : inParallel(root, {{wrong, 20}, {sessionRequest(root, "ref"), 10}})) {
    if (reply.find("User Name or Password error") != std::string::npos) ++tested;
  }
  EXPECT_LE(tested, 3);
  EXPECT_LE(std::atoi(root.scalar("select f_wrongTimes from userLock").c_str()), 3);
}

TEST(AccessRules, LoginNamesAreBoundedAndStaleRowsOfStrangersGo) {
  TempRoot root;
  root.exec("insert into userLock values (null, '2000-01-01 00:00:00', 'ghost', 3);"
            "insert into userLock values (null, '2000-01-01 00:00:00', 'admin', 3);");
  Json::Value login;
  login["type"] = "login";
  login["pw"] = "x";
  for (size_t size : {257u, 256u}) {
    login["userNM"] = std::string(size, 'n');
    Json::Value reply = ajax(root, login);
    EXPECT_EQ(reply["ret"], "err");
    EXPECT_EQ(root.scalar("select count(*) from userLock where length(f_userName)=" +
                          std::to_string(size)),
              size == 256 ? "1" : "0");
  }
  EXPECT_EQ(root.query("select f_userName from userLock where length(f_userName)<256"),
            (std::vector<std::vector<std::string>>{{"admin"}}));
}

}  // namespace
}  // namespace korvantest
