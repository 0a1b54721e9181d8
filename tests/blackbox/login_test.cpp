// Login and sessions. Logins run under TZ=UTC0 so that the tests can write the
// program's local times.
#include <gtest/gtest.h>

#include <ctime>

#include "calls.h"
#include "testroot.h"
#include "util/token_hash.h"

namespace korvantest {
namespace {

const char* const kLocked = "Exceed max retry count. Please login after 20 minutes";
const char* const kExpired = "Password has expired. Please update.";
const char* const kRefused = "curUser has loginned or idle timeout";

std::string utcText(time_t t) {
  struct tm parts {};
  gmtime_r(&t, &parts);
  char buf[32];
  strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &parts);
  return buf;
}

Json::Value login(const TempRoot& root, const std::string& name, const std::string& pw,
                  const char* timezone = "0") {
  Json::Value request = loginRequest(name, pw);
  request["timezone"] = timezone;
  return ajax(root, request, {{"TZ", "UTC0"}});
}

std::string wrong(int n) { return "User Name or Password error: " + std::to_string(n) + " times"; }

TEST(Login, LockOutLifeCycle) {
  TempRoot root;  // the seed's policy allows 3 failures
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(login(root, "admin", "bad")["retMsg"], wrong(n));
  // Locked: even the right password is refused, still at exactly 1200 s.
  EXPECT_EQ(login(root, "admin", "admin")["retMsg"], kLocked);
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "0");
  Json::Value reply = atOneSecond([&](time_t now) {
    // A try that crossed into the next second may have logged in and reset
    // the count: every try starts from the lock.
    root.exec("update userLock set f_wrongTimes=3, f_datetime='" + utcText(now - 1200) + "';");
    return login(root, "admin", "admin");
  });
  EXPECT_EQ(reply["retMsg"], kLocked);

  // One second more and a fresh series begins; a success resets it.
  root.exec("update userLock set f_datetime='" + utcText(time(nullptr) - 1201) + "';");
  for (int n = 1; n <= 2; ++n) EXPECT_EQ(login(root, "admin", "bad")["retMsg"], wrong(n));
  EXPECT_EQ(login(root, "admin", "admin")["ret"], "ok");
  EXPECT_EQ(root.scalar("select f_userName||f_wrongTimes from userLock;"), "admin0");
  // The failure that reaches the limit starts the lock, however long ago the
  // series began.
  root.exec("update userLock set f_wrongTimes=2, f_datetime='" + utcText(time(nullptr) - 5000) +
            "';");
  EXPECT_EQ(login(root, "admin", "bad")["retMsg"], wrong(3));
  EXPECT_EQ(login(root, "admin", "admin")["retMsg"], kLocked);

  // Unknown names count too, each name in its literal and case-sensitive.
  EXPECT_EQ(login(root, "o'brien", "x' or '1'='1")["retMsg"], wrong(1));
  EXPECT_EQ(login(root, "o'brien", "x")["retMsg"], wrong(2));
  EXPECT_EQ(login(root, "Admin", "admin")["retMsg"], wrong(1));
  // Without a limit nobody is locked, but failures still count.
  root.exec("update secureConf set f_pwd='{\"pwdTry\":0}';");
  for (int n = 3; n <= 5; ++n) EXPECT_EQ(login(root, "o'brien", "x")["retMsg"], wrong(n));
}

TEST(Login, FactoryModeAdmitsOnlySuperAdministrators) {
  TempRoot root;
  root.exec(
      "update other2 set factoryMode=1;"
      "insert into userLock values (null, '2020-01-01 00:00:00', 'operator', 2);");
  Json::Value reply = login(root, "operator", "operator", "60");
  EXPECT_EQ(reply["ret"].asString() + reply["retMsg"].asString(),
            "errfactory mode,only superAdmin can login");
  EXPECT_EQ(root.scalar("select f_wrongTimes from userLock;"), "0");
  EXPECT_EQ(root.scalar("select status||token||timezone from user2 where id=2;"), "062740");
  EXPECT_EQ(login(root, "admin", "admin")["ret"], "ok");
}

TEST(Login, PasswordAge) {
  TempRoot root;  // pwdExpire 90 days
  Json::Value reply = atOneSecond([&](time_t now) {
    root.exec("update user2 set pwdExpire='" + utcText(now - 90 * 86400) + "' where id=1;");
    return login(root, "admin", "admin");
  });
  EXPECT_EQ(reply.get("retMsg", "none"), "none") << reply;
  // One second older, or unreadable: expired; without a lifetime, never.
  const std::string older = utcText(time(nullptr) - 90 * 86400 - 1);
  for (const std::string& date : {older, std::string()}) {
    root.exec("update user2 set pwdExpire='" + date + "' where id=1;");
    reply = login(root, "admin", "admin");
    EXPECT_EQ(reply["ret"].asString() + reply["retMsg"].asString(), std::string("ok") + kExpired);
  }
  root.exec("update secureConf set f_pwd='not json';");
  EXPECT_FALSE(login(root, "admin", "admin").isMember("retMsg"));
}

TEST(Login, OpensTheSession) {
  TempRoot root;
  root.exec("update user2 set loginTime='2020-05-06 07:08:09', pw='Zq9-secret' where id=1;");
  login(root, "admin", "Zq9-wrong");
  const time_t before = time(nullptr);
  Json::Value reply = login(root, "admin", "Zq9-secret", "-480");
  const time_t after = time(nullptr);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  auto row = root.query(
      "select status, loginTime2, loginTime, expireTime, token, timezone from user2 where id=1")[0];
  EXPECT_EQ(row[0] + " " + row[1] + " " + row[5], "1 2020-05-06 07:08:09 -480");
  // A second within the login (the texts sort as the times do).
  EXPECT_TRUE(utcText(before) <= row[2] && row[2] <= utcText(after)) << row[2];
  EXPECT_GE(std::stol(row[3]), before + 600);
  EXPECT_LE(std::stol(row[3]), after + 600);
  // The reply carries the token; the row only its hash.
  const std::string token = reply["curUser"]["token"].asString();
  EXPECT_EQ(token.find_first_not_of("0123456789abcdef") == std::string::npos ? token.size() : 0,
            32u);
  EXPECT_EQ(row[4], korvan::tokenHash(token));
  // Passwords never reach the trace log; the request records show the time
  // zone at the top and again as the user's.
  const std::string trace = root.traceLog();
  EXPECT_NE(trace.find("\"pw\" : \"***\""), std::string::npos);
  EXPECT_EQ(trace.find("Zq9"), std::string::npos);
  for (const char* id : {"693_Time:", "832_Time:"}) {
    const size_t start = trace.rfind(id);
    ASSERT_NE(start, std::string::npos) << id;
    const std::string record = trace.substr(start, trace.find("_Time:", start + 9) - start);
    const size_t user = record.find("\"user\" :");
    EXPECT_NE(user, std::string::npos) << record;
    EXPECT_NE(record.find("\"timezone\" : \"-480\"", user), std::string::npos) << record;
  }
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
  Json::Value logout = sessionRequest(root, "logout");
  // An id that is no number, and tokens that would match as patterns.
  for (const auto& [id, token] :
       {std::pair{"1 or 1=1", "test-token-1"}, {"1", "%"}, {"1", "test-token-_"}}) {
    logout["user"]["id"] = id;
    logout["user"]["token"] = token;
    EXPECT_EQ(ajax(root, logout)["ret"], "err") << id << " " << token;
  }
  root.exec("update user2 set pid=99 where id=1");  // a user whose group is gone
  EXPECT_EQ(ajax(root, sessionRequest(root, "logout"))["ret"], "err");
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "1");
}

TEST(Session, SecondLoginReplacesTheFirstAndLogoutClosesIt) {
  TempRoot root;
  root.exec("update user2 set status=1, expireTime=1 where id=2;");
  std::string tokens[2];
  for (std::string& token : tokens)
    token = login(root, "admin", "admin")["curUser"]["token"].asString();
  EXPECT_NE(tokens[0], tokens[1]);
  EXPECT_EQ(root.scalar("select status from user2 where id=2;"), "0") << "a login sweeps";

  Json::Value call = parseJson(R"({"type":"ref","userID":"1","user":{"id":"1"}})");
  call["user"]["token"] = tokens[0];
  EXPECT_EQ(ajax(root, call)["retMsg"], kRefused);
  call["user"]["token"] = tokens[1];
  EXPECT_EQ(ajax(root, call)["ret"], "ok");

  // Logout closes the session and leaves the token and the expiry alone.
  const std::string expire = root.scalar("select expireTime from user2 where id=1;");
  call["type"] = "logout";
  EXPECT_EQ(ajax(root, call)["ret"], "ok");
  EXPECT_EQ(root.query("select status, token, expireTime from user2 where id=1;")[0],
            (std::vector<std::string>{"0", korvan::tokenHash(tokens[1]), expire}));
  call["type"] = "ref";
  EXPECT_EQ(ajax(root, call)["retMsg"], kRefused);
}

}  // namespace
}  // namespace korvantest
