// The requests that talk to the switch daemon, seen from the browser: the
// packets that reach an in-test daemon, the replies built from its answers,
// the failures of the link, the restart, and when the connection is opened.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {

using Env = std::map<std::string, std::string>;

const char* const kNoSession = "curUser has loginned or idle timeout";
const std::string kRefused = std::string("arm connect error:") + std::strerror(ECONNREFUSED);

Env daemonAt(int port, Env env = {}) {
  env["KORVAN_ARM_PORT"] = std::to_string(port);
  return env;
}

// A bound loopback socket; listening with an accept queue of one when asked.
int boundSocket(bool listening, int* port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof address;
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), len), 0);
  if (listening) {
    EXPECT_EQ(listen(fd, 0), 0);
  }
  EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len), 0);
  *port = ntohs(address.sin_port);
  return fd;
}

// A loopback port on which nothing listens.
int closedPort() {
  int port = 0;
  close(boundSocket(false, &port));
  return port;
}

// The reply of a call that ended in order: exit status 0, the header once,
// one JSON document.
Json::Value call(const TempRoot& root, const Json::Value& request, const Env& env,
                 const std::string& remoteAddr = "127.0.0.1") {
  CgiResult r = postAjax(root, request, env, remoteAddr);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.header(), "Content-type: text/html;charset=utf-8\r\n\r\n");
  EXPECT_EQ(r.out.find("Content-type", 1), std::string::npos) << "header written twice";
  Json::Value reply = replyOf(r);
  EXPECT_TRUE(reply.isObject()) << r.out;
  return reply;
}

std::string outcome(const Json::Value& reply) {
  return reply["ret"].asString() + " " + reply["retMsg"].asString();
}

// Every row of every table (user2 only when asked: every call moves its
// session columns).
std::string dumpDatabase(const TempRoot& root, bool withUsers = false) {
  std::string out;
  for (const auto& table : root.query("select name from sqlite_master where type='table';")) {
    if (table[0] == "user2" && !withUsers) continue;
    for (const auto& row : root.query("select * from \"" + table[0] + "\";")) {
      out += table[0];
      for (const std::string& cell : row) out += "|" + cell;
      out += "\n";
    }
  }
  return out;
}

bool waitConnections(const FakeDaemon& daemon, int count) {
  for (int i = 0; i < 400 && daemon.connections() < count; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return daemon.connections() == count;
}

// A KVM session request for console module 3 in slot 3.
Json::Value sessionCall(const TempRoot& root, const char* type2 = "1") {
  root.exec("update dogInfo2 set setted=1, uid='S2B0000003' where id=3;");
  Json::Value request = sessionRequest(root, "qt");
  request["dogPara"]["id"] = "3";
  request["dogPara"]["uid"] = "S2B0000003";
  request["dogPara"]["type2"] = type2;
  request["server"]["netIP"]["ip"] = "192.168.1.10";
  request["server"]["netPort"]["portKM"] = "5901";
  request["server"]["netPort"]["portV"] = "5900";
  return request;
}

Json::Value clockCall(const TempRoot& root, const char* time2 = "2026-03-07 09:05:02") {
  Json::Value request = sessionRequest(root, "setTime");
  request["time2"] = time2;
  return request;
}

TEST(DaemonRequests, SetTimeSendsTheLocalClock) {
  TempRoot root;
  FakeDaemon daemon;
  // The snapshot of a first call places the online modules; what remains to
  // compare afterwards is setTime's own effect.
  ASSERT_EQ(call(root, sessionRequest(root, "ref"), {})["ret"], "ok");
  const std::string before = dumpDatabase(root);
  // The same moment, 10 s after the epoch, written in two time zones.
  for (const auto& [tz, text] : {std::pair{"UTC", "1970-01-01 00:00:10"},
                                 std::pair{"XST-2", "1970-01-01 02:00:10"}}) {
    Json::Value reply = call(root, clockCall(root, text), daemonAt(daemon.port(), {{"TZ", tz}}));
    EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
    EXPECT_TRUE(reply.isMember("users") && reply.isMember("dogs")) << "the snapshot follows";
  }
  const Bytes clock = {0xA4, 0x05, 0x03, 0x00, 0x00, 0x00, 0x0A};
  EXPECT_EQ(daemon.packets(), (std::vector<Bytes>{clock, clock}));
  EXPECT_EQ(daemon.connections(), 2);
  EXPECT_EQ(dumpDatabase(root), before) << "setting the clock stores nothing";
}

TEST(DaemonRequests, KvmSessionGranted) {
  TempRoot root;
  FakeDaemon daemon;
  Json::Value reply = call(root, sessionCall(root), daemonAt(daemon.port()), "10.20.30.40");
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("users"));
  // Module id, identity at 4, user name at 23, the browser's address last
  // octet first at 56, privilege 1, no code, the user id.
  Bytes expected(70, 0);
  const Bytes head = {0xA4, 68, 1, 3}, tail = {40, 30, 20, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
  std::copy(head.begin(), head.end(), expected.begin());
  std::memcpy(&expected[4], "S2B0000003", 10);
  std::memcpy(&expected[23], "admin", 5);
  std::copy(tail.begin(), tail.end(), expected.begin() + 56);
  EXPECT_EQ(daemon.packets(), std::vector<Bytes>{expected});
  // The session parameters travel as a JSON text inside a string; a serial
  // module's carries its port instead.
  const std::string common =
      R"({"desDecode":"deadbeef00112233","desEncode":"0aff001001020304","dogID":"3",)"
      R"("ip":"192.168.1.10",)";
  EXPECT_EQ(reply["qt"].asString(),
            common + R"("portKM":"5901","portMedia":"5918","portV":"5900",)"
                     R"("priv":"1","userID":"1","userNM":"admin"})" "\n");
  EXPECT_EQ(call(root, sessionCall(root, "2"), daemonAt(daemon.port()))["qt"].asString(),
            common + R"("portCOM":"5901","userID":"1","userNM":"admin"})" "\n");
}

// How the reply is judged: result codes, replies cut short, late, missing.
TEST(DaemonRequests, DaemonAnswers) {
  auto reply = [](uint8_t ret, bool silent = false, bool close = false, size_t shortLen = 0,
                  int delayMs = 0) {
    FakeReply r;
    r.ret = ret;
    r.silent = silent;
    r.close = close;
    r.shortReply = shortLen > 0;
    r.shortLen = shortLen;
    r.delayMs = delayMs;
    return r;
  };
  FakeReply partial;  // part of a reply, the connection kept open
  partial.raw = Bytes{0xA4, 0x02, 0x03};
  const uint8_t kQT = 1, kTime = 3;
  const struct {
    uint8_t type;
    FakeReply reply;
    const char* outcome;
  } cases[] = {
      {kQT, reply(1), "warning 1\uFF1Aport has not console"},
      {kQT, reply(4), "warning 4\uFF1Athis ip has session already"},
      {kQT, reply(6), "warning 6\uFF1Aprivilege error"},
      {kQT, reply(7), "warning 7: channel is full"},
      {kQT, reply(8), "warning 8: unknown refusal"},
      {kQT, reply(255), "warning 255: unknown refusal"},
      {kTime, reply(7), "armErr arm ack error,ret=1"},
      {kTime, reply(0, false, false, 3), "armErr arm read ack short"},
      {kQT, reply(0, false, false, 12), "armErr arm read ack short"},
      {kTime, partial, "armErr arm read ack short"},
      {kTime, reply(0, false, true), "armErr arm read ack closed"},
      {kTime, reply(0, false, false, 0, 300), "ok "},
      {kTime, reply(0, true), "armErr arm read ack timeout"},
  };
  TempRoot root;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.outcome);
    FakeDaemon daemon;
    daemon.script(c.type, c.reply);
    const Json::Value request = c.type == kQT ? sessionCall(root) : clockCall(root);
    Json::Value answer = call(root, request, daemonAt(daemon.port()));
    EXPECT_EQ(outcome(answer), c.outcome);
    const bool ok = answer["ret"] == "ok";
    EXPECT_EQ(answer.isMember("users"), ok) << "a snapshot only after success";
    EXPECT_TRUE(ok || !answer.isMember("qt"));
    EXPECT_EQ(daemon.packets().size(), 1u);
  }
}

// The real reply limit, once: a silent daemon is given up after ten seconds.
TEST(DaemonRequests, SilentDaemonIsGivenUpAfterTenSeconds) {
  TempRoot root;
  FakeDaemon daemon;
  FakeReply silent;
  silent.silent = true;
  daemon.script(3, silent);
  const auto start = std::chrono::steady_clock::now();
  Json::Value reply = call(root, clockCall(root), daemonAt(daemon.port(), kRealDaemonWaits));
  EXPECT_EQ(reply["retMsg"], "arm read ack timeout");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(9500));
}

TEST(DaemonRequests, UnreachableDaemonLeavesTheDatabaseAlone) {
  TempRoot root;
  // The session sweep and the session extension would both show: user 2's
  // lapsed session would be closed, user 1's expiry moved on.
  Json::Value request = clockCall(root);
  root.exec(
      "update user2 set expireTime=expireTime-300 where id=1;"
      "update user2 set status=1, expireTime=1 where id=2;");
  request["server"]["ip"] = "192.168.1.20";
  request["dogPara"]["id"] = "1";
  request["dogPara"]["nm"] = "renamed";
  const std::string before = dumpDatabase(root, true);
  for (const char* type : {"setTime", "qt", "updServer", "updDog"}) {
    request["type"] = type;
    Json::Value reply = call(root, request, daemonAt(closedPort()));
    EXPECT_EQ(outcome(reply), "armErr " + kRefused) << type;
    EXPECT_EQ(reply.size(), 2u) << type;
  }
  // A listener whose accept queue is full: connect() waits until its limit.
  int port = 0;
  const int listener = boundSocket(true, &port);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    fillers.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    connect(fillers.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  request["type"] = "setTime";
  EXPECT_EQ(call(root, request, daemonAt(port))["retMsg"], "arm connect timeout");
  for (int fd : fillers) close(fd);
  close(listener);
  EXPECT_EQ(dumpDatabase(root, true), before);
}

// A restart the daemon acknowledges does not reboot here; one that fails
// reboots the device itself, but only for an open session from an admitted
// address, and then sends no JSON reply after the header.
TEST(DaemonRequests, Restart) {
  TempRoot root;
  const std::string marker = root.path("rebooted");
  writeFile(root.path("sbin/reboot"), "#!/bin/sh\necho reboot >> '" + marker + "'\n");
  chmod(root.path("sbin/reboot").c_str(), 0755);
  FakeDaemon daemon;
  const Env up = daemonAt(daemon.port()), down = daemonAt(closedPort());
  Json::Value restart = sessionRequest(root, "restart");
  Json::Value stranger = restart;
  stranger["user"]["token"] = "not-the-token";

  Json::Value reply = call(root, restart, up);
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("users"));
  EXPECT_EQ(daemon.packets(), (std::vector<Bytes>{{0xA4, 0x02, 0x05, 0x00}}));

  EXPECT_EQ(call(root, stranger, up)["retMsg"], kNoSession);
  EXPECT_EQ(call(root, stranger, down)["ret"], "armErr");
  root.exec("update other2 set ipsType=0; insert into ips2 values ('127.0.0.1');");
  EXPECT_EQ(call(root, restart, down)["ret"], "armErr");
  root.exec("update other2 set ipsType=2;");
  EXPECT_FALSE(fileExists(marker));

  daemon.scriptRet(5, 1);
  for (const Env& env : {down, up}) {
    std::remove(marker.c_str());
    CgiResult r = postAjax(root, restart, env);
    EXPECT_TRUE(fileExists(marker));
    EXPECT_EQ(r.body().find("\"ret\""), std::string::npos) << r.out;
  }
  // Without a reboot program: the error reply follows the header alone, with
  // nothing of the reboot pipeline in front of it.
  std::remove(root.path("sbin/reboot").c_str());
  CgiResult r = postAjax(root, restart, up);
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.body(), "{\"ret\":\"armErr\",\"retMsg\":\"arm ack error,ret=1\"}\n \n");
  EXPECT_NE(readFile(root.path("usr/app/yal/www/cgi/xxx.log")), "");
}

// The connection is the first check of the five daemon types: a refused
// address, a missing session or a malformed module id is found only after
// it, so the daemon sees the connection, and an unreachable daemon is what
// the reply reports. Other types never connect.
TEST(DaemonRequests, WhoConnects) {
  TempRoot root;
  FakeDaemon daemon;
  const Env up = daemonAt(daemon.port()), down = daemonAt(closedPort());
  root.exec("update other2 set ipsType=0; insert into ips2 values ('10.9.9.9');");

  int connections = 0;
  for (const char* type : {"updServer", "updDog", "qt", "restart", "setTime"}) {
    Json::Value listed = sessionRequest(root, type);
    Json::Value stranger = listed;
    stranger["user"]["token"] = "not-the-token";
    EXPECT_EQ(call(root, listed, up, "10.9.9.9")["retMsg"],
              "ip black list error(your ip is in the list)") << type;
    EXPECT_EQ(call(root, stranger, up)["retMsg"], kNoSession) << type;
    connections += 2;
    EXPECT_TRUE(waitConnections(daemon, connections)) << type;
    for (const Json::Value& request : {listed, stranger}) {
      EXPECT_EQ(call(root, request, down, "10.9.9.9")["retMsg"], kRefused) << type;
    }
  }
  root.exec("update other2 set ipsType=2;");
  Json::Value numericId = sessionCall(root);
  numericId["dogPara"]["id"] = 3;
  Json::Value reply = call(root, numericId, up);
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_NE(reply["retMsg"].asString().find("dogPara.id"), std::string::npos) << reply["retMsg"];
  EXPECT_TRUE(waitConnections(daemon, ++connections));
  EXPECT_TRUE(daemon.packets().empty()) << "refused calls send nothing";

  Json::Value login;
  login["type"] = "login";
  login["userNM"] = "operator";
  login["pw"] = "wrong";
  call(root, login, up);
  for (const char* type : {"ref", "saveLanguage", "logout", "updPriv", "updUser", "selLog",
                           "Restart", ""}) {
    call(root, sessionRequest(root, type), up);
  }
  // A daemon request last: once its packet has come, every earlier
  // connection would have been accepted before it.
  EXPECT_EQ(call(root, sessionRequest(root, "setTime"), up)["ret"], "ok");
  ASSERT_TRUE(daemon.waitForPackets(1, std::chrono::seconds(5)));
  EXPECT_EQ(daemon.connections(), connections + 1);
}

}  // namespace
}  // namespace korvantest
