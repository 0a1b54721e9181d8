// Sessions: the token check, the idle expiry and its exact bound, replacement
// by a second login, logout.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>

#include "testroot.h"

namespace korvantest {
namespace {

const char* const kRefused = "curUser has loginned or idle timeout";

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

  // One second later it has lapsed. The refused request writes nothing; the
  // next admitted request of anyone sweeps it closed.
  root.exec("update user2 set expireTime=" + std::to_string(time(nullptr) - 1) + " where id=1;");
  EXPECT_EQ(ajax(root, ref)["retMsg"], kRefused);
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "1");
  EXPECT_EQ(ajax(root, sessionRequest(root, "ref", "2"))["ret"], "ok");
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "0");
}

TEST(Session, TokenCheckRefusals) {
  TempRoot root;
  const std::function<void(Json::Value&, const TempRoot&)> variants[] = {
      [](Json::Value& r, auto&) { r["user"]["token"] = "x' or '1'='1"; },
      [](Json::Value& r, auto&) { r["user"]["id"] = "1 or 1=1"; },
      [](Json::Value& r, auto&) { r.removeMember("user"); },  // a user id alone
      [](Json::Value&, auto& root) { root.exec("update user2 set pid=99 where id=1"); },  // no group
  };
  for (const auto& variant : variants) {
    Json::Value logout = sessionRequest(root, "logout");
    variant(logout, root);
    EXPECT_EQ(ajax(root, logout)["ret"], "err");
    EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "1");
  }
}

TEST(Session, SecondLoginReplacesTheFirstAndLogoutClosesIt) {
  TempRoot root;
  root.exec("update user2 set status=1, expireTime=1 where id=2;");
  Json::Value login;
  login["type"] = "login";
  login["userNM"] = "admin";
  login["pw"] = "admin";
  std::string tokens[2];
  for (std::string& token : tokens) token = ajax(root, login)["curUser"]["token"].asString();
  EXPECT_NE(tokens[0], tokens[1]);
  EXPECT_EQ(root.scalar("select status from user2 where id=2;"), "0") << "a login sweeps";

  Json::Value call;
  call["type"] = "ref";
  call["userID"] = call["user"]["id"] = "1";
  call["user"]["token"] = tokens[0];
  EXPECT_EQ(ajax(root, call)["retMsg"], kRefused);
  call["user"]["token"] = tokens[1];
  EXPECT_EQ(ajax(root, call)["ret"], "ok");

  // Logout closes the session and leaves the token and the expiry alone.
  const std::string expire = root.scalar("select expireTime from user2 where id=1;");
  call["type"] = "logout";
  EXPECT_EQ(ajax(root, call)["ret"], "ok");
  EXPECT_EQ(root.query("select status, token, expireTime from user2 where id=1;")[0],
            (std::vector<std::string>{"0", tokens[1], expire}));
  call["type"] = "ref";
  EXPECT_EQ(ajax(root, call)["retMsg"], kRefused);
}

}  // namespace
}  // namespace korvantest
