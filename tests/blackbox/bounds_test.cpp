// Requests refused at their bounds, end to end: multipart fields past 1 MiB,
// a clock value the switch cannot take, old-password guessing, and where the
// local reboot's output goes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "actions_helpers.h"
#include "calls.h"
#include "fake_daemon.h"
#include "testroot.h"
#include "util/password_hash.h"

namespace korvantest {
namespace {

using actionsbb::lastLog;

class Bounds : public ::testing::Test {
 protected:
  std::map<std::string, std::string> daemonEnv() {
    return {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())}};
  }
  TempRoot root_;
  FakeDaemon daemon_;
};

// The fields of a multipart body share the 1 MiB of a plain body; files do
// not count.
TEST_F(Bounds, MultipartFieldsOverOneMebibyte) {
  const std::string postKey = Json::FastWriter().write(sessionRequest(root_, "ref"));
  const std::string half(600 * 1024, 'x');
  const struct {
    const char* what;
    std::vector<FormPart> parts;
    bool refused;
  } rows[] = {
      {"one field", {{"postKey", std::nullopt, postKey}, {"memo", std::nullopt, half}}, false},
      {"two fields",
       {{"postKey", std::nullopt, postKey},
        {"memo", std::nullopt, half},
        {"memo2", std::nullopt, half}},
       true},
      {"a file", {{"postKey", std::nullopt, postKey}, {"f", "a.bin", half + half}}, false},
  };
  for (const auto& row : rows) {
    const CgiResult result = runCgi(root_, multipartRequest(row.parts));
    EXPECT_EQ(result.out.rfind("Status: 413", 0) == 0, row.refused) << row.what;
    EXPECT_EQ(replyOf(result)["retMsg"].asString(), row.refused ? "request too large" : "")
        << row.what;
  }
}

// setTime takes only a date-time the packet can carry: anything else is
// refused with nothing sent or recorded.
TEST_F(Bounds, SetTimeRefusesWhatThePacketCannotCarry) {
  auto env = daemonEnv();
  env["TZ"] = "UTC";
  for (const char* bad : {"abc", "", "9999-12-31 23:59:59", "2026-13-45 99:99:99",
                          "1999-12-31 23:59:59", "2038-01-19 03:14:08"}) {
    const Json::Value reply =
        ajax(root_, call(root_, "setTime", std::string(R"({"time2":")") + bad + "\"}"), env);
    EXPECT_EQ(reply["ret"].asString() + " " + reply["retMsg"].asString(),
              "warning invalid time: time2")
        << bad;
  }
  EXPECT_TRUE(daemon_.packets().empty());
  EXPECT_EQ(root_.scalar("select count(*) from log2"), "0");
  const Json::Value ok = ajax(root_, call(root_, "setTime", R"({"time2":"2038-01-19 03:14:07"})"), env);
  EXPECT_EQ(ok["ret"], "ok") << ok["retMsg"];
  ASSERT_EQ(daemon_.packets().size(), 1u);
  EXPECT_EQ(lastLog(root_).detail, "time=2038-01-19 03:14:07;");
}

// A wrong old password counts towards the lock as a failed login does, and
// a locked name cannot change its password either.
TEST_F(Bounds, OldPasswordGuessesCountTowardsTheLock) {
  auto attempt = [&](const std::string& oldPw) {
    Json::Value request = sessionRequest(root_, "updUser", "2");
    userRow(request, root_, "2");
    request["userPara"]["oldPw"] = oldPw;
    const Json::Value reply = ajax(root_, request);
    return reply["ret"].asString() + " " + reply["retMsg"].asString();
  };
  const std::string pw = "operator";  // the seed's
  const std::string stored = root_.scalar("select pw from user2 where id=2");
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(attempt("guess"), "warning old password wrong") << i;
  EXPECT_EQ(root_.scalar("select group_concat(typeSub||':'||rtrim(sth,char(10)),' ') from log2"),
            R"(loginFailed:[{"nm":"reason","v1":"wrong old password"}] )"
            R"(loginFailed:[{"nm":"reason","v1":"wrong old password"}] )"
            R"(loginFailed:[{"nm":"reason","v1":"wrong old password"}] )"
            R"(lockout:[{"nm":"failures","v1":"3"}])");
  // Locked: the right old password is not even tested, nor is the login.
  EXPECT_EQ(attempt(pw), "err Exceed max retry count. Please login after 20 minutes");
  EXPECT_EQ(attempt(pw), "err Exceed max retry count. Please login after 20 minutes");
  EXPECT_EQ(lastLog(root_).detail, "reason=locked;further attempts=1;");
  EXPECT_EQ(root_.scalar("select pw from user2 where id=2"), stored);
  EXPECT_EQ(ajax(root_, loginRequest("operator", pw))["ret"], "err");
  // Once the lock is lifted, the right old password changes it.
  root_.exec("delete from userLock");
  EXPECT_EQ(attempt(pw), "ok ");
  EXPECT_TRUE(korvan::verifyPassword("new-secret", root_.scalar("select pw from user2 where id=2")));
}

// The local reboot's output is written to the run folder, not the web root.
TEST_F(Bounds, RebootOutputOutsideTheWebRoot) {
  const std::string marker = stubReboot(root_);
  writeFile(root_.path("sbin/reboot"), "#!/bin/sh\necho going down\necho reboot >> '" + marker + "'\n");
  std::filesystem::permissions(root_.path("sbin/reboot"), std::filesystem::perms::owner_all);
  daemon_.scriptRet(5, 1);
  postAjax(root_, sessionRequest(root_, "restart"), daemonEnv());
  EXPECT_TRUE(fileExists(marker));
  EXPECT_EQ(readFile(root_.path("var/run/korvan-reboot.log")), "going down\n");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_.path("usr/app/yal/www"))) {
    EXPECT_EQ(entry.path().filename().string().find("reboot"), std::string::npos) << entry.path();
    EXPECT_NE(entry.path().extension(), ".log") << entry.path();
  }
}

}  // namespace
}  // namespace korvantest
