// Who may do what: every request type and file transfer, for a user of each
// group level, with a valid session and with every kind of invalid one. A
// refused call changes no table (the operation log included), sends no
// packet, reboots nothing and carries no snapshot.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {

const char* const kDenied = "permission denied";
const char* const kNoSession = "curUser has loginned or idle timeout";

// Users by level: admin (3), operator (2, rights 3 on slots 1-4), viewer
// (1, rights "0", "1", "3" on the slots of modules 1, 2, 3; module 3 is serial).
const char* const kUserOfLevel[] = {"", "3", "2", "1"};

struct Row {
  const char* name;
  int levels;  // bit L set: level L may
  std::function<void(Json::Value& request, const TempRoot& root, const std::string& user)> fill;
  const char* transfer = nullptr;  // form field of a file transfer
};

void set(Json::Value& r, const char* object, std::vector<std::pair<const char*, const char*>> m) {
  for (const auto& [k, v] : m) r[object][k] = v;
}

// The user's own row as the browser sends it, with a new password.
void ownPassword(Json::Value& r, const TempRoot& root, const std::string& user) {
  auto row = root.query("select u.id,u.nm,u.memo,u.pid,p.nm,u.dog,code,frame,media,nm2,addrH,"
                        "addrC,phone,email,prior,memo2,pw from user2 u join priv2 p on p.id=u.pid"
                        " where u.id=" + user)[0];
  const char* keys[] = {"id",    "nm",   "memo", "pid",   "pidCN", "dogDB", "code",  "frame",
                        "media", "nm2",  "addrH", "addrC", "phone", "email", "prior", "memo2"};
  for (size_t i = 0; i < 16; ++i) r["userPara"][keys[i]] = row[i];
  set(r, "userPara", {{"setPW", "yes"}, {"pw", "new-secret"}});
  r["userPara"]["oldPw"] = row[16];
}

const std::vector<Row> kRows = {
    {"logout", 0b1110, {}},
    {"ref", 0b1110, {}},
    {"selLog", 0b1100, [](auto& r, auto&, auto&) { set(r, "logCondition", {{"type", "all"}}); }},
    {"modifyIPS", 0b1000,
     [](auto& r, auto&, auto&) { set(r, "ipsPara", {{"action", "insIP"}, {"newIP", "10.0.0.9"}}); }},
    {"modifyServerIPS", 0b1000,
     [](auto& r, auto&, auto&) { set(r, "serveripsPara", {{"action", "insIP"}, {"newIP", "10.0.0.8"}}); }},
    {"operaSerial", 0b1110,
     [](auto& r, auto&, auto&) { set(r, "serialPara", {{"dogID", "3"}, {"action", "use"}}); }},
    {"operaSerial", 0b1100,  // right "1" is not enough to take a serial console
     [](auto& r, auto&, auto&) { set(r, "serialPara", {{"dogID", "2"}, {"action", "cap"}}); }},
    {"qt", 0b1100, [](auto& r, auto&, auto&) { set(r, "dogPara", {{"id", "1"}, {"type2", "1"}}); }},
    {"qt", 0b1110, [](auto& r, auto&, auto&) { set(r, "dogPara", {{"id", "2"}, {"type2", "1"}}); }},
    {"setTime", 0b1100, [](auto& r, auto&, auto&) { r["time2"] = "2026-03-07 09:05:02"; }},
    {"restart", 0b1000, {}},
    {"convertToClientMode", 0b1000, {}},
    {"saveLanguage", 0b1000, [](auto& r, auto&, auto&) { r["language"] = "en"; }},
    {"unsetDogInfo", 0b1100, [](auto& r, auto&, auto&) { set(r, "dogInfoPara", {{"id", "8"}}); }},
    {"updServer", 0b1000, [](auto& r, auto&, auto&) {
       set(r, "server", {{"uid", "KV-0001"}, {"nm", "korvan-dev"}, {"encrypt", "0"}, {"ip", "127.0.0.1"},
                         {"gateway", "127.0.0.1"}, {"subnetMask", "255.255.255.0"},
                         {"portKM", "5900"}, {"portV", "5901"}, {"portWeb", "8080"}}); }},
    {"updDog", 0b1100, [](auto& r, auto&, auto&) { set(r, "dogPara", {{"id", "6"}}); }},
    {"updPriv", 0b1000,
     [](auto& r, auto&, auto&) { set(r, "priv", {{"id", "2"}, {"nm", "Operators"}, {"dogDB", "33331111"}}); }},
    {"insUser", 0b1000,
     [](auto& r, auto&, auto&) { set(r, "userPara", {{"nm", "new"}, {"pw", "x"}, {"pid", "3"}, {"prior", "0"}}); }},
    {"delUser", 0b1000, [](auto& r, auto&, auto&) { set(r, "userPara", {{"id", "99"}}); }},
    {"updUser", 0b1110, ownPassword},
    {"updUser", 0b1000,  // anything but the own password, the operator's own row included
     [](auto& r, auto& root, auto& user) { ownPassword(r, root, "2"); r["userPara"]["memo"] = user; }},
    {"transfer", 0b1000, {}, "systemFile"},
    {"transfer", 0b1000, {}, "dbFile"},
    {"transfer", 0b1000, {}, "submitDownloadDB"},
};

CgiRequest transferRequest(const char* field, const std::string& id, const std::string& token) {
  CgiRequest r;
  r.method = "POST";
  r.contentType = "multipart/form-data; boundary=XyZ";
  auto part = [&](const std::string& name, const std::string& value, bool file) {
    r.body += "--XyZ\r\nContent-Disposition: form-data; name=\"" + name + "\"" +
              (file ? "; filename=\"f.bin\"\r\nContent-Type: application/octet-stream" : "") +
              "\r\n\r\n" + value + "\r\n";
  };
  part(field, "data", std::string(field) != "submitDownloadDB");
  if (!id.empty()) part("userID", id, false);
  if (!token.empty()) part("token", token, false);
  r.body += "--XyZ--\r\n";
  return r;
}

class Access : public ::testing::TestWithParam<Row> {
 protected:
  Access() {
    root_.exec(
        "insert into user2 (id,nm,pw,memo,pid,dog,token) values (3,'viewer','viewer','',3,"
        "'01300000','');"
        "update dogInfo2 set setted=1, uid='U1A0000001' where id=1;"
        "update dogInfo2 set setted=1, uid='U1A0000002' where id=2;"
        "update dogInfo2 set setted=1, uid='S2B0000003' where id=3;");
    writeFile(root_.path("sbin/reboot"), "#!/bin/sh\necho r >> '" + root_.path("rebooted") + "'\n");
    chmod(root_.path("sbin/reboot").c_str(), 0755);
  }

  // Runs the call; returns "allowed", "denied" or "no session", and for every
  // refusal checks that nothing happened.
  std::string outcome(const Row& row, const Json::Value& request, const std::string& id,
                      const std::string& token) {
    const std::string before = dump();
    const size_t packets = daemon_.packets().size();
    std::string body, refusal;
    if (row.transfer) {
      body = runCgi(root_, transferRequest(row.transfer, id, token)).body();
      for (const char* text : {kDenied, kNoSession}) {
        if (body == std::string(text) + " \n") refusal = text;
      }
    } else {
      Json::Value reply = ajax(root_, request, {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())}});
      refusal = reply["retMsg"] == kDenied || reply["retMsg"] == kNoSession ? reply["retMsg"].asString() : "";
      if (!refusal.empty()) {
        EXPECT_EQ(reply["ret"], "err");
        EXPECT_FALSE(reply.isMember("users") || reply.isMember("curUser")) << "snapshot";
      }
    }
    if (refusal.empty()) return "allowed";
    EXPECT_EQ(dump(), before) << "a refused call changed the database";
    EXPECT_EQ(daemon_.packets().size(), packets) << "a refused call sent a packet";
    EXPECT_FALSE(fileExists(root_.path("rebooted")));
    return refusal == kDenied ? "denied" : "no session";
  }

  std::string dump() {
    std::string out;
    for (const auto& t : root_.query("select name from sqlite_master where type='table' order by name"))
      for (const auto& row : root_.query("select * from " + t[0]))
        for (const auto& cell : row) out += t[0] + ":" + cell + "|";
    return out;
  }

  TempRoot root_;
  FakeDaemon daemon_;
};

TEST_P(Access, EveryLevelAndSessionVariant) {
  const Row& row = GetParam();
  for (int level = 1; level <= 3; ++level) {
    const std::string user = kUserOfLevel[level];
    const std::string other = user == "1" ? "2" : "1";
    const std::string what = std::string(row.transfer ? row.transfer : row.name) + " level " +
                             std::to_string(level);
    Json::Value request = sessionRequest(root_, row.name, user);
    sessionRequest(root_, "ref", other);
    const std::string token = request["user"]["token"].asString();
    if (row.fill) row.fill(request, root_, user);

    // Invalid sessions: none, a wrong token, another user's id, expired, logged out.
    Json::Value none = request, wrong = request, borrowed = request;
    none.removeMember("user");
    none.removeMember("userID");
    wrong["user"]["token"] = token + "x";
    borrowed["userID"] = other;
    EXPECT_EQ(outcome(row, none, "", ""), "no session") << what;
    EXPECT_EQ(outcome(row, wrong, user, token + "x"), "no session") << what;
    EXPECT_EQ(outcome(row, borrowed, other, token), "no session") << what;
    root_.exec("update user2 set expireTime=1 where id=" + user);
    EXPECT_EQ(outcome(row, request, user, token), "no session") << what << " expired";
    root_.exec("update user2 set status=0, expireTime=strftime('%s','now')+600 where id=" + user);
    EXPECT_EQ(outcome(row, request, user, token), "no session") << what << " logged out";

    root_.exec("update user2 set status=1 where id=" + user);
    EXPECT_EQ(outcome(row, request, user, token), (row.levels >> level & 1) ? "allowed" : "denied")
        << what;
  }
  if (row.levels != 0b1110) {
    EXPECT_NE(root_.traceLog().find("3301_Time:"), std::string::npos) << "refusals are traced";
  }
}

INSTANTIATE_TEST_SUITE_P(Types, Access, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           return std::string(info.param.transfer ? info.param.transfer
                                                                  : info.param.name) +
                                  std::to_string(info.index);
                         });

}  // namespace
}  // namespace korvantest
