// Log forwarding against a real collector (rsyslogd on loopback ports): what
// arrives, over which transport, and what happens while the collector is
// down, refuses the certificate or does not read.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "calls.h"
#include "slow_relay.h"
#include "syslog_collector.h"

namespace korvantest {
namespace {

using Input = SyslogCollector::Input;

class Forwarding : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { collector_ = new SyslogCollector(); }
  static void TearDownTestSuite() {
    delete collector_;
    collector_ = nullptr;
  }
  void SetUp() override { collector_->start(); }

  Json::Value request(const std::string& type, const std::string& members) {
    return ajax(root_, call(root_, type, members), env_);
  }
  // Sets collector `slot`; "" as protocol removes it.
  Json::Value setCollector(int slot, const std::string& protocol, int port,
                           const std::string& ca = "") {
    Json::Value s;
    s["slot"] = std::to_string(slot);
    s["host"] = protocol.empty() ? "" : slot == 2 ? "localhost" : "127.0.0.1";
    s["port"] = std::to_string(port);
    s["protocol"] = protocol;
    s["facility"] = "local3";
    s["ca"] = ca;
    Json::Value r = call(root_, "setSyslog", "{}");
    r["syslog"] = s;
    return ajax(root_, r, env_);
  }
  // A system record "saveLanguage" whose detail names `language`.
  void record(const std::string& language) {
    EXPECT_EQ(request("saveLanguage", "{\"language\":\"" + language + "\"}")["ret"], "ok");
  }
  // A text no earlier test used, short enough for a language code.
  static std::string tag() {
    static int n = 0;
    return "t" + std::to_string(time(nullptr) % 100000) + "x" + std::to_string(++n);
  }
  // Sends what waits: a delivery may have run out of its bound on a busy
  // machine (a TLS handshake is the slowest part); the next request after
  // the skip sends it. At most five tries.
  void settle() {
    for (int i = 0; i < 5; ++i) {
      bool waiting = false;
      for (const Json::Value& c : request("selSyslog", "{}")["syslog"]) {
        waiting = waiting || (c["host"] != "" && c["backlog"].asInt() > 0);
      }
      if (!waiting) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1100));
      request("ref", "{}");
    }
  }
  Json::Value state(int slot) { return request("selSyslog", "{}")["syslog"][slot - 1]; }
  // The languages of the saveLanguage messages received on `input`, in order.
  std::vector<std::string> languages(Input input, size_t count) {
    std::vector<std::string> out;
    for (const std::string& line : collector_->waitFor(input, " saveLanguage ", count)) {
      out.push_back(sdValue(line, "e1.v1"));
    }
    return out;
  }

  static SyslogCollector* collector_;
  TempRoot root_;
  std::map<std::string, std::string> env_{{"KORVAN_SYSLOG_SKIP_SECONDS", "1"}};
};
SyslogCollector* Forwarding::collector_ = nullptr;

TEST_F(Forwarding, EveryRecordKindArrivesOnceWithItsFields) {
  const std::string unique = tag();
  ASSERT_EQ(setCollector(1, "tcp", collector_->port(Input::tcp))["ret"], "ok");
  ASSERT_EQ(setCollector(2, "tls", collector_->port(Input::tls), collector_->caPem())["ret"], "ok");
  settle();
  // An access record (a failed login), a system record and a change record.
  ajax(root_, loginRequest("operator", "wrong-" + unique), env_);
  record(unique);
  Json::Value group = tableRequest(root_, requestEntry("updPriv"));
  group["priv"]["nm"] = unique;
  ASSERT_EQ(ajax(root_, group, env_)["ret"], "ok");
  settle();

  for (Input input : {Input::tcp, Input::tls}) {
    SCOPED_TRACE(input == Input::tcp ? "tcp" : "tls");
    const auto failed = collector_->waitFor(input, "wrong-" + unique, 0);
    EXPECT_TRUE(failed.empty()) << "a password left the device: " << failed[0];
    const auto access = collector_->waitFor(input, " loginFailed ", 1);
    ASSERT_EQ(access.size(), 1u);
    // authpriv, warning; the record's fields as structured data.
    EXPECT_EQ(access[0].rfind("<84>1 ", 0), 0u) << access[0];
    EXPECT_EQ(sdValue(access[0], "type"), "access");
    EXPECT_EQ(sdValue(access[0], "src"), "127.0.0.1");
    EXPECT_NE(access[0].find(" korvan - loginFailed [korvan@32473 id=\""), std::string::npos);
    const auto system = collector_->waitFor(input, "e1.v1=\"" + unique + "\"", 1);
    ASSERT_EQ(system.size(), 1u);
    // The collector's facility (local3), notice; the time with its zone.
    EXPECT_EQ(system[0].rfind("<157>1 ", 0), 0u) << system[0];
    EXPECT_EQ(sdValue(system[0], "user"), "admin");
    EXPECT_EQ(system[0].substr(system[0].find(' ') + 1 + 19, 1) == "+" ||
                  system[0].substr(system[0].find(' ') + 1 + 19, 1) == "-",
              true)
        << system[0];
    const auto change = collector_->waitFor(input, " updPriv ", 1);
    ASSERT_EQ(change.size(), 1u);
    EXPECT_NE(change[0].find("[korvanChange@32473 e1.nm=\""), std::string::npos) << change[0];
    EXPECT_NE(change[0].find("=\"" + unique + "\""), std::string::npos) << change[0];
    // Ids grow, each once.
    long long last = 0;
    for (const std::string& line : collector_->lines(input)) {
      const long long id = std::stoll(sdValue(line, "id"));
      EXPECT_GT(id, last) << line;
      last = id;
    }
  }
  // Over UDP as well.
  ASSERT_EQ(setCollector(1, "udp", collector_->port(Input::udp))["ret"], "ok");
  record("u" + unique);
  settle();
  EXPECT_EQ(languages(Input::udp, 1), std::vector<std::string>{"u" + unique});
}

TEST_F(Forwarding, AWrongCaIsRefusedAndTheRecordsWaitForTheRightOne) {
  ASSERT_EQ(setCollector(2, "tls", collector_->port(Input::tls), collector_->otherCaPem())["ret"],
            "ok");
  const std::string first = tag();
  record(first);
  EXPECT_TRUE(collector_->waitFor(Input::tls, first, 0).empty());
  const Json::Value refused = state(2);
  EXPECT_NE(refused["lastError"].asString().find("certificate"), std::string::npos) << refused;
  EXPECT_GE(refused["backlog"].asInt(), 1);
  // The right CA for the same destination keeps the backlog and lifts the skip.
  ASSERT_EQ(setCollector(2, "tls", collector_->port(Input::tls), collector_->caPem())["ret"], "ok");
  const auto got = collector_->waitFor(Input::tls, "e1.v1=\"" + first + "\"", 1);
  EXPECT_EQ(got.size(), 1u);
  EXPECT_EQ(state(2)["backlog"].asInt(), 0);
}

TEST_F(Forwarding, ACollectorThatDoesNotReadCostsARequestOnlyTheBound) {
  // Accepts connections (the kernel does) but never reads them.
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), len), 0);
  ASSERT_EQ(listen(fd, 8), 0);
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  env_["KORVAN_SYSLOG_SKIP_SECONDS"] = "60";
  // The change of the settings is the first record the collector should get.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(setCollector(1, "tcp", ntohs(a.sin_port))["ret"], "ok");
  const auto spent = std::chrono::steady_clock::now() - start;
  // Without its bound the sender would wait for the collector forever.
  EXPECT_LT(spent, std::chrono::seconds(2));
  const Json::Value failed = state(1);
  EXPECT_EQ(failed["lastError"], "collector did not read") << failed;
  EXPECT_NE(failed["skippedUntil"], "");
  // Skipped meanwhile: the next request does not try again.
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  record("stalled");
  EXPECT_EQ(state(1)["lastErrorAt"], failed["lastErrorAt"]);
  EXPECT_EQ(state(1)["backlog"].asInt(), 2);
  close(fd);
}

TEST_F(Forwarding, NothingIsLostWhileTheCollectorIsDown) {
  ASSERT_EQ(setCollector(1, "tcp", collector_->port(Input::tcp))["ret"], "ok");
  const std::string tag = Forwarding::tag() + "-";
  collector_->stop();
  std::vector<std::string> expected;
  for (int i = 0; i < 6; ++i) {
    expected.push_back(tag + std::to_string(i));
    record(expected.back());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  EXPECT_NE(state(1)["lastError"], "");
  collector_->start();
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // past the skip
  // A refresh writes no record but sends the backlog.
  EXPECT_EQ(request("ref", "{}")["ret"], "ok");
  settle();
  std::vector<std::string> got;
  for (const std::string& l : languages(Input::tcp, expected.size() + 1)) {
    if (l.rfind(tag, 0) == 0) got.push_back(l);
  }
  EXPECT_EQ(got, expected);
  EXPECT_EQ(state(1)["backlog"].asInt(), 0);
}

TEST_F(Forwarding, ABacklogOfManyAttemptsDrainsOnceInOrder) {
  // A collector that needs about two fifths of an attempt for one batch of
  // records (some 230 bytes each), behind which the real one is restarted.
  const int windowMs = std::stoi(kShortDaemonWaits.count("KORVAN_SYSLOG_WINDOW_MS") > 0
                                     ? kShortDaemonWaits.at("KORVAN_SYSLOG_WINDOW_MS")
                                     : "250");
  SlowRelay slow(collector_->port(Input::tcp), 100 * 230 / (windowMs * 4 / 5 * 2 / 5));
  ASSERT_EQ(setCollector(1, "tcp", slow.port())["ret"], "ok");
  settle();
  collector_->stop();
  const std::string tag = Forwarding::tag() + "-";
  record(tag + "0");
  EXPECT_NE(state(1)["lastError"], "");
  // Meanwhile the log grows by four and a half times what one attempt sends,
  // as a busy hour of requests would leave it.
  constexpr int kRecords = 450;
  root_.exec("with recursive n(i) as (select 1 union all select i+1 from n where i<" +
             std::to_string(kRecords - 1) +
             ") insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth) select 'admin',"
             "datetime('now','localtime'),'127.0.0.1','system','saveLanguage','save language',"
             "'[{\"nm\":\"language\",\"v1\":\"" + tag + "'||i||'\"}]' from n;");
  collector_->start();
  // Later requests send it, each as much as its window allows; after a
  // request that sent nothing the next waits for the skip to pass.
  long long backlog = state(1)["backlog"].asInt64();
  for (int i = 0; i < 15 && backlog > 0; ++i) {
    const long long before = backlog;
    request("ref", "{}");
    backlog = state(1)["backlog"].asInt64();
    if (backlog == before) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  }
  EXPECT_EQ(backlog, 0) << state(1);
  // Every record arrived, in id order once the copies at least once allows
  // (a batch sent again) are set aside.
  std::vector<std::string> got;
  std::set<std::string> seen;
  for (const std::string& language : languages(Input::tcp, kRecords)) {
    if (language.rfind(tag, 0) == 0 && seen.insert(language).second) got.push_back(language);
  }
  std::vector<std::string> expected;
  for (int i = 0; i < kRecords; ++i) expected.push_back(tag + std::to_string(i));
  EXPECT_EQ(got, expected);
}

TEST_F(Forwarding, RecordsTrimmedBeforeDeliveryAreToldAsLost) {
  ASSERT_EQ(setCollector(1, "tcp", collector_->port(Input::tcp))["ret"], "ok");
  collector_->stop();
  const std::string tag = Forwarding::tag() + "-";
  for (int i = 0; i < 5; ++i) record(tag + std::to_string(i));
  // The log's bound removes records the collector has not had yet.
  root_.exec("delete from log2 where sth like '%" + tag + "1%' or sth like '%" + tag + "3%';");
  collector_->start();
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  request("ref", "{}");
  settle();
  const auto lost = collector_->waitFor(Input::tcp, " recordsLost ", 1);
  ASSERT_EQ(lost.size(), 1u);
  EXPECT_EQ(sdValue(lost[0], "count"), "2");
  std::vector<std::string> got;
  for (const std::string& l : languages(Input::tcp, 3)) {
    if (l.rfind(tag, 0) == 0) got.push_back(l);
  }
  EXPECT_EQ(got, (std::vector<std::string>{tag + "0", tag + "2", tag + "4"}));
  EXPECT_EQ(state(1)["lost"].asInt(), 2);
}

TEST_F(Forwarding, ARecordWithItsOutcomeOpenIsHeldThenCompleted) {
  ASSERT_EQ(setCollector(1, "tcp", collector_->port(Input::tcp))["ret"], "ok");
  const std::string tag = Forwarding::tag();
  const std::string open =
      "[{\"nm\":\"time\",\"v1\":\"" + tag + "\"},{\"nm\":\"outcome\",\"v1\":\"outcome unknown\"}]";
  // A clock change whose process is still waiting for the daemon.
  root_.exec("insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth) values ('admin',"
             "datetime('now','localtime'),'127.0.0.1','system','setTime','set time','" + open + "');");
  record(tag + "a");
  EXPECT_TRUE(collector_->waitFor(Input::tcp, tag, 0).empty());
  root_.exec("update log2 set sth='[{\"nm\":\"time\",\"v1\":\"" + tag + "\"}]' where typeSub='setTime';");
  request("ref", "{}");
  settle();
  auto got = collector_->waitFor(Input::tcp, tag, 2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_NE(got[0].find(" setTime "), std::string::npos);
  EXPECT_EQ(sdValue(got[1], "e1.v1"), tag + "a");

  // A process that died leaves the outcome open: past the hold the record is
  // sent as it stands, and its completion later as a message of its own.
  env_["KORVAN_SYSLOG_HOLD_SECONDS"] = "0";
  root_.exec("insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth) values ('admin',"
             "datetime('now','localtime'),'127.0.0.1','updDog','updDog','update console','" +
             open + "');");
  request("ref", "{}");
  settle();
  ASSERT_EQ(collector_->waitFor(Input::tcp, " updDog ", 1).size(), 1u);
  root_.exec("update log2 set sth='[{\"nm\":\"outcome\",\"v1\":\"completed later\"}]'"
             " where typeSub='updDog';");
  request("ref", "{}");
  settle();
  got = collector_->waitFor(Input::tcp, " updDog ", 2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(sdValue(got[1], "completion"), "1");
  EXPECT_EQ(sdValue(got[1], "e1.v1"), "completed later");
  EXPECT_EQ(sdValue(got[0], "id"), sdValue(got[1], "id"));
}

TEST_F(Forwarding, AReplacedLogIsToldAndItsNewRecordsStillGo) {
  ASSERT_EQ(setCollector(1, "tcp", collector_->port(Input::tcp))["ret"], "ok");
  const std::string tag = Forwarding::tag();
  for (const char* n : {"b1", "b2", "b3", "b4"}) record(tag + n);
  settle();
  ASSERT_EQ(collector_->waitFor(Input::tcp, tag, 4).size(), 4u);
  // A restored configuration brings an older, shorter log: its next record
  // takes an id the collector had already.
  root_.exec("delete from log2; insert into log2 (id,user,time,ip,type,typeSub,typeSubCN,sth)"
             " values (1,'admin','2020-01-01 00:00:00','','system','old','',''),"
             " (2,'admin','2020-01-02 00:00:00','','system','old','',''),"
             " (3,'admin','2020-01-03 00:00:00','','system','old','','');");
  record(tag + "a");
  settle();
  EXPECT_EQ(collector_->waitFor(Input::tcp, " logReplaced ", 1).size(), 1u);
  EXPECT_EQ(collector_->waitFor(Input::tcp, tag + "a", 1).size(), 1u);
  // The restored records are history the collector had already.
  EXPECT_TRUE(collector_->waitFor(Input::tcp, " old ", 0).empty());
  EXPECT_EQ(state(1)["backlog"].asInt(), 0);
}

TEST(ForwardingSettings, EachFieldIsCheckedBeforeStoring) {
  TempRoot root;
  const struct {
    std::string syslog;
    std::string refusal;
  } cases[] = {
      {R"({"slot":"3","host":"127.0.0.1","protocol":"udp"})", "invalid syslog collector"},
      {R"({"slot":"1","host":"a b","protocol":"udp"})", "invalid syslog host"},
      {R"({"slot":"1","host":"-x","protocol":"udp"})", "invalid syslog host"},
      {R"({"slot":"1","host":"h","protocol":"ftp"})", "invalid syslog protocol"},
      {R"({"slot":"1","host":"h","protocol":"tcp","port":"65536"})", "invalid syslog port"},
      {R"({"slot":"1","host":"h","protocol":"tcp","port":"+5"})", "invalid syslog port"},
      {R"({"slot":"1","host":"h","protocol":"tcp","facility":"kern"})", "invalid syslog facility"},
      {R"({"slot":"1","host":"h","protocol":"tls","ca":""})", "invalid syslog CA certificates"},
      {R"({"slot":"1","host":"h","protocol":"tls","ca":"-----BEGIN CERTIFICATE-----\nAAAA\n-----END CERTIFICATE-----\n"})",
       "invalid syslog CA certificates"},
  };
  for (const auto& c : cases) {
    const Json::Value reply = ajax(root, call(root, "setSyslog", "{\"syslog\":" + c.syslog + "}"));
    EXPECT_EQ(reply["retMsg"], c.refusal) << c.syslog;
  }
  EXPECT_FALSE(fileExists(root.path("usr/app/korvan-forward.db")));
  EXPECT_EQ(root.scalar("select count(*) from log2 where typeSub='setSyslog';"), "0");
  const Json::Value none = ajax(root, call(root, "testSyslog", R"({"syslog":{"slot":"1"}})"));
  EXPECT_EQ(none["retMsg"], "syslog collector not set");
}

}  // namespace
}  // namespace korvantest
