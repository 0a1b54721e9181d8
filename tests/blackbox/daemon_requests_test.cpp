// The requests that talk to the switch daemon: the packets an in-test daemon
// receives, the replies built from its answers, link failures, the restart.
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "calls.h"
#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {

using Env = std::map<std::string, std::string>;

const std::string kRefused = std::string("arm connect error:") + std::strerror(ECONNREFUSED);

// A loopback socket on a free port: listening with a full accept queue (a
// connect() to it waits until its limit), or closed again (refused).
int loopbackPort(bool fullQueue, std::vector<int>& sockets) {
  sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
  socklen_t len = sizeof address;
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), len), 0);
  EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len), 0);
  if (!fullQueue) close(fd);
  if (fullQueue && listen(fd, 0) == 0) {
    sockets.push_back(fd);
    for (int i = 0; i < 4; ++i) {
      sockets.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
      connect(sockets.back(), reinterpret_cast<sockaddr*>(&address), len);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return ntohs(address.sin_port);
}

class DaemonRequests : public ::testing::Test {
 protected:
  ~DaemonRequests() override {
    for (int fd : sockets_) close(fd);
  }
  Env at(int port, Env env = {}) {
    env["KORVAN_ARM_PORT"] = std::to_string(port);
    return env;
  }
  Env up(Env env = {}) { return at(daemon_.port(), env); }
  Env down() { return at(loopbackPort(false, sockets_)); }

  Json::Value call(const Json::Value& request, const Env& env,
                   const std::string& remoteAddr = "127.0.0.1") {
    return completeReply(postAjax(root_, request, env, remoteAddr));
  }

  bool waitConnections(int count) {
    for (int i = 0; i < 400 && daemon_.connections() < count; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return daemon_.connections() == count;
  }

  // The request table's KVM session (console module 3, serial, in slot 3)
  // and clock setting.
  Json::Value kvm(const std::string& type2 = "1") {
    Json::Value request = tableRequest(root_, requestEntry("qt"));
    request["dogPara"]["type2"] = type2;
    return request;
  }
  Json::Value clock(const std::string& time2 = "2026-03-07 09:05:02") {
    Json::Value request = tableRequest(root_, requestEntry("setTime"));
    request["time2"] = time2;
    return request;
  }

  TempRoot root_;
  FakeDaemon daemon_;
  std::vector<int> sockets_;
};

std::string outcome(const Json::Value& reply) {
  return reply["ret"].asString() + " " + reply["retMsg"].asString();
}

TEST_F(DaemonRequests, SetTimeSendsTheLocalClock) {
  // The same moment, 1772874302 s after the epoch, written in two time zones.
  for (auto [tz, text] :
       {std::pair{"UTC", "2026-03-07 09:05:02"}, {"XST-2", "2026-03-07 11:05:02"}}) {
    Json::Value reply = call(clock(text), up({{"TZ", tz}}));
    EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  }
  const Bytes packet = {0xA4, 0x05, 0x03, 0x69, 0xAB, 0xEA, 0x3E};
  EXPECT_EQ(daemon_.packets(), (std::vector<Bytes>{packet, packet}));
  EXPECT_EQ(daemon_.connections(), 2);
}

TEST_F(DaemonRequests, KvmSessionGranted) {
  Json::Value reply = call(kvm(), up(), "10.20.30.40");
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("users"));
  // Module id, identity at 4, user name at 23, the browser's address last
  // octet first at 56, privilege 1, no code, the user id.
  Bytes expected = {0xA4, 68, 1, 3};
  expected.resize(70);
  std::memcpy(&expected[4], "S2B0000003", 10);
  std::memcpy(&expected[23], "admin", 5);
  std::memcpy(&expected[56], "\x28\x1e\x14\x0a\0\0\0\x01\0\0\0\0\0\x01", 14);
  EXPECT_EQ(daemon_.packets(), std::vector<Bytes>{expected});
  // The session parameters travel as a JSON text inside a string; a serial
  // module's carries its port instead.
  const std::string common = R"({"desDecode":"deadbeef00112233","desEncode":"0aff001001020304",)"
                             R"("dogID":"3","ip":"192.168.1.10",)";
  EXPECT_EQ(reply["qt"].asString(), common + R"("portKM":"5901","portMedia":"5918","portV":"5900",)"
                                             R"("priv":"1","userID":"1","userNM":"admin"})"
                                             "\n");
  EXPECT_EQ(call(kvm("2"), up())["qt"].asString(),
            common + R"("portCOM":"5901","userID":"1","userNM":"admin"})"
                     "\n");
}

// How the reply is judged: result codes, replies cut short, late, missing.
TEST_F(DaemonRequests, DaemonAnswers) {
  // Result byte, delay, silent, closing, cut short to `len` bytes.
  auto reply = [](uint8_t ret, int delayMs = 0, bool silent = false, bool close = false,
                  size_t len = 0) {
    return FakeReply{ret, delayMs, silent, close, len > 0, len, {}, {}, {}};
  };
  const uint8_t kQT = 1, kTime = 3;
  const struct {
    uint8_t type;
    FakeReply reply;
    const char* outcome;
  } cases[] = {
      {kQT, reply(1), "warning 1\uFF1Aport has not console"},
      {kQT, reply(7), "warning 7: channel is full"},
      {kQT, reply(8), "warning 8: unknown refusal"},
      {kTime, reply(7), "armErr arm ack error,ret=1"},
      {kTime, reply(0, 0, false, false, 3), "armErr arm read ack short"},
      {kTime, reply(0, 0, false, true), "armErr arm read ack closed"},
      {kTime, reply(0, 300), "ok "},
      {kTime, reply(0, 0, true), "armErr arm read ack timeout"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.outcome);
    FakeDaemon daemon;
    daemon.script(c.type, c.reply);
    Json::Value answer = call(c.type == kQT ? kvm() : clock(), at(daemon.port()));
    EXPECT_EQ(outcome(answer), c.outcome);
    const bool ok = answer["ret"] == "ok";
    EXPECT_EQ(answer.isMember("users"), ok) << "a snapshot only after success";
    EXPECT_TRUE(ok || !answer.isMember("qt"));
    EXPECT_EQ(daemon.packets().size(), 1u);
  }
}

// The real reply limit, once: a silent daemon is given up after ten seconds.
TEST_F(DaemonRequests, SilentDaemonIsGivenUpAfterTenSeconds) {
  daemon_.script(3, FakeReply{0, 0, true, false, false, 0, {}, {}, {}});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(call(clock(), up(kRealDaemonWaits))["retMsg"], "arm read ack timeout");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(9500));
}

TEST_F(DaemonRequests, UnreachableDaemonLeavesTheDatabaseAlone) {
  // The session sweep and the session extension would both show: user 2's
  // lapsed session would be closed, user 1's expiry moved on.
  Json::Value request = clock();
  root_.exec(
      "update user2 set expireTime=expireTime-300 where id=1;"
      "update user2 set status=1, expireTime=1 where id=2;");
  request["server"]["ip"] = "192.168.1.20";
  request["dogPara"]["id"] = "1";
  request["dogPara"]["nm"] = "renamed";
  Json::Value stranger = request;
  stranger["user"]["token"] = "not-the-token";
  const std::string before = dumpTables(root_);
  // The connection is the first check of the five daemon types: a missing
  // session is found only after it.
  for (const char* type : {"setTime", "qt", "updServer", "updDog", "restart"}) {
    request["type"] = stranger["type"] = type;
    Json::Value reply = call(type == std::string("restart") ? stranger : request, down());
    EXPECT_EQ(outcome(reply), "armErr " + kRefused) << type;
    EXPECT_EQ(reply.size(), 2u) << type;
  }
  request["type"] = "setTime";
  EXPECT_EQ(call(request, at(loopbackPort(true, sockets_)))["retMsg"], "arm connect timeout");
  EXPECT_EQ(dumpTables(root_), before);
  for (const char* type : {"setTime", "qt", "updServer", "updDog", "restart"}) {
    stranger["type"] = type;
    EXPECT_EQ(call(stranger, up())["retMsg"], "curUser has loginned or idle timeout") << type;
  }
  EXPECT_TRUE(waitConnections(5));
  EXPECT_TRUE(daemon_.packets().empty()) << "refused calls send nothing";
}

// A failed restart reboots the device itself (an open session from an
// admitted address only) and sends no JSON reply; an acknowledged one does not.
TEST_F(DaemonRequests, Restart) {
  const std::string marker = stubReboot(root_);
  Json::Value restart = sessionRequest(root_, "restart");
  Json::Value stranger = restart;
  stranger["user"]["token"] = "not-the-token";

  Json::Value reply = call(restart, up());
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("users"));
  EXPECT_EQ(daemon_.packets(), (std::vector<Bytes>{{0xA4, 0x02, 0x05, 0x00}}));
  EXPECT_EQ(call(stranger, down())["ret"], "armErr");
  root_.exec("update other2 set ipsType=0; insert into ips2 values ('127.0.0.1');");
  EXPECT_EQ(call(restart, down())["ret"], "armErr");
  root_.exec("update other2 set ipsType=2;");
  EXPECT_FALSE(fileExists(marker));

  daemon_.scriptRet(5, 1);
  for (const Env& env : {down(), up()}) {
    std::remove(marker.c_str());
    CgiResult r = postAjax(root_, restart, env);
    EXPECT_TRUE(fileExists(marker));
    EXPECT_EQ(r.body().find("\"ret\""), std::string::npos) << r.out;
  }
}

}  // namespace
}  // namespace korvantest
