// The record comes first: a request killed while the daemon holds its packet
// leaves its record, and a journalled configuration change is finished by
// the next request that reaches the daemon. Against a fake daemon that
// answers the held packet late.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "actions_helpers.h"
#include "fake_daemon.h"

namespace {

using korvantest::lateReply;

using korvantest::Bytes;
using korvantest::sessionRequest;
using korvantest::withMembers;

constexpr int kHeldMs = 1000;  // how long the daemon holds the packet under test

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
     true,
     "select d.nm||'/'||d.frame||'/'||i.nm||'/'||i.depart from dog2 d, dogInfo2 i"
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
    e["KORVAN_REPLY_TIMEOUT_MS"] = "10000";  // a held reply is never given up
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
  korvantest::CgiResult killWhileHeld(const KillCase& c, int signal = SIGKILL);
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
      const korvantest::CgiResult result = killWhileHeld(c, signal);
      ASSERT_EQ(sent(c.packet), packetsBefore + 1);

      if (signal == SIGTERM) {
        EXPECT_EQ(result.exitStatus, 0);
        EXPECT_EQ(korvantest::completeReply(result)["ret"], "ok") << result.out;
        EXPECT_EQ(outcome(c.record), "complete");
        EXPECT_NE(root().traceLog().find("termination signal held"), std::string::npos);
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

// Runs `c`'s request and sends it `signal` once the daemon has its packet.
korvantest::CgiResult Journal::killWhileHeld(const KillCase& c, int signal) {
  const int before = sent(c.packet);
  daemon_.script(c.packet, lateReply(kHeldMs));
  const korvantest::RunningCgi running = korvantest::startCgi(root(), request(c));
  if (arrived(c.packet, before + 1)) kill(running.pid, signal);
  korvantest::CgiResult result = korvantest::finishCgi(running);
  daemon_.script(c.packet, korvantest::FakeReply{});
  return result;
}

// A re-send the daemon refuses marks the record and is tried again, but not
// before a minute has passed; a change of the same module waits while the
// earlier one's owner works, and finishes it first when the owner is gone.
TEST_F(Journal, LaterRequestsFinishTheChangeInOrder) {
  const KillCase& module = kCases[3];
  const Json::Value clock = withMembers(sessionRequest(root(), "setTime"), kCases[1].params);
  ASSERT_EQ(killWhileHeld(module).exitStatus, 128 + SIGKILL);
  daemon_.scriptRet(7, 1);
  ASSERT_EQ(call(clock)["ret"], "ok");
  EXPECT_EQ(outcome("updDog"), "daemon state unknown");
  EXPECT_EQ(openEntries(), 1);
  EXPECT_EQ(sent(7), 2);
  ASSERT_EQ(call(clock)["ret"], "ok");
  EXPECT_EQ(sent(7), 2) << "tried again within the minute";
  EXPECT_EQ(root().scalar(module.stored), "web-01/30/web-01/ ");

  daemon_.script(7, korvantest::FakeReply{});
  root().exec("update journalTry set f_time=f_time-61;");
  ASSERT_EQ(call(clock)["ret"], "ok");
  EXPECT_EQ(sent(7), 3);
  EXPECT_EQ(outcome("updDog"), "completed later");
  EXPECT_EQ(root().scalar(module.stored), module.after);
  EXPECT_EQ(openEntries(), 0);

  // The owner still works: the second change is refused as a lock, and the
  // browser asks again.
  Json::Value renamed = withMembers(sessionRequest(root(), "updDog"), module.params);
  renamed["dogPara"]["nm"] = "web-west";
  Json::Value north = renamed;
  north["dogPara"]["nm"] = "web-north";
  korvantest::CgiRequest firstRequest = korvantest::ajaxRequest(north);
  firstRequest.extraEnv = env();
  // Held long enough for the second request to start on a busy machine.
  daemon_.script(7, lateReply(3000));
  const korvantest::RunningCgi first = korvantest::startCgi(root(), firstRequest);
  ASSERT_TRUE(arrived(7, 4));
  daemon_.script(7, korvantest::FakeReply{});
  Json::Value reply = call(renamed);
  EXPECT_EQ(reply["ret"], "lockErr") << reply["retMsg"];
  EXPECT_EQ(korvantest::finishCgi(first).exitStatus, 0);
  EXPECT_EQ(sent(7), 4);
  EXPECT_EQ(root().scalar(module.stored), "web-north/25/web-north/ops");

  // The owner died: the second change sends the first again, then itself.
  ASSERT_EQ(killWhileHeld(module).exitStatus, 128 + SIGKILL);
  ASSERT_EQ(call(renamed)["ret"], "ok");
  EXPECT_EQ(sent(7), 7);
  EXPECT_EQ(root().scalar(module.stored), "web-west/25/web-west/ops");
  EXPECT_EQ(root().scalar("select count(*) from log2 where typeSub='updDog' and sth like "
                          "'%completed later%';"),
            "2");
  EXPECT_EQ(openEntries(), 0);
}

// A restart reboots the device itself only once its record is stored: after
// the daemon refused it or could not be reached, never when the record cannot
// be written. The reboot command starts with the default signal settings.
TEST_F(Journal, LocalRestartOnlyWithItsRecord) {
  const std::string marker = root().path("rebooted");
  korvantest::writeFile(root().path("sbin/reboot"),
                        "#!/bin/sh\ngrep SigIgn /proc/$$/status >> '" + marker + "'\n");
  std::filesystem::permissions(root().path("sbin/reboot"), std::filesystem::perms::owner_all);
  // A bound socket that does not listen: connections to it are refused.
  const int closed = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(closed, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  getsockname(closed, reinterpret_cast<sockaddr*>(&address), &length);
  auto down = env();
  down["KORVAN_ARM_PORT"] = std::to_string(ntohs(address.sin_port));
  const Json::Value restart = sessionRequest(root(), "restart");
  daemon_.scriptRet(5, 1);

  for (bool recordFails : {true, false}) {
    if (recordFails) {
      root().exec(
          "create trigger noRoom before insert on log2 begin select raise(abort, "
          "'database or disk is full'); end;");
    } else {
      root().exec("drop trigger noRoom;");
    }
    for (const auto& daemonEnv : {env(), down}) {
      SCOPED_TRACE(std::string(recordFails ? "no record" : "recorded") +
                   (daemonEnv == down ? ", daemon down" : ", daemon refuses"));
      std::remove(marker.c_str());
      const int restarts = sent(5);
      const std::string logBefore = root().scalar("select count(*) from log2;");
      korvantest::postAjax(root(), restart, daemonEnv);
      if (recordFails) {
        EXPECT_FALSE(korvantest::fileExists(marker)) << "rebooted without a record";
        EXPECT_EQ(sent(5), restarts) << "told without a record";
        EXPECT_EQ(root().scalar("select count(*) from log2;"), logBefore);
        continue;
      }
      EXPECT_EQ(sent(5), restarts + (daemonEnv == down ? 0 : 1));
      const std::string detail = outcome("restart");
      EXPECT_EQ(detail.substr(0, 8), "failed: ") << detail;
      EXPECT_EQ(detail.substr(detail.size() - 20), "; restarting locally") << detail;
      const std::string lines = korvantest::readFile(marker);
      ASSERT_FALSE(lines.empty()) << "no local reboot";
      for (size_t at = lines.find("SigIgn:"); at != std::string::npos;
           at = lines.find("SigIgn:", at + 1)) {
        const unsigned long long ignored = std::stoull(lines.substr(at + 7), nullptr, 16);
        EXPECT_EQ(ignored & (1ULL << (SIGPIPE - 1)), 0u) << "SIGPIPE ignored in the reboot command";
      }
    }
  }
  close(closed);
}

}  // namespace
