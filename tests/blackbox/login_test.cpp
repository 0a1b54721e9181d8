// Login seen from the browser: failure counting and the lock, the factory-mode
// rule, the password age, and what a successful login stores. The program runs
// under TZ=UTC0 so that the tests can write its local times.
#include <gtest/gtest.h>

#include <ctime>

#include "testroot.h"

using korvantest::TempRoot;

using korvantest::atOneSecond;

namespace {

const std::map<std::string, std::string> kUtc{{"TZ", "UTC0"}};
const char* const kLocked = "Exceed max retry count. Please login after 20 minutes";

std::string utcText(time_t t) {
  struct tm parts {};
  gmtime_r(&t, &parts);
  char buf[32];
  strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &parts);
  return buf;
}

Json::Value login(const TempRoot& root, const std::string& name, const std::string& pw,
                  const std::string& timezone = "0") {
  Json::Value request;
  request["type"] = "login";
  request["userNM"] = name;
  request["pw"] = pw;
  request["timezone"] = timezone;
  return korvantest::ajax(root, request, kUtc);
}

std::string wrongTimes(int n) {
  return "User Name or Password error: " + std::to_string(n) + " times";
}

TEST(Login, LockOutLifeCycle) {
  TempRoot root;  // the seed's policy allows 3 failures
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(login(root, "admin", "bad")["retMsg"], wrongTimes(n));
  // Locked: even the right password is refused without being tested.
  Json::Value reply = login(root, "admin", "admin");
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_EQ(reply["retMsg"], kLocked);
  EXPECT_EQ(root.scalar("select status from user2 where id=1;"), "0");

  // Still locked at exactly 1200 seconds after the third failure.
  reply = atOneSecond([&](time_t now) {
    // A try that crossed into the next second may have logged in and reset
    // the count: every try starts from the lock.
    root.exec("update userLock set f_wrongTimes=3, f_datetime='" + utcText(now - 1200) + "';");
    return login(root, "admin", "admin");
  });
  EXPECT_EQ(reply["retMsg"], kLocked);

  // One second more and a fresh series begins.
  root.exec("update userLock set f_datetime='" + utcText(time(nullptr) - 1201) + "';");
  EXPECT_EQ(login(root, "admin", "bad")["retMsg"], wrongTimes(1));
  EXPECT_EQ(login(root, "admin", "bad")["retMsg"], wrongTimes(2));
  reply = login(root, "admin", "admin");
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root.query("select f_userName, f_wrongTimes from userLock;"),
            (std::vector<std::vector<std::string>>{{"admin", "0"}}));
}

TEST(Login, UnknownNamesAreCountedAndNamesStayInTheirLiterals) {
  TempRoot root;
  EXPECT_EQ(login(root, "ghost", "x")["retMsg"], wrongTimes(1));
  EXPECT_EQ(login(root, "o'brien", "x' or '1'='1")["retMsg"], wrongTimes(1));
  EXPECT_EQ(login(root, "o'brien", "x")["retMsg"], wrongTimes(2));
  EXPECT_EQ(root.query("select f_userName, f_wrongTimes from userLock order by f_id;"),
            (std::vector<std::vector<std::string>>{{"ghost", "1"}, {"o'brien", "2"}}));
  EXPECT_EQ(login(root, "Admin", "admin")["retMsg"], wrongTimes(1));  // names are case-sensitive

  // Without a limit nobody is locked, but failures still count.
  root.exec("update secureConf set f_pwd='{\"pwdTry\":0}';");
  for (int n = 2; n <= 5; ++n) EXPECT_EQ(login(root, "ghost", "x")["retMsg"], wrongTimes(n));
}

TEST(Login, FactoryModeAdmitsOnlySuperAdministrators) {
  TempRoot root;
  root.exec("update other2 set factoryMode=1;");
  root.exec("insert into userLock values (null, '2020-01-01 00:00:00', 'operator', 2);");
  Json::Value reply = login(root, "operator", "operator", "60");
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_EQ(reply["retMsg"], "factory mode,only superAdmin can login");
  EXPECT_EQ(root.scalar("select f_wrongTimes from userLock;"), "0");
  EXPECT_EQ(root.query("select status, token, timezone from user2 where id=2;")[0],
            (std::vector<std::string>{"0", "6274", "0"}));
  EXPECT_EQ(login(root, "admin", "admin")["ret"], "ok");
}

TEST(Login, PasswordAgeBoundary) {
  TempRoot root;  // pwdExpire 90 days
  Json::Value reply = atOneSecond([&](time_t now) {
    root.exec("update user2 set pwdExpire='" + utcText(now - 90 * 86400) + "' where id=1;");
    return login(root, "admin", "admin");
  });
  EXPECT_EQ(reply["ret"], "ok");
  EXPECT_FALSE(reply.isMember("retMsg"));

  root.exec("update user2 set pwdExpire='" + utcText(time(nullptr) - 90 * 86400 - 1) +
            "' where id=1;");
  reply = login(root, "admin", "admin");
  EXPECT_EQ(reply["ret"], "ok");
  EXPECT_EQ(reply["retMsg"], "Password has expired. Please update.");

  // An unreadable date counts as long ago; without a lifetime nothing expires.
  root.exec("update user2 set pwdExpire='' where id=1;");
  EXPECT_EQ(login(root, "admin", "admin")["retMsg"], "Password has expired. Please update.");
  root.exec("update secureConf set f_pwd='not json';");
  reply = login(root, "admin", "admin");
  EXPECT_EQ(reply["ret"], "ok");
  EXPECT_FALSE(reply.isMember("retMsg"));
}

TEST(Login, OpensTheSession) {
  TempRoot root;
  root.exec("update user2 set loginTime='2020-05-06 07:08:09' where id=1;");
  time_t before = time(nullptr);
  Json::Value reply = login(root, "admin", "admin", "-480");
  time_t after = time(nullptr);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  auto row = root.query(
      "select status, loginTime2, loginTime, expireTime, token, timezone from user2 where id=1;")
                 [0];
  EXPECT_EQ(row[0], "1");
  EXPECT_EQ(row[1], "2020-05-06 07:08:09");
  EXPECT_TRUE(row[2] == utcText(before) || row[2] == utcText(after)) << row[2];
  long expire = std::stol(row[3]);
  EXPECT_GE(expire, before + 600);
  EXPECT_LE(expire, after + 600);
  EXPECT_EQ(row[4].size(), 32u);
  EXPECT_EQ(row[4].find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(reply["curUser"]["token"], row[4]);
  EXPECT_EQ(row[5], "-480");
}

TEST(Login, PasswordsNeverReachTheTraceLog) {
  TempRoot root;
  root.exec("update user2 set pw='Zq9-secret' where id=1;");
  login(root, "admin", "Zq9-wrong");
  EXPECT_EQ(login(root, "admin", "Zq9-secret")["ret"], "ok");
  std::string log = root.traceLog();
  EXPECT_NE(log.find("\"pw\" : \"***\""), std::string::npos);
  EXPECT_EQ(log.find("Zq9"), std::string::npos) << log;
}

}  // namespace
