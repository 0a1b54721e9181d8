// Console modules and server settings through the program, with a fake daemon
// that records every packet. Each console-module packet is followed by a
// pause: shortened here, at its real length of one second once.
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

const char* const kLongName = "install-media-of-the-second-rack-row-4";

class DaemonActions : public ::testing::Test {
 protected:
  void SetUp() override { actionsbb::slotOnlineModules(root_); }

  Json::Value call(const Json::Value& request,
                   std::map<std::string, std::string> env = korvantest::kShortDaemonWaits) {
    env["KORVAN_ARM_PORT"] = std::to_string(daemon_.port());
    auto start = Clock::now();
    Json::Value reply = korvantest::ajax(root_, request, env, "198.51.100.4");
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
  // A module without a console slot, and an unknown module, load nothing.
  for (const char* id : {"4", "99"}) {
    Json::Value other = webModule();
    other["dogPara"]["id"] = id;
    other["dogPara"]["nm"] = "renamed";
    EXPECT_EQ(call(other)["retMsg"], "Nothing modified") << id;
  }
  EXPECT_TRUE(daemon_.packets().empty());
  EXPECT_EQ(root_.scalar("select nm from dog2 where id=4;"), "switch-console");

  Json::Value req = webModule();
  req["dogPara"]["nm"] = "web-east";
  req["dogPara"]["type2"] = 1;
  req["dogPara"]["depart"] = "ops";
  Json::Value reply = call(req, korvantest::kRealDaemonWaits);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_GE(elapsed_.count(), 1000) << "the real pause after the packet";
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
  // The name went out before the refused code and frame.
  EXPECT_EQ(types(), (std::vector<uint8_t>{7, 9}));
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
  // A virtual-media module with its stored settings and a new identity:
  // never "Nothing modified"; identity, name and code-and-frame all go out on
  // one connection. The name packet is addressed by the module id, the other
  // two by the port id; texts are cut to their fields.
  Json::Value req = webModule();
  Json::Value& p = req["dogPara"];
  p["id"] = "5";
  p["uid"] = "V3C0000055-and-more";
  p["portID"] = "7";
  p["nm"] = kLongName;
  p["sm"] = "2";
  p["code"] = "2000";
  p["frame"] = "35";
  Json::Value reply = call(req);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  auto packets = daemon_.packets();
  ASSERT_EQ(packets.size(), 3u);
  EXPECT_EQ(daemon_.connections(), 1);
  Bytes uid{0xA4, 19, 8, 7};
  for (char c : std::string("V3C0000055-and-mo")) uid.push_back(static_cast<uint8_t>(c));
  Bytes name{0xA4, 35, 7, 5};
  for (char c : std::string(kLongName).substr(0, 33)) name.push_back(static_cast<uint8_t>(c));
  EXPECT_EQ(packets[0], uid);
  EXPECT_EQ(packets[1], name);
  EXPECT_EQ(packets[2], (Bytes{0xA4, 8, 9, 7, 0x00, 35, 0x00, 0x00, 0x07, 0xD0}));
  EXPECT_EQ(root_.scalar("select uid||'|'||nm||'|'||sm||'|'||code||'|'||frame from dog2 "
                         "where id=5;"),
            "V3C0000055-and-more|" + std::string(kLongName) + "|2|2000|35");
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
  // A stored encryption outside the table is logged as a placeholder.
  root_.exec("update server2 set encrypt=7;");
  Json::Value reply = call(serverRequest(root_));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  // Addresses last octet first, the web port big-endian.
  EXPECT_EQ(daemon_.packetsOfType(2),
            (std::vector<Bytes>{{0xA4, 0x11, 0x02, 0x0A, 0x01, 0xA8, 0xC0, 0x01, 0x01, 0xA8, 0xC0,
                                0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x50}}));
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
  want.append(entry("Encrypt", "--", "3des"));
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
