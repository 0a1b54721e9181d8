// The record comes first: a request killed while the daemon holds its packet
// leaves its record, and a journalled configuration change is finished by
// the next request that reaches the daemon. Against a fake daemon that
// answers the held packet late.

#include <signal.h>

#include <chrono>
#include <memory>
#include <thread>

#include "actions_helpers.h"
#include "fake_daemon.h"

namespace {

// A success reply after `ms` milliseconds (with the fixed session keys).
korvantest::FakeReply lateReply(int ms) {
  korvantest::FakeReply reply;
  reply.delayMs = ms;
  reply.desEncode = korvantest::kDesEncode;
  reply.desDecode = korvantest::kDesDecode;
  return reply;
}

using korvantest::Bytes;
using korvantest::sessionRequest;
using korvantest::withMembers;

constexpr int kHeldMs = 700;  // how long the daemon holds the packet under test

struct KillCase {
  const char* type;
  const char* record;  // its record's typeSub
  uint8_t packet;      // the packet the daemon holds
  const char* params;  // the request's members
  bool journalled;     // a configuration change: finished by recovery
  const char* stored;  // SQL whose answer is the change, once stored
  const char* after;   // its answer then
};

const KillCase kCases[] = {
    {"qt", "kvm", 1,
     R"({"dogPara":{"id":"3","uid":"S2B0000003","type2":"2"},
         "server":{"netIP":{"ip":"192.168.1.10"},"netPort":{"portKM":"5901","portV":"5900"}}})",
     false, nullptr, nullptr},
    {"setTime", "setTime", 3, R"({"time2":"2026-03-07 09:05:02"})", false, nullptr, nullptr},
    {"restart", "restart", 5, "{}", false, nullptr, nullptr},
    {"updDog", "updDog", 7,
     R"({"dogPara":{"id":"1","uid":"U1A0000001","portID":"1","nm":"web-east","sm":"0",
         "code":"1000","frame":"25","type2":"0","status":"1","priv":"0","group2":" ",
         "pos1":" ","pos2":" ","depart":"ops","memo":" "}})",
     true, "select d.nm||'/'||d.frame||'/'||i.nm||'/'||i.depart from dog2 d, dogInfo2 i"
           " where d.id=1 and i.id=1",
     "web-east/25/web-east/ops"},
    {"updServer", "updServer", 2,
     R"({"server":{"uid":"A1","nm":"srv","encrypt":"1","ip":"192.168.1.20",
         "gateway":"192.168.1.1","subnetMask":"255.255.255.0","portKM":"5900","portV":"5901",
         "portWeb":"80"}})",
     true, "select nm||'/'||encrypt from server2", "srv/1"},
};

class Journal : public ::testing::Test {
 protected:
  void SetUp() override { fresh(); }
  // A new root, with the seeded modules in their slots.
  void fresh() {
    rootPtr_ = std::make_unique<korvantest::TempRoot>();
    actionsbb::slotOnlineModules(root());
  }
  const korvantest::TempRoot& root() const { return *rootPtr_; }

  std::map<std::string, std::string> env() const {
    auto e = korvantest::kShortDaemonWaits;
    e["KORVAN_ARM_PORT"] = std::to_string(daemon_.port());
    return e;
  }
  korvantest::CgiRequest request(const KillCase& c) {
    korvantest::CgiRequest r =
        korvantest::ajaxRequest(withMembers(sessionRequest(root(), c.type), c.params));
    r.extraEnv = env();
    return r;
  }
  Json::Value call(const Json::Value& request) { return korvantest::ajax(root(), request, env()); }

  int sent(uint8_t type) const {
    int n = 0;
    for (const Bytes& p : daemon_.packets()) n += p.size() > 2 && p[2] == type;
    return n;
  }
  // Waits (up to five seconds) until `n` packets of `type` have arrived.
  bool arrived(uint8_t type, int n) const {
    for (int i = 0; i < 500 && sent(type) < n; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return sent(type) >= n;
  }

  // The newest record of `typeSub`: "" without one, "complete" without an
  // outcome entry, otherwise the outcome.
  std::string outcome(const std::string& typeSub) const {
    auto rows = root().query("select sth from log2 where typeSub='" + typeSub +
                            "' order by id desc limit 1;");
    if (rows.empty()) return "";
    const Json::Value detail = korvantest::parseJson(rows[0][0]);
    for (const Json::Value& entry : detail) {
      if (entry["nm"] == "outcome") return entry["v1"].asString();
    }
    return "complete";
  }
  int openEntries() const {
    if (root().scalar("select count(*) from sqlite_master where name='journal';") == "0") return 0;
    return std::stoi(root().scalar("select count(*) from journal;"));
  }

  std::unique_ptr<korvantest::TempRoot> rootPtr_;
  korvantest::FakeDaemon daemon_;
};

// Killed after the daemon has the packet: SIGTERM is held until the outcome
// is stored and the request ends normally; SIGKILL leaves the record saying
// it does not know, and a configuration change is finished by the next
// request that reaches the daemon, which sends its values again. An action
// is never sent twice.
TEST_F(Journal, KilledWhileTheDaemonHoldsThePacket) {
  for (const KillCase& c : kCases) {
    for (int signal : {SIGTERM, SIGKILL}) {
      SCOPED_TRACE(std::string(c.type) + (signal == SIGKILL ? " SIGKILL" : " SIGTERM"));
      fresh();
      const std::string before = c.stored ? root().scalar(c.stored) : "";
      const int restartsBefore = sent(5), packetsBefore = sent(c.packet);
      daemon_.script(c.packet, lateReply(kHeldMs));
      const korvantest::RunningCgi running = korvantest::startCgi(root(), request(c));
      ASSERT_TRUE(arrived(c.packet, packetsBefore + 1));
      kill(running.pid, signal);
      const korvantest::CgiResult result = korvantest::finishCgi(running);
      daemon_.script(c.packet, korvantest::FakeReply{});

      if (signal == SIGTERM) {
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(korvantest::completeReply(result)["ret"], "ok") << result.out;
        EXPECT_EQ(outcome(c.record), "complete");
      } else {
        EXPECT_EQ(result.exitStatus, 128 + SIGKILL);
        EXPECT_EQ(outcome(c.record), "outcome unknown");
        if (c.stored) {
          EXPECT_EQ(root().scalar(c.stored), before) << "rows wait for the outcome";
        }
        EXPECT_EQ(openEntries(), c.journalled ? 1 : 0);
      }

      // The next request that reaches the daemon (a clock change, or a KVM
      // session for the clock's own case).
      const bool clockCase = std::string(c.type) == "setTime";
      const KillCase& next = clockCase ? kCases[0] : kCases[1];
      ASSERT_EQ(call(withMembers(sessionRequest(root(), next.type), next.params))["ret"], "ok");
      EXPECT_EQ(openEntries(), 0);
      if (c.stored) {
        EXPECT_EQ(root().scalar(c.stored), c.after);
      }
      if (c.journalled) {
        const bool resent = signal == SIGKILL;
        EXPECT_EQ(outcome(c.record), resent ? "completed later" : "complete");
        EXPECT_EQ(sent(c.packet), packetsBefore + (resent ? 2 : 1));
      } else {
        EXPECT_EQ(sent(c.packet), packetsBefore + 1) << "an action is never sent twice";
      }
      // A restart goes out only as the request's own, never from the journal.
      const int ownRestart = std::string(c.type) == "restart" ||
                             (std::string(c.type) == "updServer" && signal == SIGTERM);
      EXPECT_EQ(sent(5), restartsBefore + ownRestart);
    }
  }
}

}  // namespace
