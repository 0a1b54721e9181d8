// The requests that talk to the switch daemon, seen from the browser: the
// packets that reach an in-test daemon, the replies built from its answers,
// and the failures of the link (refused, silent, cut short). Also when the
// connection is opened: first thing for the five daemon types, never for the
// others.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {

using Clock = std::chrono::steady_clock;
using Env = std::map<std::string, std::string>;

const char* const kJsonHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";
const char* const kNoSession = "curUser has loginned or idle timeout";
const char* const kIpRefused = "ip black list error(your ip is in the list)";
const char* const kDaemonTypes[] = {"updServer", "updDog", "qt", "restart", "setTime"};

// Packet types on the wire.
constexpr uint8_t kQT = 1;
constexpr uint8_t kTime = 3;

Env daemonAt(int port) { return {{"KORVAN_ARM_PORT", std::to_string(port)}}; }

// A loopback port on which nothing listens: bound to find a free one, then
// closed again.
int closedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof address;
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), len), 0);
  EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len), 0);
  close(fd);
  return ntohs(address.sin_port);
}

// The reply of a call that ended in order: exit status 0, the header once,
// one JSON document.
Json::Value completeReply(const CgiResult& r) {
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.header(), kJsonHeader);
  EXPECT_EQ(r.out.find("Content-type", 1), std::string::npos) << "header written twice";
  Json::Value reply = replyOf(r);
  EXPECT_TRUE(reply.isObject()) << r.out;
  return reply;
}

Json::Value call(const TempRoot& root, const Json::Value& request, const Env& env,
                 const std::string& remoteAddr = "127.0.0.1") {
  return completeReply(postAjax(root, request, env, remoteAddr));
}

// Every row of every table, except the tables named in `skip`.
std::string dumpDatabase(const TempRoot& root, const std::vector<std::string>& skip = {}) {
  std::string out;
  for (const auto& table :
       root.query("select name from sqlite_master where type='table' order by name;")) {
    bool skipped = false;
    for (const std::string& name : skip) skipped = skipped || name == table[0];
    if (skipped) continue;
    out += table[0] + ":\n";
    for (const auto& row : root.query("select * from \"" + table[0] + "\";")) {
      for (const std::string& cell : row) out += cell + "|";
      out += "\n";
    }
  }
  return out;
}

// Puts a stub reboot program under the root; it appends a line to the
// returned file each time it runs.
std::string installRebootStub(const TempRoot& root) {
  const std::string marker = root.path("rebooted");
  writeFile(root.path("sbin/reboot"), "#!/bin/sh\necho reboot >> '" + marker + "'\n");
  chmod(root.path("sbin/reboot").c_str(), 0755);
  return marker;
}

// Waits until the daemon has accepted `count` connections.
bool waitConnections(const FakeDaemon& daemon, int count) {
  for (int i = 0; i < 400 && daemon.connections() < count; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return daemon.connections() == count;
}

// A KVM session request for console module 3 as the browser sends it, the
// module in slot 3 as the snapshot places it.
Json::Value sessionCall(const TempRoot& root) {
  root.exec("update dogInfo2 set setted=1, uid='S2B0000003' where id=3;");
  Json::Value request = sessionRequest(root, "qt");
  request["dogPara"]["id"] = "3";
  request["dogPara"]["uid"] = "S2B0000003";
  request["dogPara"]["type2"] = "1";
  request["server"]["netIP"]["ip"] = "192.168.1.10";
  request["server"]["netPort"]["portKM"] = "5901";
  request["server"]["netPort"]["portV"] = "5900";
  return request;
}

TEST(DaemonRequests, SetTimeSendsTheLocalClock) {
  TempRoot root;
  FakeDaemon daemon;
  Json::Value request = sessionRequest(root, "setTime");
  // The snapshot of any successful call places online modules in free slots;
  // one call first, so that what remains to compare is setTime's own effect.
  ASSERT_EQ(call(root, sessionRequest(root, "ref"), {})["ret"], "ok");
  const std::string before = dumpDatabase(root, {"user2"});

  // The same moment, 10 s after the epoch, written in two time zones.
  request["time2"] = "1970-01-01 00:00:10";
  Env env = daemonAt(daemon.port());
  env["TZ"] = "UTC";
  Json::Value reply = call(root, request, env);
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("users") && reply.isMember("dogs")) << "the snapshot follows";

  request["time2"] = "1970-01-01 02:00:10";
  env["TZ"] = "XST-2";
  EXPECT_EQ(call(root, request, env)["ret"], "ok");

  const Bytes clock = {0xA4, 0x05, 0x03, 0x00, 0x00, 0x00, 0x0A};
  EXPECT_EQ(daemon.packets(), (std::vector<Bytes>{clock, clock}));
  EXPECT_EQ(daemon.connections(), 2);
  EXPECT_EQ(dumpDatabase(root, {"user2"}), before) << "setting the clock stores nothing";
}

TEST(DaemonRequests, RestartAcknowledgedDoesNotRebootHere) {
  TempRoot root;
  const std::string marker = installRebootStub(root);
  FakeDaemon daemon;
  Json::Value reply = call(root, sessionRequest(root, "restart"), daemonAt(daemon.port()));
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("users"));
  EXPECT_EQ(daemon.packets(), (std::vector<Bytes>{{0xA4, 0x02, 0x05, 0x00}}));
  EXPECT_FALSE(fileExists(marker));
}

TEST(DaemonRequests, KvmSessionGranted) {
  TempRoot root;
  FakeDaemon daemon;
  Json::Value reply = call(root, sessionCall(root), daemonAt(daemon.port()), "10.20.30.40");
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("users"));

  // Module id, identity, user name, the browser's address last octet first,
  // privilege 1, no code, the user id.
  Bytes expected(70, 0);
  const Bytes head = {0xA4, 68, 1, 3};
  const std::string uid = "S2B0000003", nm = "admin";
  const Bytes tail = {40, 30, 20, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
  std::copy(head.begin(), head.end(), expected.begin());
  std::copy(uid.begin(), uid.end(), expected.begin() + 4);
  std::copy(nm.begin(), nm.end(), expected.begin() + 23);
  std::copy(tail.begin(), tail.end(), expected.begin() + 56);
  EXPECT_EQ(daemon.packets(), std::vector<Bytes>{expected});

  // The session parameters travel as a JSON text inside a string.
  ASSERT_TRUE(reply["qt"].isString());
  EXPECT_EQ(reply["qt"].asString(),
            R"({"desDecode":"deadbeef00112233","desEncode":"0aff001001020304","dogID":"3",)"
            R"("ip":"192.168.1.10","portKM":"5901","portMedia":"5918","portV":"5900",)"
            R"("priv":"1","userID":"1","userNM":"admin"})"
            "\n");
}

TEST(DaemonRequests, KvmSessionRefusedIsAWarning) {
  TempRoot root;
  FakeDaemon daemon;
  daemon.scriptRet(kQT, 4);
  Json::Value reply = call(root, sessionCall(root), daemonAt(daemon.port()));
  EXPECT_EQ(reply["ret"], "warning");
  EXPECT_EQ(reply["retMsg"], "4\uFF1Athis ip has session already");
  EXPECT_FALSE(reply.isMember("qt"));
  EXPECT_FALSE(reply.isMember("users")) << "no snapshot after a failure";
}

TEST(DaemonRequests, ModuleIdThatIsNotTextIsRefusedBeforeSending) {
  TempRoot root;
  FakeDaemon daemon;
  Json::Value request = sessionCall(root);
  request["dogPara"]["id"] = 3;
  Json::Value reply = call(root, request, daemonAt(daemon.port()));
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_NE(reply["retMsg"].asString().find("dogPara.id"), std::string::npos) << reply["retMsg"];
  EXPECT_EQ(reply.size(), 2u);
  EXPECT_TRUE(waitConnections(daemon, 1));
  EXPECT_FALSE(daemon.waitForPackets(1, std::chrono::milliseconds(200)));
}

TEST(DaemonRequests, RefusedConnectionLeavesTheDatabaseAlone) {
  TempRoot root;
  const Env down = daemonAt(closedPort());
  // The session sweep and the session extension would both show: user 2's
  // lapsed session would be closed, user 1's expiry moved on.
  Json::Value request = sessionRequest(root, "setTime");
  root.exec(
      "update user2 set expireTime=expireTime-300 where id=1;"
      "update user2 set status=1, expireTime=1 where id=2;");
  request["time2"] = "2026-03-07 09:05:02";
  request["server"]["ip"] = "192.168.1.20";
  request["dogPara"]["id"] = "1";
  request["dogPara"]["nm"] = "renamed";
  const std::string before = dumpDatabase(root);

  const std::string refused = std::string("arm connect error:") + std::strerror(ECONNREFUSED);
  for (const char* type : {"setTime", "qt", "updServer", "updDog"}) {
    request["type"] = type;
    Json::Value reply = call(root, request, down);
    EXPECT_EQ(reply["ret"], "armErr") << type;
    EXPECT_EQ(reply["retMsg"], refused) << type;
    EXPECT_EQ(reply.size(), 2u) << type;
  }
  EXPECT_EQ(dumpDatabase(root), before);
}

TEST(DaemonRequests, SilentDaemonTimesOutAfterTenSeconds) {
  TempRoot root;
  FakeDaemon daemon;
  FakeReply silent;
  silent.mode = FakeReply::Mode::kSilent;
  daemon.script(kTime, silent);
  Json::Value request = sessionRequest(root, "setTime");
  request["time2"] = "2026-03-07 09:05:02";

  const auto start = Clock::now();
  Json::Value reply = call(root, request, daemonAt(daemon.port()));
  const auto took = Clock::now() - start;
  EXPECT_EQ(reply["ret"], "armErr");
  EXPECT_EQ(reply["retMsg"], "arm read ack timeout");
  EXPECT_GE(took, std::chrono::milliseconds(9900));
  EXPECT_LT(took, std::chrono::milliseconds(12000));
  EXPECT_EQ(daemon.packetsOfType(kTime).size(), 1u);
}

TEST(DaemonRequests, ShortReplyIsNotJudged) {
  TempRoot root;
  FakeDaemon daemon;
  // The clock reply stops before its result byte; the session reply after
  // its result byte (0, "granted") but before the session values.
  FakeReply clock;
  clock.mode = FakeReply::Mode::kShort;
  clock.shortLen = 3;
  daemon.script(kTime, clock);
  FakeReply session;
  session.mode = FakeReply::Mode::kShort;
  session.shortLen = 12;
  daemon.script(kQT, session);

  Json::Value request = sessionRequest(root, "setTime");
  request["time2"] = "2026-03-07 09:05:02";
  Json::Value reply = call(root, request, daemonAt(daemon.port()));
  EXPECT_EQ(reply["ret"], "armErr");
  EXPECT_EQ(reply["retMsg"], "arm read ack short");

  reply = call(root, sessionCall(root), daemonAt(daemon.port()));
  EXPECT_EQ(reply["ret"], "armErr");
  EXPECT_EQ(reply["retMsg"], "arm read ack short");
  EXPECT_FALSE(reply.isMember("qt"));

  // Part of a reply while the daemon keeps the connection open: the rest is
  // waited for until the reply limit (shortened here), then refused as short.
  FakeReply partial;
  partial.raw = Bytes{0xA4, 0x02, 0x03};
  daemon.script(kTime, partial);
  Env shortLimit = daemonAt(daemon.port());
  shortLimit["KORVAN_REPLY_TIMEOUT_MS"] = "300";
  reply = call(root, request, shortLimit);
  EXPECT_EQ(reply["ret"], "armErr");
  EXPECT_EQ(reply["retMsg"], "arm read ack short");
}

// A failed, authenticated restart whose reboot program cannot be started:
// the error reply follows the header alone, with nothing of the reboot
// pipeline in front of it; the pipeline's complaint is in xxx.log.
TEST(DaemonRequests, RestartWithoutARebootProgramRepliesCleanly) {
  TempRoot root;
  FakeDaemon daemon;
  daemon.scriptRet(5, 1);
  CgiResult r = postAjax(root, sessionRequest(root, "restart"), daemonAt(daemon.port()));
  EXPECT_EQ(r.body(), "{\"ret\":\"armErr\",\"retMsg\":\"arm ack error,ret=1\"}\n \n");
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_NE(readFile(root.path("usr/app/yal/www/cgi/xxx.log")), "");
}

// The connection is the first check of the five daemon types: a refused
// address or a missing session is found only after it, so the daemon sees
// the connection, and an unreachable daemon is what the reply reports.
TEST(DaemonRequests, DaemonTypesConnectBeforeTheIpAndSessionChecks) {
  TempRoot root;
  const std::string marker = installRebootStub(root);
  FakeDaemon daemon;
  const Env up = daemonAt(daemon.port());
  const Env down = daemonAt(closedPort());
  root.exec("update other2 set ipsType=0; insert into ips2 values ('10.9.9.9');");
  const std::string refused = std::string("arm connect error:") + std::strerror(ECONNREFUSED);

  int connections = 0;
  for (const char* type : kDaemonTypes) {
    Json::Value listed = sessionRequest(root, type);
    Json::Value stranger = listed;
    stranger["user"]["token"] = "not-the-token";

    EXPECT_EQ(call(root, listed, up, "10.9.9.9")["retMsg"], kIpRefused) << type;
    EXPECT_EQ(call(root, stranger, up)["retMsg"], kNoSession) << type;
    connections += 2;
    EXPECT_TRUE(waitConnections(daemon, connections)) << type;

    for (const Json::Value& request : {listed, stranger}) {
      Json::Value reply = call(root, request, down, "10.9.9.9");
      EXPECT_EQ(reply["ret"], "armErr") << type;
      EXPECT_EQ(reply["retMsg"], refused) << type;
    }
  }
  EXPECT_TRUE(daemon.packets().empty()) << "refused calls send nothing";
  EXPECT_FALSE(fileExists(marker)) << "a refused restart does not reboot";
}

TEST(DaemonRequests, OtherTypesNeverConnect) {
  TempRoot root;
  FakeDaemon daemon;
  const Env up = daemonAt(daemon.port());
  Json::Value ref = sessionRequest(root, "ref");
  EXPECT_EQ(call(root, ref, up)["ret"], "ok");
  Json::Value language = sessionRequest(root, "saveLanguage");
  language["language"] = "en";
  EXPECT_EQ(call(root, language, up)["ret"], "ok");
  Json::Value login;
  login["type"] = "login";
  login["userNM"] = "operator";
  login["pw"] = "wrong";
  call(root, login, up);
  for (const char* type : {"logout", "updPriv", "updUser", "selLog", "Restart", ""}) {
    call(root, sessionRequest(root, type), up);
  }

  // A daemon request last: once its packet has come, every earlier
  // connection would have been accepted before it.
  Json::Value setTime = sessionRequest(root, "setTime");
  EXPECT_EQ(call(root, setTime, up)["ret"], "ok");
  ASSERT_TRUE(daemon.waitForPackets(1, std::chrono::seconds(5)));
  EXPECT_EQ(daemon.connections(), 1);
}

}  // namespace
}  // namespace korvantest
