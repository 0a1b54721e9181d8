// Console modules and server settings through the program, against a fake
// daemon; the pause after each module packet is real once.

#include <chrono>

#include "actions_helpers.h"
#include "calls.h"
#include "fake_daemon.h"

using actionsbb::lastLog;
using actionsbb::logCount;
using korvantest::Bytes;
using korvantest::sessionRequest;

namespace {

class DaemonActions : public ::testing::Test {
 protected:
  void SetUp() override { actionsbb::slotOnlineModules(root_); }

  Json::Value call(const Json::Value& request,
                   std::map<std::string, std::string> env = korvantest::kShortDaemonWaits) {
    env["KORVAN_ARM_PORT"] = std::to_string(daemon_.port());
    return korvantest::ajax(root_, request, env, "198.51.100.4");
  }

  // Module 1 (kind usb, slot 1) as the browser shows it, with the members of
  // the JSON object `changes`.
  Json::Value module(const std::string& changes = "{}") {
    Json::Value req = korvantest::tableRequest(root_, korvantest::requestEntry("updDog"));
    req["dogPara"] = korvantest::withMembers(req["dogPara"], R"({"nm":"web-01","frame":"30"})");
    req["dogPara"] = korvantest::withMembers(req["dogPara"], changes);
    return req;
  }
  // The table's server settings at address 192.168.1.10, `member` set to `value`.
  Json::Value server(const char* member = "ip", const Json::Value& value = "192.168.1.10") {
    Json::Value req = korvantest::tableRequest(root_, korvantest::requestEntry("updServer"));
    req["server"]["ip"] = "192.168.1.10";
    req["server"][member] = value;
    return req;
  }

  std::vector<int> types() const {
    std::vector<int> t;
    for (const Bytes& p : daemon_.packets()) t.push_back(p.at(2));
    return t;
  }
  std::string dog(const std::string& columns, const char* table = "dog2", const char* id = "1") {
    return root_.scalar("select " + columns + " from " + table + " where id=" + id + ";");
  }

  korvantest::TempRoot root_;
  korvantest::FakeDaemon daemon_;
};

TEST_F(DaemonActions, ConsoleNameChange) {
  // Unchanged, a module without a console slot, an unknown module: nothing.
  for (const Json::Value& req : {module(), module(R"({"id":"4","nm":"renamed"})"),
                                 module(R"({"id":"99","nm":"renamed"})")}) {
    Json::Value reply = call(req);
    EXPECT_EQ(reply["ret"].asString() + " " + reply["retMsg"].asString(),
              "warning Nothing modified");
  }
  EXPECT_TRUE(daemon_.packets().empty());
  EXPECT_EQ(dog("nm", "dog2", "4"), "switch-console");

  const auto start = std::chrono::steady_clock::now();
  Json::Value reply =
      call(module(R"({"nm":"web-east","type2":1,"depart":"ops"})"), korvantest::kRealDaemonWaits);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(1))
      << "the real pause after the packet";
  EXPECT_EQ(types(), std::vector<int>{7});
  EXPECT_EQ(dog("nm") + "|" + dog("nm||'|'||depart", "dogInfo2"), "web-east|web-east|ops");
  auto log = lastLog(root_);
  EXPECT_EQ(log.head, "admin 198.51.100.4 dog/updDog/update console");
  EXPECT_EQ(log.detail,
            "uid=U1A0000001>U1A0000001;Name=web-01>web-east;shareMode=full share>full share;"
            "type=usb>usb;group= > ;position1= > ;position2= > ;department= >ops;Memo= > ;"
            "bit stream=1000>1000;frame rate=30>30;");
}

TEST_F(DaemonActions, RefusedConsoleChangeKeepsDatabaseAndLog) {
  daemon_.scriptRet(9, 1);
  Json::Value reply = call(module(R"({"nm":"never","frame":"25"})"));
  EXPECT_EQ(reply["ret"].asString() + " " + reply["retMsg"].asString(),
            "armErr arm ack error,ret=1");
  // The name went out before the refused code and frame.
  EXPECT_EQ(types(), (std::vector<int>{7, 9}));
  EXPECT_EQ(dog("nm||'|'||frame") + "|" + dog("nm", "dogInfo2"), "web-01|30|web-01");
  // The record, committed before the first packet, says the change failed.
  EXPECT_EQ(logCount(root_), 1);
  const std::string detail = lastLog(root_).detail;
  EXPECT_EQ(detail.substr(detail.find("outcome=")), "outcome=failed: arm ack error,ret=1;");
}

TEST_F(DaemonActions, ConsoleChangesThatSendNothing) {
  // Code and frame of a serial module, and a share mode, have no packet.
  Json::Value serial = module(R"({"id":"3","uid":"S2B0000003","nm":"router-console",
      "code":"700","frame":"12","sm":"2"})");
  ASSERT_EQ(call(serial)["ret"], "ok");
  EXPECT_EQ(dog("code||'|'||frame||'|'||sm", "dog2", "3"), "700|12|2");
  // Malformed values are refused before the first packet; the code-and-frame
  // packet takes texts only.
  for (const Json::Value& req :
       {module(R"({"nm":"x","sm":"0 or 1=1"})"), module(R"({"nm":"y","code":1500})")}) {
    EXPECT_EQ(call(req)["ret"], "err");
  }
  EXPECT_TRUE(daemon_.packets().empty());
  EXPECT_EQ(dog("nm"), "web-01");
  EXPECT_EQ(logCount(root_), 1);
}

// Every number member is checked before the daemon is told anything, and a
// KVM session is asked for the stored module's identity only.
TEST_F(DaemonActions, NumbersAndConsoleCheckedBeforeAnyPacket) {
  auto kvm = [this](const std::string& dogPara) {
    return korvantest::withMembers(sessionRequest(root_, "qt"),
                                   R"({"server":{"netIP":{"ip":"192.168.1.10"},)"
                                   R"("netPort":{"portKM":"5901","portV":"5900"}},"dogPara":)" +
                                       dogPara + "}");
  };
  Json::Value noFrame = module(R"({"nm":"x"})");
  noFrame["dogPara"].removeMember("frame");
  Json::Value noPortID = module(R"({"nm":"x"})");
  noPortID["dogPara"].removeMember("portID");
  const std::pair<Json::Value, const char*> cases[] = {
      {module(R"({"nm":"x","sm":""})"), "invalid number: sm"},
      {module(R"({"nm":"x","sm":"0 or 1=1"})"), "invalid number: sm"},
      {module(R"({"nm":"x","code":"1e3"})"), "invalid number: code"},
      {noFrame, "invalid number: frame"},
      {noPortID, "invalid number: portID"},
      {module(R"({"nm":"x","portID":" 1"})"), "invalid number: portID"},
      {module(R"({"id":"one","nm":"x"})"), "invalid number: id"},
      {server("portKM", ""), "invalid number: portKM"},
      {server("portWeb", "80 or 1=1"), "invalid number: portWeb"},
      {server("encrypt", 1.5), "invalid number: encrypt"},
      {kvm(R"({"id":"1","uid":"U1A0000002","type2":"1"})"), "invalid request: dogPara.uid"},
      // A module id that names no module gives no rights on it.
      {kvm(R"({"id":"x1","type2":"1"})"), "permission denied"},
      {kvm(R"({"id":"99","type2":"1"})"), "permission denied"},
  };
  for (const auto& [request, message] : cases) {
    const Json::Value reply = call(request);
    EXPECT_EQ(reply["ret"].asString() + " " + reply["retMsg"].asString(),
              std::string("err ") + message);
  }
  EXPECT_TRUE(daemon_.packets().empty());
  EXPECT_EQ(dog("nm") + "|" + root_.scalar("select portKM from server2;"), "web-01|5900");
  // No change record; the two refused KVM requests leave their audit records.
  EXPECT_EQ(root_.scalar("select group_concat(type||'/'||typeSub) from log2;"),
            "access/denied,access/denied");

  // Without a uid, or with the stored one, the stored identity goes out.
  for (const char* dogPara : {R"({"id":"1","type2":"1"})", R"({"id":"1","uid":"U1A0000001"})"}) {
    Json::Value reply = call(kvm(dogPara));
    ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  }
  ASSERT_EQ(daemon_.packets().size(), 2u);
  for (const Bytes& packet : daemon_.packets()) {
    EXPECT_EQ(std::string(packet.begin() + 4, packet.begin() + 14), "U1A0000001");
  }
}

TEST_F(DaemonActions, FactoryModeConsoleUpdate) {
  root_.exec("update other2 set factoryMode=1;");
  // A virtual-media module with a new identity: never "Nothing modified";
  // identity (by port id), name (by module id) and code-and-frame (by port id)
  // go out on one connection, texts cut to their fields.
  const std::string name = "install-media-of-the-second-rack-row-4";
  Json::Value reply = call(module(R"({"id":"5","uid":"V3C0000055-and-more","portID":"7","nm":")" +
                                  name + R"(","sm":"2","code":"2000","frame":"35"})"));
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  Bytes uid{0xA4, 19, 8, 7}, nm{0xA4, 35, 7, 5};
  for (char c : std::string("V3C0000055-and-mo")) uid.push_back(static_cast<uint8_t>(c));
  for (char c : name.substr(0, 33)) nm.push_back(static_cast<uint8_t>(c));
  EXPECT_EQ(daemon_.packets(),
            (std::vector<Bytes>{uid, nm, {0xA4, 8, 9, 7, 0x00, 35, 0x00, 0x00, 0x07, 0xD0}}));
  EXPECT_EQ(daemon_.connections(), 1);
  EXPECT_EQ(dog("uid||'|'||nm||'|'||sm||'|'||code||'|'||frame", "dog2", "5"),
            "V3C0000055-and-more|" + name + "|2|2000|35");
  EXPECT_EQ(logCount(root_), 0);
}

TEST_F(DaemonActions, ServerSettings) {
  // A stored encryption outside the table is logged as a placeholder.
  root_.exec("update server2 set encrypt=7;");
  Json::Value reply = call(server());
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(reply["server"]["ip"], "192.168.1.10");
  // Addresses last octet first, the web port big-endian; then a restart.
  EXPECT_EQ(daemon_.packets(), (std::vector<Bytes>{{0xA4, 0x11, 0x02, 10, 1, 168, 192, 1, 1, 168,
                                                    192, 0, 255, 255, 255, 0, 0, 0x00, 80},
                                                   {0xA4, 0x02, 0x05, 0x00}}));
  EXPECT_EQ(root_.scalar("select uid||'|'||nm||'|'||encrypt||'|'||ip||'|'||gateway||'|'||subnetMask"
                         "||'|'||portKM||'|'||portV||'|'||portWeb from server2;"),
            "A1|srv|1|167880896|16885952|16777215|5900|5901|80");
  auto log = lastLog(root_);
  EXPECT_EQ(log.head, "admin 198.51.100.4 server/updServer/updateNetwork");
  EXPECT_EQ(log.detail,
            "uid=KV-0001>A1;Name=korvan-dev>srv;Encrypt=-->3des;ip=127.0.0.1>192.168.1.10;"
            "keymousePort=5900>5900;videoPort=5901>5901;webPort=8080>80;");

  // Name only: stored and logged, not sent. Video port only: a restart alone.
  ASSERT_EQ(call(server("nm", "it's-me"))["ret"], "ok");
  EXPECT_EQ(root_.scalar("select nm from server2;"), "it's-me");
  ASSERT_EQ(call(server("portV", 5999))["ret"], "ok");
  EXPECT_EQ(types(), (std::vector<int>{2, 5, 5}));
  EXPECT_EQ(logCount(root_), 3);
}

TEST_F(DaemonActions, ServerSettingsRefused) {
  const std::pair<const char*, Json::Value> cases[] = {
      {"ip", "192.168.1.300"}, {"gateway", "192.168.1."}, {"subnetMask", Json::Value()},
      {"portV", "65536"},      {"portWeb", "-1"},         {"encrypt", "3"},
  };
  for (const auto& [member, value] : cases) {
    Json::Value reply = call(server(member, value));
    EXPECT_EQ(reply["ret"].asString() + " " + reply["retMsg"].asString(),
              std::string("warning invalid network setting: ") + member)
        << value;
  }
  EXPECT_TRUE(daemon_.packets().empty());
}

}  // namespace
