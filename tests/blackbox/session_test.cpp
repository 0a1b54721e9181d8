// Sessions seen from the browser: the token check, the idle expiry and its
// exact bound, replacement by a second login, logout and refresh.
#include <gtest/gtest.h>

#include <ctime>
#include <set>

#include "testroot.h"

using korvantest::ajax;
using korvantest::sessionRequest;
using korvantest::TempRoot;

using korvantest::atOneSecond;

namespace {

const char* const kRefused = "curUser has loginned or idle timeout";

Json::Value loginAs(const TempRoot& root, const std::string& name, const std::string& pw) {
  Json::Value request;
  request["type"] = "login";
  request["userNM"] = name;
  request["pw"] = pw;
  request["timezone"] = "0";
  return ajax(root, request);
}

TEST(Session, IdleExpiryBoundary) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  // A request at exactly expireTime still passes and slides the expiry.
  time_t at = 0;
  Json::Value reply = atOneSecond([&](time_t now) {
    at = now;
    root.exec("update user2 set status=1, expireTime=" + std::to_string(now) + " where id=1;");
    return ajax(root, ref);
  });
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root.scalar("select expireTime from user2 where id=1;"), std::to_string(at + 600));

  // One second later the session has lapsed. The refused request writes
  // nothing; the next admitted request of anyone sweeps it closed.
  root.exec("update user2 set status=1, expireTime=" + std::to_string(time(nullptr) - 1) +
            " where id=1;");
  reply = ajax(root, ref);
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_EQ(reply["retMsg"], kRefused);
  EXPECT_FALSE(reply.isMember("curUser"));
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "1");
  EXPECT_EQ(ajax(root, sessionRequest(root, "ref", "2"))["ret"], "ok");
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "0");
}

TEST(Session, TokenCheckRefusals) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");

  Json::Value wrong = ref;
  wrong["user"]["token"] = "test-token-1x";
  EXPECT_EQ(ajax(root, wrong)["retMsg"], kRefused);

  Json::Value hostile = ref;  // a value outside its literal changes nothing
  hostile["user"]["token"] = "x' or '1'='1";
  EXPECT_EQ(ajax(root, hostile)["retMsg"], kRefused);
  hostile = ref;
  hostile["user"]["id"] = "1 or 1=1";
  EXPECT_EQ(ajax(root, hostile)["ret"], "err");

  // No user id at all names no session either.
  Json::Value anonymous;
  anonymous["type"] = "ref";
  EXPECT_EQ(ajax(root, anonymous)["retMsg"], kRefused);

  // A user whose group is gone fails even with the right token.
  root.exec("update user2 set pid=99 where id=1;");
  EXPECT_EQ(ajax(root, ref)["retMsg"], kRefused);
}

TEST(Session, SecondLoginReplacesTheFirstToken) {
  TempRoot root;
  Json::Value first = loginAs(root, "admin", "admin");
  Json::Value second = loginAs(root, "admin", "admin");
  ASSERT_EQ(first["ret"], "ok");
  ASSERT_EQ(second["ret"], "ok");
  std::string firstToken = first["curUser"]["token"].asString();
  std::string secondToken = second["curUser"]["token"].asString();
  EXPECT_NE(firstToken, secondToken);
  EXPECT_EQ(root.scalar("select token from user2 where id=1;"), secondToken);

  Json::Value ref;
  ref["type"] = "ref";
  ref["userID"] = "1";
  ref["user"]["id"] = "1";
  ref["user"]["token"] = firstToken;
  EXPECT_EQ(ajax(root, ref)["retMsg"], kRefused);
  ref["user"]["token"] = secondToken;
  EXPECT_EQ(ajax(root, ref)["ret"], "ok");
}

TEST(Session, LogoutClosesOnlyTheCallersSession) {
  TempRoot root;
  Json::Value logout = sessionRequest(root, "logout");
  std::string expire = root.scalar("select expireTime from user2 where id=1;");
  Json::Value bare;  // a user id alone names no session
  bare["type"] = "logout";
  bare["userID"] = "1";
  EXPECT_EQ(ajax(root, bare)["retMsg"], kRefused);
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "1");

  Json::Value reply = ajax(root, logout);
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  auto row = root.query("select status, token, expireTime from user2 where id=1;");
  EXPECT_EQ(row[0], (std::vector<std::string>{"0", "test-token-1", expire}));
}

TEST(Session, LoginRequestRunsTheSweep) {
  TempRoot root;
  root.exec("update user2 set status=1, expireTime=1 where id=2;");
  ASSERT_EQ(loginAs(root, "admin", "admin")["ret"], "ok");
  EXPECT_EQ(root.scalar("select status from user2 where id=2;"), "0");
}

TEST(Session, RefReturnsOnlyTheSnapshot) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  ref["extra"] = "ignored";
  auto names = [](const Json::Value& v) {
    auto list = v.getMemberNames();
    return std::set<std::string>(list.begin(), list.end());
  };
  const std::set<std::string> snapshot{
      "softVersion", "serverTime", "factoryMode", "curUser", "server",   "privs", "users",
      "ips",         "serverips",  "serials",     "dogs",    "dogInfos", "ret"};
  Json::Value reply = ajax(root, ref);
  EXPECT_EQ(reply["ret"], "ok");
  EXPECT_EQ(names(reply), snapshot);

  // The first-login flag joins in normal mode only.
  root.exec("update secureConf set f_firstLogin=1;");
  std::set<std::string> withFlag = snapshot;
  withFlag.insert("firstLogin");
  reply = ajax(root, ref);
  EXPECT_EQ(names(reply), withFlag);
  EXPECT_EQ(reply["firstLogin"], true);
  std::string trace = root.traceLog();
  size_t record = trace.rfind("845_Time:");
  ASSERT_NE(record, std::string::npos);
  EXPECT_EQ(trace.substr(record + 17, 8), "Msg:::1\n");
  // A failed call carries no flag.
  Json::Value stale = ref;
  stale["user"]["token"] = "stale";
  EXPECT_FALSE(ajax(root, stale).isMember("firstLogin"));
  root.exec("update other2 set factoryMode=1;");
  EXPECT_EQ(names(ajax(root, ref)), snapshot);
}

}  // namespace
