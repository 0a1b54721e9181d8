// Console modules and server settings through the program, with a fake daemon
// that records every packet. Each console-module packet is followed by a
// one-second pause, so these cases send as little as they can.
#include <gtest/gtest.h>

#include <chrono>

#include "actions_helpers.h"
#include "fake_daemon.h"

using actionsbb::entry;
using actionsbb::lastLog;
using actionsbb::logCount;
using korvantest::Bytes;
using korvantest::FakeDaemon;
using korvantest::sessionRequest;
using korvantest::TempRoot;
using Clock = std::chrono::steady_clock;

namespace {

class DaemonActions : public ::testing::Test {
 protected:
  void SetUp() override { actionsbb::slotOnlineModules(root_); }

  Json::Value call(const Json::Value& request) {
    auto start = Clock::now();
    Json::Value reply = korvantest::ajax(
        root_, request, {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())}}, "198.51.100.4");
    elapsed_ = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return reply;
  }

  // Module 1 (kind usb) as the browser shows it, in slot 1.
  Json::Value webModule() {
    Json::Value req = sessionRequest(root_, "updDog");
    Json::Value& p = req["dogPara"];
    p["id"] = "1";
    p["uid"] = "U1A0000001";
    p["portID"] = "1";
    p["nm"] = "web-01";
    p["sm"] = "0";
    p["code"] = "1000";
    p["frame"] = "30";
    p["type2"] = "0";
    p["status"] = "1";
    p["priv"] = "0";
    for (const char* m : {"group2", "pos1", "pos2", "depart", "memo"}) p[m] = " ";
    return req;
  }

  std::vector<uint8_t> types() const {
    std::vector<uint8_t> t;
    for (const Bytes& p : daemon_.packets()) t.push_back(p.at(2));
    return t;
  }

  TempRoot root_;
  FakeDaemon daemon_;
  std::chrono::milliseconds elapsed_{0};
};

TEST_F(DaemonActions, ConsoleNameChange) {
  Json::Value unchanged = call(webModule());
  EXPECT_EQ(unchanged["ret"], "warning");
  EXPECT_EQ(unchanged["retMsg"], "Nothing modified");
  EXPECT_TRUE(daemon_.packets().empty());

  Json::Value req = webModule();
  req["dogPara"]["nm"] = "web-east";
  req["dogPara"]["type2"] = 1;
  req["dogPara"]["depart"] = "ops";
  Json::Value reply = call(req);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_GE(elapsed_.count(), 1000);
  EXPECT_EQ(types(), std::vector<uint8_t>{7});
  EXPECT_EQ(root_.scalar("select nm from dog2 where id=1;"), "web-east");
  EXPECT_EQ(root_.scalar("select nm||'|'||depart from dogInfo2 where id=1;"), "web-east|ops");

  auto log = lastLog(root_);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "dog/updDog/update console");
  EXPECT_EQ(log.ip, "198.51.100.4");
  EXPECT_EQ(log.user, "admin");
  ASSERT_EQ(log.detail.size(), 11u);
  EXPECT_EQ(log.detail[1], entry("Name", "web-01", "web-east"));
  EXPECT_EQ(log.detail[3], entry("type", "usb", "usb"));
  EXPECT_EQ(log.detail[7], entry("department", " ", "ops"));
}

TEST_F(DaemonActions, RefusedConsoleChangeKeepsDatabaseAndLog) {
  daemon_.scriptRet(9, 1);
  Json::Value req = webModule();
  req["dogPara"]["nm"] = "never";
  req["dogPara"]["frame"] = "25";
  Json::Value reply = call(req);
  EXPECT_EQ(reply["ret"], "armErr");
  EXPECT_EQ(reply["retMsg"], "arm ack error,ret=1");
  // The name went out (and was paused after) before the refused code and frame.
  EXPECT_EQ(types(), (std::vector<uint8_t>{7, 9}));
  EXPECT_GE(elapsed_.count(), 1000);
  EXPECT_EQ(root_.scalar("select nm||'|'||frame from dog2 where id=1;"), "web-01|30");
  EXPECT_EQ(root_.scalar("select nm from dogInfo2 where id=1;"), "web-01");
  EXPECT_EQ(logCount(root_), 0);
}

TEST_F(DaemonActions, ConsoleChangesThatSendNothing) {
  // Code and frame of a serial module, and a share mode, have no packet.
  Json::Value serial = webModule();
  Json::Value& p = serial["dogPara"];
  p["id"] = "3";
  p["uid"] = "S2B0000003";
  p["nm"] = "router-console";
  p["code"] = "700";
  p["frame"] = "12";
  p["sm"] = "2";
  ASSERT_EQ(call(serial)["ret"], "ok");
  EXPECT_EQ(root_.scalar("select code||'|'||frame||'|'||sm from dog2 where id=3;"), "700|12|2");
  auto log = lastLog(root_);
  // The stored share mode is not read back: side A shows "full share".
  EXPECT_EQ(log.detail[2], entry("shareMode", "full share", "grab share"));
  EXPECT_EQ(log.detail[3], entry("type", "--", "--"));
  EXPECT_EQ(log.detail[9], entry("bit stream", "500", "700"));

  // Malformed values are refused before the first packet.
  Json::Value hostile = webModule();
  hostile["dogPara"]["nm"] = "x";
  hostile["dogPara"]["sm"] = "0 or 1=1";
  EXPECT_EQ(call(hostile)["ret"], "err");
  Json::Value number = webModule();
  number["dogPara"]["nm"] = "y";
  number["dogPara"]["code"] = 1500;  // the code-and-frame packet takes texts only
  EXPECT_EQ(call(number)["ret"], "err");

  EXPECT_TRUE(daemon_.packets().empty());
  EXPECT_EQ(root_.scalar("select nm from dog2 where id=1;"), "web-01");
  EXPECT_EQ(logCount(root_), 1);
}

TEST_F(DaemonActions, FactoryModeConsoleUpdate) {
  root_.exec("update other2 set factoryMode=1;");
  // A serial module with its stored values: still sent and written, never
  // "Nothing modified"; no code-and-frame packet for a serial module.
  Json::Value req = webModule();
  Json::Value& p = req["dogPara"];
  p["id"] = "3";
  p["uid"] = "S2B0000003";
  p["portID"] = "3";
  p["nm"] = "router-console";
  p["code"] = "500";
  p["frame"] = "10";
  Json::Value reply = call(req);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_GE(elapsed_.count(), 2000);
  EXPECT_EQ(types(), (std::vector<uint8_t>{8, 7}));
  EXPECT_EQ(root_.scalar("select uid||'|'||nm||'|'||code||'|'||frame from dog2 where id=3;"),
            "S2B0000003|router-console|500|10");
  EXPECT_EQ(logCount(root_), 0);
}

Json::Value serverRequest(const TempRoot& root) {
  Json::Value req = sessionRequest(root, "updServer");
  Json::Value& s = req["server"];
  s["uid"] = "A1";
  s["nm"] = "srv";
  s["encrypt"] = "1";
  s["ip"] = "192.168.1.10";
  s["gateway"] = "192.168.1.1";
  s["subnetMask"] = "255.255.255.0";
  s["portKM"] = "5900";
  s["portV"] = "5901";
  s["portWeb"] = "80";
  return req;
}

TEST_F(DaemonActions, ServerSettings) {
  Json::Value reply = call(serverRequest(root_));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(types(), (std::vector<uint8_t>{2, 5}));
  EXPECT_EQ(root_.query("select uid,nm,encrypt,ip,gateway,subnetMask,portKM,portV,portWeb "
                        "from server2;")[0],
            (std::vector<std::string>{"A1", "srv", "1", "167880896", "16885952", "16777215", "5900",
                                      "5901", "80"}));
  EXPECT_EQ(reply["server"]["ip"], "192.168.1.10");
  auto log = lastLog(root_);
  EXPECT_EQ(log.type + "/" + log.typeSub + "/" + log.typeSubCN, "server/updServer/updateNetwork");
  Json::Value want(Json::arrayValue);
  want.append(entry("uid", "KV-0001", "A1"));
  want.append(entry("Name", "korvan-dev", "srv"));
  want.append(entry("Encrypt", "des", "3des"));
  want.append(entry("ip", "127.0.0.1", "192.168.1.10"));
  want.append(entry("keymousePort", "5900", "5900"));
  want.append(entry("videoPort", "5901", "5901"));
  want.append(entry("webPort", "8080", "80"));
  EXPECT_EQ(log.detail, want);

  // Resubmitted unchanged: stored and logged again, not sent. Name only:
  // not sent. Video port only: a restart alone.
  ASSERT_EQ(call(serverRequest(root_))["ret"], "ok");
  Json::Value name = serverRequest(root_);
  name["server"]["nm"] = "it's-me";
  ASSERT_EQ(call(name)["ret"], "ok");
  EXPECT_EQ(types(), (std::vector<uint8_t>{2, 5}));
  EXPECT_EQ(root_.scalar("select nm from server2;"), "it's-me");
  Json::Value video = serverRequest(root_);
  video["server"]["portV"] = 5999;
  ASSERT_EQ(call(video)["ret"], "ok");
  EXPECT_EQ(types(), (std::vector<uint8_t>{2, 5, 5}));
  EXPECT_EQ(logCount(root_), 4);
}

TEST_F(DaemonActions, ServerSettingsRefused) {
  struct Case {
    const char* member;
    Json::Value value;
  };
  const Case cases[] = {
      {"ip", "192.168.1.300"}, {"gateway", "192.168.1."}, {"subnetMask", Json::Value()},
      {"portKM", "0"},         {"portV", "65536"},        {"portWeb", "80 or 1=1"},
      {"portWeb", -80},        {"portKM", "8.5"},         {"encrypt", "3"},
  };
  for (const Case& c : cases) {
    Json::Value req = serverRequest(root_);
    req["server"][c.member] = c.value;
    Json::Value reply = call(req);
    EXPECT_EQ(reply["ret"], "warning") << c.member << "=" << c.value;
    EXPECT_EQ(reply["retMsg"], std::string("invalid network setting: ") + c.member);
  }
  EXPECT_TRUE(daemon_.packets().empty());

  // The daemon refuses the network packet: no restart, nothing stored.
  daemon_.scriptRet(2, 1);
  Json::Value reply = call(serverRequest(root_));
  EXPECT_EQ(reply["ret"], "armErr");
  EXPECT_EQ(reply["retMsg"], "arm ack error,ret=1");
  EXPECT_EQ(types(), std::vector<uint8_t>{2});
  EXPECT_EQ(root_.scalar("select nm||'|'||ip from server2;"), "korvan-dev|16777343");
  EXPECT_EQ(logCount(root_), 0);
}

}  // namespace
