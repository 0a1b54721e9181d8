// Who may do what, for every request type and file transfer, level and kind of
// session. A refusal changes no table or log, sends no packet, reboots nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calls.h"
#include "fake_daemon.h"
#include "testroot.h"
#include "util/token_hash.h"

namespace korvantest {
namespace {

const char* const kDenied = "permission denied";
const char* const kNoSession = "curUser has loginned or idle timeout";
const char* const kFirstLogin = "password change required";
const char* const kOldWrong = "warningold password wrong";

// The requests with a session by the levels that may make them, by hand
// (bit L set: level L may); a table entry missing here fails. The viewer's
// right on module 3 is "3"; the table's updUser changes the operator's row
// beyond its password.
const std::pair<int, const char*> kLevelsOf[] = {
    {0b1110, " logout ref qt operaSerial selSessions selConsoles health totpBegin totpConfirm "},
    {0b1100, " setTime selLog unsetDogInfo updDog submitExportLog "},
    {0b1000,
     " restart saveLanguage unlockUser modifyIPS modifyServerIPS convertToClientMode updServer"
     " updPriv insUser delUser updUser systemFile dbFile submitDownloadDB endSession"
     " selSyslog setSyslog testSyslog totpReset "},
};

int levelsOf(const std::string& type) {
  for (const auto& [levels, types] : kLevelsOf)
    if (std::string(types).find(" " + type + " ") != std::string::npos) return levels;
  return -1;
}

struct Row {
  std::string type;
  int levels;                // bit L set: level L may
  std::string members;       // replaces the table's members when set (JSON)
  bool ownPassword = false;  // the caller's own row with a new password only
  std::string variant;       // names a variant in the test's name
};

// Every request of the table with a session, and the variants whose level
// depends on the parameters.
std::vector<Row> rows() {
  std::vector<Row> rows;
  for (const RequestEntry& entry : requestTable()) {
    if (!entry.session) continue;
    rows.push_back({entry.type, levelsOf(entry.type), "", false, ""});
  }
  // A KVM session needs right "1" or "3" on the module, a serial console "3".
  rows.push_back({"qt", 0b1100, R"({"dogPara":{"id":"1","type2":"1"}})", false, "NoRight"});
  rows.push_back({"qt", 0b1110, R"({"dogPara":{"id":"2","type2":"1"}})", false, "ReadRight"});
  rows.push_back({"operaSerial", 0b1100, R"({"serialPara":{"dogID":"2","action":"cap"}})", false,
                  "ReadRight"});
  rows.push_back({"updUser", 0b1110, "", true, "OwnPassword"});
  return rows;
}

// Users by level: admin (3), operator (2, rights 3 on slots 1-4), viewer
// (1, rights "0", "1", "3" on the slots of modules 1, 2, 3; module 3 is serial).
const char* const kUserOfLevel[] = {"", "3", "2", "1"};

class Access : public ::testing::TestWithParam<Row> {
 protected:
  Access() {
    root_.exec(
        "insert into user2 (id,nm,pw,memo,pid,dog,token) values (3,'viewer','viewer','',3,"
        "'01300000','');"
        "update dogInfo2 set setted=1, uid=substr('U1A0000001U1A0000002S2B0000003', id*10-9, 10)"
        " where id<=3;");
    stubReboot(root_);
  }

  static const RequestEntry& entry(const Row& row) { return requestEntry(row.type); }

  // The row's request in user `user`'s session: an AJAX document (a
  // transfer's form is made by transferCall).
  Json::Value request(const Row& row, const std::string& user) {
    Json::Value request = tableRequest(root_, entry(row), user);
    if (!row.members.empty()) {
      for (const std::string& name : entry(row).members.getMemberNames())
        request.removeMember(name);
      request = withMembers(request, row.members);
    }
    if (row.ownPassword) {
      userRow(request, root_, user);
      // Every account of this fixture has its name as its password.
      request["userPara"]["oldPw"] = root_.scalar("select nm from user2 where id=" + user);
    }
    return request;
  }

  // Runs the call; returns "allowed", "denied" or "no session", and for every
  // refusal checks that nothing happened.
  std::string outcome(const Row& row, const Json::Value& request, const std::string& id,
                      const std::string& token) {
    const std::string before = dumpTables(root_);
    const size_t packets = daemon_.packets().size();
    const std::string logs = root_.scalar("select ifnull(max(rowid),0) from log2");
    std::string refusal;
    Json::Value reply;
    if (entry(row).transfer) {
      const std::string body = runCgi(root_, transferCall(root_, entry(row), id, token)).body();
      for (const char* text : {kDenied, kNoSession, kFirstLogin})
        if (body == std::string(text) + " \n") refusal = text;
    } else {
      reply = ajax(root_, request, {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())}});
      if (reply["retMsg"] == kDenied || reply["retMsg"] == kNoSession ||
          reply["retMsg"] == kFirstLogin) {
        refusal = reply["retMsg"].asString();
        EXPECT_EQ(reply.getMemberNames().size() * (reply["ret"] == "err"), 2u) << reply;
      }
    }
    if (refusal.empty()) {
      // Whatever name the request claims, the session's user acts.
      const std::string name = root_.scalar("select nm from user2 where id=" + id);
      EXPECT_EQ(reply["curUser"].get("nm", name), name);
      EXPECT_EQ(root_.scalar("select count(*) from log2 where rowid>" + logs + " and user<>'" +
                             name + "'"),
                "0");
      return "allowed";
    }
    if (refusal == kDenied) {
      // A known caller's refusal leaves its record and nothing else.
      const std::string name = root_.scalar("select nm from user2 where id=" + id);
      EXPECT_EQ(root_.scalar("select group_concat(user||'/'||type||'/'||typeSub||'/'||sth) from "
                             "log2 where rowid>" +
                             logs),
                name + "/access/denied/[{\"nm\":\"request\",\"v1\":\"" + row.type + "\"}]\n");
      root_.exec("delete from log2 where rowid>" + logs);
    }
    EXPECT_EQ(dumpTables(root_), before) << "a refused call changed the database";
    EXPECT_EQ(daemon_.packets().size(), packets) << "a refused call sent a packet";
    EXPECT_FALSE(fileExists(root_.path("rebooted")));
    return refusal == kDenied ? "denied" : refusal == kNoSession ? "no session" : "first login";
  }

  TempRoot root_;
  FakeDaemon daemon_;
};

TEST_P(Access, EveryLevelAndSessionVariant) {
  const Row& row = GetParam();
  ASSERT_GE(row.levels, 0) << row.type << ": write down the levels that may make it in kLevelsOf";
  for (int level = 1; level <= 3; ++level) {
    const std::string user = kUserOfLevel[level];
    const std::string other = user == "1" ? "2" : "1";
    const std::string what = row.type + " level " + std::to_string(level);
    Json::Value request = this->request(row, user);
    sessionRequest(root_, "ref", other);
    const std::string token = request["user"]["token"].asString();

    // Invalid sessions: a user id alone, a wrong token, another user's id,
    // expired, logged out.
    Json::Value none = request, wrong = request, borrowed = request;
    none.removeMember("user");
    wrong["user"]["token"] = "x' or '1'='1";
    borrowed["userID"] = other;
    EXPECT_EQ(outcome(row, none, "", ""), "no session") << what;
    EXPECT_EQ(outcome(row, wrong, user, "x' or '1'='1"), "no session") << what;
    EXPECT_EQ(outcome(row, borrowed, other, token), "no session") << what;
    root_.exec("update user2 set expireTime=1 where id=" + user);
    EXPECT_EQ(outcome(row, request, user, token), "no session") << what << " expired";
    root_.exec("update user2 set status=0, expireTime=strftime('%s','now')+600 where id=" + user);
    EXPECT_EQ(outcome(row, request, user, token), "no session") << what << " logged out";

    root_.exec("update user2 set status=1 where id=" + user);
    request["user"]["nm"] = "intruder";
    request.removeMember("userID");  // an absent user id is no refusal
    EXPECT_EQ(outcome(row, request, user, token), (row.levels >> level & 1) ? "allowed" : "denied")
        << what;
  }
  EXPECT_TRUE(row.levels == 0b1110 || root_.traceLog().find("3301_Time:") != std::string::npos);
}

// While the first-login flag is set, the administrator may refresh, poll the
// switch's health, log out and set a new password of its own, nothing else
// (transfers included); the
// refusals leave everything as it was.
TEST_P(Access, FirstLoginGate) {
  const Row& row = GetParam();
  root_.exec("update secureConf set f_firstLogin=1;");
  const Json::Value request = this->request(row, "1");
  const bool passes =
      row.type == "ref" || row.type == "logout" || row.type == "health" || row.ownPassword;
  EXPECT_EQ(outcome(row, request, "1", request["user"]["token"].asString()),
            passes ? "allowed" : "first login");
  EXPECT_EQ(root_.scalar("select f_firstLogin from secureConf;"), row.ownPassword ? "0" : "1");
}

// The levels a row lets through, as digits: "23" for operators and administrators.
std::string levelDigits(const Row& row) {
  std::string digits;
  for (int level = 1; level <= 3; ++level)
    if (row.levels >> level & 1) digits += std::to_string(level);
  return digits.empty() ? "none" : digits;
}

// ctest and failure messages show the row as its type and levels instead of its bytes.
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.type << row.variant << " by levels " << levelDigits(row);
}

// Type, variant and levels name each row uniquely.
INSTANTIATE_TEST_SUITE_P(Types, Access, ::testing::ValuesIn(rows()), [](const auto& info) {
  return info.param.type + info.param.variant + "_by" + levelDigits(info.param);
});

TEST(AccessRules, IdentityComesFromTheSession) {
  TempRoot root;
  FakeDaemon daemon;
  root.exec("update dogInfo2 set setted=1, uid='U1A0000002' where id=2;");
  // The operator claims the administrator's name.
  Json::Value qt = sessionRequest(root, "qt", "2");
  qt["user"]["nm"] = "admin";
  qt.removeMember("userID");
  qt["dogPara"]["id"] = "2";
  Json::Value reply =
      ajax(root, qt, {{"KORVAN_ARM_PORT", std::to_string(daemon.port())}}, "10.1.1.7");
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  const Json::Value session = parseJson(reply["qt"].asString());
  EXPECT_EQ(session["userNM"].asString() + session["userID"].asString(), "operator2");
  ASSERT_EQ(daemon.packets().size(), 1u);
  const Bytes packet = daemon.packets()[0];  // user name at 23, address at 56, id at 66
  EXPECT_EQ(std::string(packet.begin() + 23, packet.begin() + 31), "operator");
  EXPECT_EQ(Bytes(packet.begin() + 56, packet.begin() + 60), (Bytes{7, 1, 1, 10}));
  EXPECT_EQ(packet[69], 2);
}

// No reply holds a password or another user's token, nor markup: < > & and
// the JavaScript line separators go out escaped, also in refusals.
TEST(AccessRules, RepliesHoldNoSecretsAndNoMarkup) {
  TempRoot root;
  const std::string memo = "<img src=x onerror=alert(1)> & \xE2\x80\xA8 \xE2\x80\xA9 \\<b>";
  root.exec("update user2 set pw='secret-' || id, memo='" + memo + "';");
  sessionRequest(root, "ref", "2");
  const Json::Value login = loginRequest("admin", "secret-1");
  for (int i = 0; i < 3; ++i) {
    Json::Value request = i == 0 ? login : sessionRequest(root, "ref", "1");
    if (i == 2) request["user"]["id"] = "<img src=x>";  // refused, and not echoed raw
    const std::string body = postAjax(root, request).body();
    for (const char* bad :
         {"secret-", "test-token-2", "<", ">", "&", "\xE2\x80\xA8", "\xE2\x80\xA9"})
      EXPECT_EQ(body.find(bad), std::string::npos) << bad << " in " << body;
    Json::Value reply;
    ASSERT_TRUE(Json::Reader().parse(body, reply)) << body;
    if (i == 2) break;
    EXPECT_EQ(reply["curUser"]["pw"], "");
    EXPECT_EQ(korvan::tokenHash(reply["curUser"]["token"].asString()),
              root.scalar("select token from user2 where id=1"));
    for (const Json::Value& user : reply["users"]) {
      EXPECT_EQ(user["pw"].asString() + user["token"].asString(), "");
      EXPECT_EQ(user["memo"], memo);
    }
  }
}

TEST(AccessRules, OwnPasswordNeedsTheOldOne) {
  struct Case {
    const char *caller, *target, *oldPw;  // oldPw nullptr: not sent
    std::string reply;
  } cases[] = {
      {"1", "1", nullptr, kOldWrong},
      {"1", "1", "wrong", kOldWrong},
      {"2", "2", "admin", kOldWrong},
      {"2", "2", "operator", "ok"},
      {"1", "1", "admin", "ok"},
      {"1", "2", nullptr, "ok"},  // an administrator sets another user's password
      {"2", "1", "admin", std::string("err") + kDenied},  // an operator may not
  };
  TempRoot root;
  for (const Case& c : cases) {
    root.exec("update user2 set pw=nm where id in (1,2)");
    Json::Value request = sessionRequest(root, "updUser", c.caller);
    userRow(request, root, c.target);
    if (c.oldPw) request["userPara"]["oldPw"] = c.oldPw;
    const Json::Value reply = ajax(root, request);
    const std::string what = std::string(c.caller) + "->" + c.target;
    EXPECT_EQ(reply["ret"].asString() + reply["retMsg"].asString(), c.reply) << what;
    EXPECT_EQ(root.scalar("select pw=nm from user2 where id=" + std::string(c.target)),
              c.reply == "ok" ? "0" : "1")
        << what;
    if (*c.caller != '1') continue;
    // Without "yes" in setPW the password takes no part: nothing is modified.
    request["userPara"]["setPW"] = "no";
    request["userPara"]["pw"] = "";
    EXPECT_EQ(ajax(root, request)["retMsg"], "Nothing modified") << what;
  }
}

TEST(AccessRules, LockOutHoldsUnderParallelAttempts) {
  TempRoot root;  // the seed's policy allows 3 failures
  const Json::Value wrong = loginRequest("operator", "guess");
  for (const auto& [file, v] : {std::pair{"login", wrong}, {"ref", sessionRequest(root, "ref")}})
    writeFile(root.path(file), "postKey=" + urlEncode(Json::FastWriter().write(v)));
  // 20 wrong logins and 10 refreshes at once, as separate processes.
  writeFile(root.path("run.sh"),
            "R='" + root.dir() + "'; cd '" + root.cgiDir() +
                "'; for i in $(seq 30); do"
                " f=\"$R/login\"; [ $i -gt 20 ] && f=\"$R/ref\"; env -i KORVAN_ROOT=\"$R\""
                " REQUEST_METHOD=POST REMOTE_ADDR=127.0.0.1"
                " CONTENT_TYPE=application/x-www-form-urlencoded CONTENT_LENGTH=$(wc -c < \"$f\")"
                " '" KORVAN_CGI_PATH "' < \"$f\" > \"$R/out$i\" & done; wait\n");
  ASSERT_EQ(std::system(("sh '" + root.path("run.sh") + "'").c_str()), 0);
  int tested = 0;
  for (int i = 1; i <= 30; ++i)
    tested +=
        readFile(root.path("out" + std::to_string(i))).find("Password error") != std::string::npos;
  EXPECT_TRUE(tested >= 1 && tested <= 3) << tested;
  EXPECT_LE(std::stoi(root.scalar("select f_wrongTimes from userLock")), 3);
}

TEST(AccessRules, LoginNamesAreBoundedAndStaleRowsOfStrangersGo) {
  TempRoot root;
  root.exec(
      "insert into userLock values (null, '2000-01-01 00:00:00', 'ghost', 3);"
      "insert into userLock values (null, '2000-01-01 00:00:00', 'admin', 3);");
  Json::Value login = parseJson(R"({"type":"login","pw":"x"})");
  for (size_t size : {257u, 256u}) {
    login["userNM"] = std::string(size, 'n');
    EXPECT_EQ(ajax(root, login)["ret"], "err");
    EXPECT_EQ(root.scalar("select count(*) from userLock where length(f_userName)=" +
                          std::to_string(size)),
              size == 256 ? "1" : "0");
  }
  EXPECT_EQ(root.scalar("select group_concat(f_userName) from userLock"
                        " where length(f_userName)<256"),
            "admin");
}

}  // namespace
}  // namespace korvantest
