// The audit trail: logins, sessions, consoles, refusals and system operations
// leave their records; the log reads page by page and by level, and exports
// as CSV (its bound: the flood tests).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "actions_helpers.h"
#include "calls.h"
#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {


// A KVM session on module 1 (slot 1).
const char* const kKvm =
    R"({"dogPara":{"id":"1","uid":"U1A0000001","type2":"1"},"server":{"netIP":{"ip":"10.0.0.1"},)"
    R"("netPort":{"portKM":"5901","portV":"5900"}}})";

// The newest record as "user|type|typeSub|sth" (sth without its line feed).
std::string newest(const TempRoot& root) {
  return root.scalar(
      "select user||'|'||type||'|'||typeSub||'|'||rtrim(sth,char(10)) from log2"
      " order by id desc limit 1");
}

class Audit : public ::testing::Test {
 protected:
  void SetUp() override { actionsbb::slotOnlineModules(root_); }
  Json::Value call(const Json::Value& request, const std::string& address = "127.0.0.1") {
    return ajax(root_, request, {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())}}, address);
  }
  Json::Value login(const std::string& name, const std::string& pw,
                    const std::string& address = "127.0.0.1") {
    return call(loginRequest(name, pw), address);
  }
  // A session call of `type` by user `id` with the members of `members`.
  Json::Value session(const std::string& type, const std::string& members,
                      const std::string& id = "1") {
    return call(korvantest::call(root_, type, members, id));
  }
  // The log as seen by user `id` through selLog with `condition`.
  Json::Value selLog(const std::string& condition, const std::string& id = "1") {
    return session("selLog", R"({"logCondition":)" + condition + "}", id);
  }
  CgiResult exportLog(const std::string& fields, const std::string& method = "POST") {
    CgiRequest r;
    r.method = method;
    (method == "POST" ? r.body : r.query) = fields;
    if (method == "POST") r.contentType = "application/x-www-form-urlencoded";
    return runCgi(root_, r);
  }

  TempRoot root_;
  FakeDaemon daemon_;
};

// Every kind of event, one after another: the record each leaves.
TEST_F(Audit, EachEventLeavesItsRecord) {
  root_.exec("update dog2 set nm='router' where id=3;");
  const struct {
    const char* what;
    std::function<Json::Value()> run;
    std::string ret;
    std::string record;
  } steps[] = {
      {"login", [&] { return login("admin", "admin"); }, "ok", "admin|access|login|null"},
      {"wrong password", [&] { return login("operator", "pw-guess-1"); }, "err",
       R"(operator|access|loginFailed|[{"nm":"reason","v1":"wrong password"}])"},
      {"kvm", [&] { return session("qt", kKvm); }, "ok",
       R"(admin|access|kvm|[{"nm":"console ID","v1":"1"},{"nm":"console","v1":")" +
           root_.scalar("select nm from dog2 where id=1") + R"("}])"},
      {"capture",
       [&] { return session("operaSerial", R"({"serialPara":{"dogID":"3","action":"cap"}})"); },
       "ok",
       R"(admin|access|serialCapture|[{"nm":"console ID","v1":"3"},{"nm":"console","v1":"router"}])"},
      {"release",
       [&] { return session("operaSerial", R"({"serialPara":{"dogID":"3","action":"uncap"}})"); },
       "ok",
       R"(admin|access|serialRelease|[{"nm":"console ID","v1":"3"},{"nm":"console","v1":"router"}])"},
      {"set time", [&] { return session("setTime", R"({"time2":"2026-03-07 09:05:02"})"); }, "ok",
       R"(admin|system|setTime|[{"nm":"time","v1":"2026-03-07 09:05:02"}])"},
      {"language", [&] { return session("saveLanguage", R"({"language":"de"})"); }, "ok",
       R"(admin|system|saveLanguage|[{"nm":"language","v1":"de"}])"},
      {"restart", [&] { return session("restart", "{}"); }, "ok", "admin|system|restart|null"},
      {"logout", [&] { return session("logout", "{}"); }, "ok", "admin|access|logout|null"},
  };
  for (const auto& step : steps) {
    const Json::Value reply = step.run();
    EXPECT_EQ(reply["ret"].asString(), step.ret) << step.what << reply["retMsg"];
    EXPECT_EQ(newest(root_), step.record) << step.what;
  }
  EXPECT_EQ(root_.scalar("select typeSubCN from log2 where typeSub='kvm'"), "kvm session");
  // No password typed anywhere reaches the log.
  EXPECT_EQ(root_.scalar("select count(*) from log2 where user||ip||type||typeSub||typeSubCN||sth"
                         " like '%pw-guess%'"),
            "0");
}

// Failures up to the lock, the lock seen in the snapshot, lifted by level 3.
TEST_F(Audit, LockoutAndUnlock) {
  for (int i = 1; i <= 3; ++i) login("operator", "guess");
  EXPECT_EQ(newest(root_), R"(operator|access|lockout|[{"nm":"failures","v1":"3"}])");
  EXPECT_EQ(login("operator", "operator")["retMsg"].asString().rfind("Exceed max retry", 0), 0u);
  EXPECT_EQ(newest(root_), R"(operator|access|loginFailed|[{"nm":"reason","v1":"locked"}])");

  auto lockedMark = [&] {
    std::string marks;
    const Json::Value snapshot = session("ref", "{}");
    for (const Json::Value& user : snapshot["users"])
      marks += user["nm"].asString() + "=" + user["locked"].asString() + " ";
    return marks;
  };
  EXPECT_EQ(lockedMark(), "operator=1 admin=0 ");
  // The administrator unlocks, once.
  EXPECT_EQ(session("unlockUser", R"({"userNM":"operator"})")["ret"], "ok");
  EXPECT_EQ(newest(root_), R"(admin|access|unlock|[{"nm":"user name","v1":"operator"}])");
  EXPECT_EQ(lockedMark(), "operator=0 admin=0 ");
  const Json::Value again = session("unlockUser", R"({"userNM":"operator"})");
  EXPECT_EQ(again["ret"].asString() + " " + again["retMsg"].asString(), "warning Nothing modified");
  EXPECT_EQ(login("operator", "operator")["ret"], "ok");
}

// Pages newest first, by level.
TEST_F(Audit, PagesAndVisibility) {
  root_.exec(
      "insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth) values"
      " ('admin','2026-01-01 10:00:00','1','user','updUser','',''),"
      " ('admin','2026-01-01 10:00:01','1','dog','updDog','',''),"
      " ('admin','2026-01-01 10:00:02','1','access','kvm','',''),"
      " ('admin','2026-01-01 10:00:03','1','access','login','',''),"
      " ('operator','2026-01-01 10:00:04','1','access','login','',''),"
      " ('admin','2026-01-01 10:00:05','1','system','restart','','');");
  auto ids = [](const Json::Value& reply) {
    std::string out;
    for (const Json::Value& r : reply["log"]) out += r["id"].asString() + " ";
    out += reply.isMember("more") ? reply["more"].asBool() ? "more" : "end" : "-";
    return out + (reply.isMember("total") ? " of " + reply["total"].asString() : "");
  };
  const struct {
    const char* condition;
    const char* user;
    std::string expect;
  } rows[] = {
      {R"({"type":"all","limit":"4"})", "1", "6 5 4 3 more of 6"},
      {R"({"type":"all","limit":"4","before":"3"})", "1", "2 1 end of 6"},
      {R"({"type":"access","limit":"1000"})", "1", "5 4 3 end of 3"},
      {R"({"type":"system","limit":"10","user":"adm"})", "1", "6 end of 1"},
      // Without limit: every match, by user and time, no `more`.
      {R"({"type":"access"})", "1", "3 4 5 -"},
      // Level 2: console records, console access, its own.
      {R"({"type":"all","limit":"10"})", "2", "5 3 2 end of 3"},
      {R"({"type":"all"})", "2", "2 3 5 -"},
  };
  for (const auto& row : rows) {
    root_.exec("delete from log2 where id>6");
    EXPECT_EQ(ids(selLog(row.condition, row.user)), row.expect) << row.condition << row.user;
  }
  for (const char* bad : {R"({"limit":"0"})", R"({"limit":"1001"})", R"({"limit":"x"})",
                          R"({"limit":"5","before":"1 or 1=1"})"}) {
    EXPECT_EQ(selLog(bad)["ret"], "err") << bad;
  }
}

// CSV of what the caller may see, the session in the POST body only.
TEST_F(Audit, CsvExport) {
  root_.exec(
      "insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth) values"
      " ('=cmd|'' /C calc''!A0','2026-01-01 10:00:00','1.2.3.4','user','updUser','a, \"b\"',"
      "  '[{\"nm\":\"Memo\",\"v1\":\"-1\",\"v2\":\"x\"}]'||char(10)),"
      " ('operator','2026-01-01 10:00:01','1.2.3.4','dog','updDog','update console','@x');");
  const std::string token = sessionRequest(root_, "ref")["user"]["token"].asString();
  const std::string fields = "submitExportLog=1&userID=1&token=" + token +
                             "&logCondition=" + urlEncode(R"({"type":"all","limit":"1"})");
  const CgiResult csv = exportLog(fields);
  EXPECT_EQ(csv.header(),
            "Content-Disposition: attachment; filename=korvan-log.csv\r\n"
            "Content-type: text/csv; charset=utf-8\r\n\r\n");
  EXPECT_EQ(csv.body(),
            "id,time,user,ip,type,typeSub,typeSubCN,details,detailsText\r\n"
            "2,2026-01-01 10:00:01,operator,1.2.3.4,dog,updDog,update console,'@x,'@x\r\n"
            "1,2026-01-01 10:00:00,'=cmd|' /C calc'!A0,1.2.3.4,user,updUser,\"a, \"\"b\"\"\","
            "\"[{\"\"nm\"\":\"\"Memo\"\",\"\"v1\"\":\"\"-1\"\",\"\"v2\"\":\"\"x\"\"}]\","
            "Memo: -1 -> x\r\n");
  // Level 2 sees the console record and not the administrator's.
  const std::string opToken = sessionRequest(root_, "ref", "2")["user"]["token"].asString();
  EXPECT_EQ(exportLog("submitExportLog=1&userID=2&token=" + opToken +
                      "&logCondition=" + urlEncode(R"({"type":"all"})"))
                .body()
                .substr(60),
            "2,2026-01-01 10:00:01,operator,1.2.3.4,dog,updDog,update console,'@x,'@x\r\n");
  // The session in the URL is refused as text.
  const CgiResult refused = exportLog(fields, "GET");
  EXPECT_EQ(refused.header(), "Content-type: text/html;charset=utf-8\r\n\r\n");
  EXPECT_EQ(refused.body().find("id,time"), std::string::npos);
}

// A session is granted only with its record: a record that cannot be stored,
// or a busy database, sends nothing.
TEST_F(Audit, NoAccessWithoutItsRecord) {
  const Json::Value request = korvantest::call(root_, "qt", kKvm);
  root_.exec("create trigger refuse before insert on log2 begin select raise(fail,'full'); end;");
  EXPECT_EQ(call(request)["ret"], "err");
  EXPECT_EQ(session("operaSerial", R"({"serialPara":{"dogID":"3","action":"cap"}})")["ret"], "err");
  EXPECT_EQ(root_.scalar("select serialUserID from dog2 where id=3"), "-1");
  EXPECT_EQ(daemon_.packets().size(), 0u);
  root_.exec("drop trigger refuse");

  LockHolder other(root_);
  const Json::Value busy = call(request);
  other.release();
  EXPECT_EQ(busy["ret"], "lockErr");
  EXPECT_EQ(daemon_.packets().size(), 0u);
  EXPECT_EQ(root_.scalar("select count(*) from log2"), "0");

  EXPECT_EQ(call(request)["ret"], "ok");
  EXPECT_EQ(daemon_.packets().size(), 1u);
}

}  // namespace
}  // namespace korvantest
