// Server network settings against a seeded database and a fake daemon.
// Seeded row: KV-0001, korvan-dev, des, 127.0.0.1 / 127.0.0.1 / 255.255.255.0,
// ports 5900, 5901, 8080.
#include <gtest/gtest.h>

#include "actions_fixture.h"
#include "util/tools.h"

namespace {

using korvantest::Bytes;

class ServerActionTest : public ActionDaemonTest {
 protected:
  static Json::Value seeded() {
    Json::Value req = request("updServer");
    Json::Value& s = req["server"];
    s["uid"] = "KV-0001";
    s["nm"] = "korvan-dev";
    s["encrypt"] = "0";
    s["ip"] = "127.0.0.1";
    s["gateway"] = "127.0.0.1";
    s["subnetMask"] = "255.255.255.0";
    s["portKM"] = "5900";
    s["portV"] = 5901;
    s["portWeb"] = "8080";
    return req;
  }
  std::vector<std::string> row() {
    return root_->query(
        "select uid,nm,encrypt,ip,gateway,subnetMask,portKM,portV,portWeb from server2")[0];
  }
  std::vector<uint8_t> types() {
    std::vector<uint8_t> t;
    for (const Bytes& p : fake_.packets()) t.push_back(p.at(2));
    return t;
  }
};

TEST_F(ServerActionTest, NewAddressIsSentWithRestartStoredAndLogged) {
  Json::Value req = seeded();
  Json::Value& s = req["server"];
  s["uid"] = "A1";
  s["nm"] = "srv";
  s["encrypt"] = 1;
  s["ip"] = "192.168.1.10";
  s["gateway"] = "192.168.1.1";
  s["subnetMask"] = "255.255.255.0";
  s["portWeb"] = "80";
  ASSERT_FALSE(run(req).has_value());
  ASSERT_EQ(fake_.packets().size(), 2u);
  EXPECT_EQ(fake_.packets()[0],
            (Bytes{0xA4, 0x11, 0x02, 0x0A, 0x01, 0xA8, 0xC0, 0x01, 0x01, 0xA8, 0xC0, 0x00, 0xFF,
                   0xFF, 0xFF, 0x00, 0x00, 0x00, 0x50}));
  EXPECT_EQ(fake_.packets()[1], (Bytes{0xA4, 0x02, 0x05, 0x00}));
  EXPECT_EQ(row(), (std::vector<std::string>{"A1", "srv", "1", "167880896", "16885952",
                                             "16777215", "5900", "5901", "80"}));

  auto log = lastLog();
  EXPECT_EQ(log[3] + "/" + log[4] + "/" + log[5], "server/updServer/updateNetwork");
  Json::Value want(Json::arrayValue);
  want.append(entry("uid", "KV-0001", "A1"));
  want.append(entry("Name", "korvan-dev", "srv"));
  want.append(entry("Encrypt", "des", "3des"));
  want.append(entry("ip", "127.0.0.1", "192.168.1.10"));
  want.append(entry("keymousePort", "5900", "5900"));
  want.append(entry("videoPort", "5901", "5901"));
  want.append(entry("webPort", "8080", "80"));
  EXPECT_EQ(lastDetail(), want);
}

TEST_F(ServerActionTest, WhatTheDaemonHearsDependsOnWhatChanged) {
  // Unchanged: not refused (gateway and mask differ in form), not sent.
  Json::Value same = seeded();
  ASSERT_FALSE(run(same).has_value());
  // Name only: stored, not sent.
  Json::Value name = seeded();
  name["server"]["nm"] = "it's-me";
  ASSERT_FALSE(run(name).has_value());
  EXPECT_TRUE(fake_.packets().empty());
  EXPECT_EQ(row()[1], "it's-me");
  EXPECT_EQ(logCount(), 2);
  // Video port only: a restart alone.
  Json::Value video = seeded();
  video["server"]["portV"] = "5999";
  ASSERT_FALSE(run(video).has_value());
  EXPECT_EQ(types(), std::vector<uint8_t>{5});
  // A different gateway: network packet, then restart.
  Json::Value gateway = seeded();
  gateway["server"]["gateway"] = "127.0.0.254";
  ASSERT_FALSE(run(gateway).has_value());
  EXPECT_EQ(types(), (std::vector<uint8_t>{5, 2, 5}));
  EXPECT_EQ(row()[4], CTools::IP_strToInt("127.0.0.254"));
}

TEST_F(ServerActionTest, RefusedNetworkPacketStopsBeforeRestartAndDatabase) {
  fake_.scriptRet(2, 1);
  Json::Value req = seeded();
  req["server"]["ip"] = "10.0.0.2";
  req["server"]["nm"] = "never stored";
  auto e = run(req);
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->type, CMyErr::armErr);
  EXPECT_STREQ(e->what(), "arm ack error,ret=1");
  EXPECT_EQ(types(), std::vector<uint8_t>{2});
  EXPECT_EQ(row()[1], "korvan-dev");
  EXPECT_EQ(logCount(), 0);
}

TEST_F(ServerActionTest, InvalidSettingsAreRefusedBeforeTheDaemonIsTold) {
  struct Case {
    const char* member;
    Json::Value value;
  };
  const Case cases[] = {
      {"ip", "192.168.1.300"},
      {"ip", ""},
      {"gateway", "gateway"},
      {"subnetMask", Json::Value()},
      {"portKM", "0"},
      {"portV", "65536"},
      {"portWeb", "80 or 1=1"},
      {"portWeb", -80},
      {"portKM", "8.5"},
      {"encrypt", "3"},
      {"encrypt", ""},
  };
  for (const Case& c : cases) {
    Json::Value req = seeded();
    req["server"]["ip"] = "10.9.9.9";  // would be sent if the check let it through
    req["server"][c.member] = c.value;
    auto e = run(req);
    ASSERT_TRUE(e.has_value()) << c.member << "=" << c.value;
    EXPECT_EQ(e->type, CMyErr::warning);
    EXPECT_EQ(e->what(), std::string("invalid network setting: ") + c.member);
  }
  EXPECT_TRUE(fake_.packets().empty());
  EXPECT_EQ(row()[3], "16777343");
  EXPECT_EQ(logCount(), 0);

  // Accepted edges: port 65535 and 1, address forms inet_aton reads.
  Json::Value edge = seeded();
  edge["server"]["portKM"] = 1;
  edge["server"]["portV"] = "65535";
  edge["server"]["gateway"] = "127.1";
  ASSERT_FALSE(run(edge).has_value());
  EXPECT_EQ(row()[4], CTools::IP_strToInt("127.0.0.1"));
  EXPECT_EQ(row()[7], "65535");
}

}  // namespace
