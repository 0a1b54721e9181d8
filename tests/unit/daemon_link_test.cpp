// The daemon connection and whole exchanges against the in-test fake daemon:
// connect failures, the connect limit, and replies that come short, late or
// not at all. The ten-second reply limit is checked once, end to end, in the
// black-box daemon request tests.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>

#include "daemon/arm.h"
#include "daemon/packets.h"
#include "daemon/recv_pak.h"
#include "daemon/send_pak.h"
#include "daemon/socket_io.h"
#include "daemon_test_env.h"
#include "fake_daemon.h"

namespace korvantest {
namespace {

namespace pak = korvan::pak;
using Clock = std::chrono::steady_clock;

class DaemonLink : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KORVAN_ARM_PORT", std::to_string(fake_.port()).c_str(), 1);
    CArm::socketCnn = -1;
  }
  void TearDown() override {
    if (CArm::socketCnn >= 0) close(CArm::socketCnn);
    CArm::socketCnn = -1;
    unsetenv("KORVAN_ARM_PORT");
  }

  // Waits until the fake daemon has accepted `count` connections.
  bool waitConnections(int count) {
    for (int i = 0; i < 200 && fake_.connections() < count; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return fake_.connections() == count;
  }

  ScopedRoot root_;
  FakeDaemon fake_;
  Json::Value in_;
  Json::Value out_;
};

TEST_F(DaemonLink, OnlyDaemonRequestTypesConnect) {
  for (const char* type : {"login", "logout", "ref", "selLog", "updUser", "", "Restart"}) {
    initArmCnn(type);
    EXPECT_EQ(CArm::socketCnn, -1) << type;
  }
  int connected = 0;
  for (const char* type : {"updServer", "updDog", "qt", "restart", "setTime"}) {
    initArmCnn(type);
    ASSERT_GE(CArm::socketCnn, 0) << type;
    close(CArm::socketCnn);
    CArm::socketCnn = -1;
    ++connected;
  }
  EXPECT_TRUE(waitConnections(connected));
  EXPECT_NE(root_.traceLog().find("491_Time:"), std::string::npos);
  EXPECT_NE(root_.traceLog().find("Msg:::cnn arm ok\n"), std::string::npos);
}

TEST_F(DaemonLink, RefusedConnection) {
  // A port that was just free: nothing listens there.
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof address;
  ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(getsockname(probe, reinterpret_cast<sockaddr*>(&address), &len), 0);
  close(probe);
  setenv("KORVAN_ARM_PORT", std::to_string(ntohs(address.sin_port)).c_str(), 1);

  CMyErr e = thrownBy([] { initArmCnn("setTime"); });
  EXPECT_EQ(e.type, CMyErr::armErr);
  EXPECT_EQ(std::string(e.what()), std::string("arm connect error:") + std::strerror(ECONNREFUSED));
  EXPECT_EQ(CArm::socketCnn, -1);
  EXPECT_EQ(alarm(0), 0u) << "the connect alarm must be cancelled";
}

TEST_F(DaemonLink, ConnectGivesUpAfterOneSecond) {
  // A listener whose accept queue is full drops further connection attempts,
  // so connect() waits until the alarm cuts it short.
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &len), 0);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers.push_back(fd);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  int fd = socket(AF_INET, SOCK_STREAM, 0);
  auto start = Clock::now();
  CMyErr e = thrownBy([&] { socketConnectTimeout(fd, &address, sizeof address); });
  auto took = Clock::now() - start;
  EXPECT_EQ(e.type, CMyErr::armErr);
  EXPECT_STREQ(e.what(), "arm connect timeout");
  EXPECT_GE(took, std::chrono::milliseconds(900));
  EXPECT_LT(took, std::chrono::milliseconds(3000));
  EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "the failed socket is closed";
  for (int filler : fillers) close(filler);
  close(listener);
}

TEST_F(DaemonLink, ConnectLeavesNoSignalHandlerBehind) {
  CArm::cnn();
  EXPECT_EQ(alarm(0), 0u) << "no alarm may be pending";
  struct sigaction current {};
  sigaction(SIGALRM, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
  CArm::restart(in_, out_);
}

TEST_F(DaemonLink, ExchangesFollowOneAnotherOnOneConnection) {
  in_ = Json::Value(Json::objectValue);
  in_["time2"] = "2026-03-07 09:05:02";
  in_["server"]["ip"] = "192.168.1.10";
  in_["dogPara"]["id"] = "2";
  in_["dogPara"]["portID"] = "3";
  in_["dogPara"]["nm"] = "web";
  in_["dogPara"]["uid"] = "U3";
  in_["dogPara"]["code"] = "1";
  in_["dogPara"]["frame"] = "2";

  CArm::cnn();
  CArm::setTime(in_, out_);
  CArm::restart(in_, out_);
  CArm::setServerIP(in_, out_);
  CArm::setDogNM(in_, out_);
  CArm::setDogUID(in_, out_);
  CArm::setDogCodeFrame(in_, out_);

  auto packets = fake_.packets();
  ASSERT_EQ(packets.size(), 6u);
  const uint8_t types[] = {pak::kTypeTime,  pak::kTypeRestart, pak::kTypeServerIP,
                           pak::kTypeDogNM, pak::kTypeDogUID,  pak::kTypeDogCodeFrame};
  for (size_t i = 0; i < packets.size(); ++i) {
    EXPECT_EQ(packets[i][2], types[i]);
    EXPECT_EQ(packets[i].size(), pak::findType(types[i])->requestLen);
  }
  EXPECT_EQ(packets[3][3], 2) << "the name packet's port is dogPara.id";
  EXPECT_EQ(packets[4][3], 3) << "the identity packet's port is dogPara.portID";
  EXPECT_EQ(fake_.connections(), 1);
  EXPECT_TRUE(out_.isNull());
}

TEST_F(DaemonLink, SessionExchange) {
  in_ = Json::Value(Json::objectValue);
  in_["dogPara"]["id"] = "5";
  in_["dogPara"]["type2"] = "1";
  in_["userID"] = "9";
  CArm::cnn();
  const Caller caller{"9", "", 1, "", "", "172.16.0.9"};
  CSendPak::qt(CArm::socketCnn, caller, in_, out_);
  CRecvPak::qt(CArm::socketCnn, caller, in_, out_);
  Json::Value session;
  ASSERT_TRUE(Json::Reader().parse(out_["qt"].asString(), session));
  EXPECT_EQ(session["desEncode"].asString(), "0aff001001020304");
  EXPECT_EQ(session["desDecode"].asString(), "deadbeef00112233");

  auto packets = fake_.packetsOfType(pak::kTypeQT);
  ASSERT_EQ(packets.size(), 1u);
  const size_t ip = offsetof(pak::QTRequest, userIP);
  EXPECT_EQ(Bytes(packets[0].begin() + ip, packets[0].begin() + ip + 4),
            (Bytes{9, 0, 16, 172}));
}

TEST_F(DaemonLink, ModuleReplyJudgedOnItsResultByteOnly) {
  FakeReply odd;
  odd.raw = Bytes{0x00, 0x00, 0x00, 0xFF, 0x00};  // only byte 4 counts
  fake_.script(pak::kTypeDogUID, odd);
  CArm::cnn();
  CArm::setDogUID(in_, out_);
}

TEST_F(DaemonLink, RefusedChangeIsAnArmError) {
  fake_.scriptRet(pak::kTypeDogNM, 3);
  CArm::cnn();
  CMyErr e = thrownBy([&] { CArm::setDogNM(in_, out_); });
  EXPECT_EQ(e.type, CMyErr::armErr);
  EXPECT_STREQ(e.what(), "arm ack error,ret=1");
}

TEST_F(DaemonLink, ShortReplyAndClosedConnection) {
  FakeReply shortReply;
  shortReply.mode = FakeReply::Mode::kShort;
  fake_.script(pak::kTypeTime, shortReply);
  FakeReply closing;
  closing.mode = FakeReply::Mode::kClose;
  fake_.script(pak::kTypeRestart, closing);

  CArm::cnn();
  CMyErr e = thrownBy([&] { CArm::setTime(in_, out_); });
  EXPECT_EQ(e.type, CMyErr::armErr);
  EXPECT_STREQ(e.what(), "arm read ack short");
  close(CArm::socketCnn);

  CArm::cnn();
  e = thrownBy([&] { CArm::restart(in_, out_); });
  EXPECT_EQ(e.type, CMyErr::armErr);
  EXPECT_STREQ(e.what(), "arm read ack closed");
  ASSERT_EQ(fake_.packetsOfType(pak::kTypeRestart).size(), 1u);
}

TEST_F(DaemonLink, LateReplyWithinTheLimitIsAccepted) {
  FakeReply late;
  late.delayMs = 300;
  fake_.script(pak::kTypeServerIP, late);
  CArm::cnn();
  auto start = Clock::now();
  CArm::setServerIP(in_, out_);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
}

}  // namespace
}  // namespace korvantest
