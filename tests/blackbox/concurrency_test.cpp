// Changes against a database that another request holds: the change waits
// for the lock, or fails leaving nothing sent and nothing stored; and a change
// whose log record cannot be written leaves no row changed.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <string>
#include <thread>

#include "actions_helpers.h"
#include "daemon/packets.h"
#include "fake_daemon.h"
#include "testroot.h"

namespace {

using korvantest::sessionRequest;

class Concurrency : public ::testing::Test {
 protected:
  void SetUp() override { actionsbb::slotOnlineModules(root_); }

  Json::Value call(const Json::Value& request) {
    return korvantest::ajax(root_, request,
                            {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())},
                             {"KORVAN_PACKET_PAUSE_MS", "0"}});
  }

  // Runs `request` while a second connection holds the write lock for `hold`.
  Json::Value callWhileLocked(std::chrono::milliseconds hold, const Json::Value& request) {
    sqlite3* other = nullptr;
    EXPECT_EQ(sqlite3_open(root_.dbPath().c_str(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other, hold] {
      std::this_thread::sleep_for(hold);
      sqlite3_exec(other, "commit", nullptr, nullptr, nullptr);
    });
    Json::Value reply = call(request);
    release.join();
    sqlite3_close(other);
    return reply;
  }

  // A name change of console module 1 (one name packet to the daemon).
  Json::Value renameModule(const std::string& name) {
    Json::Value req = sessionRequest(root_, "updDog");
    Json::Value& p = req["dogPara"];
    p["id"] = "1";
    p["uid"] = "U1A0000001";
    p["portID"] = "1";
    p["nm"] = name;
    p["sm"] = "0";
    p["code"] = "1000";
    p["frame"] = "30";
    for (const char* m : {"group2", "pos1", "pos2", "depart", "memo"}) p[m] = " ";
    return req;
  }

  int logsNaming(const std::string& text) {
    return std::stoi(root_.scalar("select count(*) from log2 where sth like '%" + text + "%'"));
  }

  korvantest::TempRoot root_;
  korvantest::FakeDaemon daemon_;
};

TEST_F(Concurrency, ChangeWaitsForTheLockOrLeavesNothing) {
  struct Case {
    int holdMs;
    const char* ret;
  } cases[] = {{1000, "ok"}, {7000, "lockErr"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.holdMs);
    const std::string name = "renamed-" + std::to_string(c.holdMs);
    const std::string before = root_.scalar("select nm from dog2 where id=1");
    const size_t packets = daemon_.packets().size();
    Json::Value reply = callWhileLocked(std::chrono::milliseconds(c.holdMs), renameModule(name));
    EXPECT_EQ(reply["ret"].asString(), c.ret) << reply["retMsg"].asString();
    const bool stored = std::string(c.ret) == "ok";
    EXPECT_EQ(root_.scalar("select nm from dog2 where id=1"), stored ? name : before);
    EXPECT_EQ(logsNaming(name), stored ? 1 : 0);
    EXPECT_EQ(daemon_.packets().size(), packets + (stored ? 1 : 0));
  }
}

TEST_F(Concurrency, FailedLogRecordLeavesNoRowChange) {
  root_.exec(
      "create trigger refuse before insert on log2 begin select raise(fail,'log refused'); end;");
  Json::Value priv = sessionRequest(root_, "updPriv");
  priv["priv"]["id"] = "2";
  priv["priv"]["nm"] = "Renamed operators";
  priv["priv"]["dogDB"] = "11111111";
  Json::Value user = sessionRequest(root_, "insUser");
  Json::Value& p = user["userPara"];
  for (const char* m : {"pw", "memo", "code", "frame", "media", "nm2", "addrH", "addrC", "phone",
                        "email", "memo2", "pwdDepth"}) {
    p[m] = "0";
  }
  p["nm"] = "new-user";
  p["pid"] = "2";
  p["prior"] = "0";
  p["dogDB"] = "11110000";
  const std::string tables = "select * from priv2 union all select id,nm,pw,memo,pid from user2";
  for (const Json::Value& request : {priv, user, renameModule("never-stored")}) {
    SCOPED_TRACE(request["type"].asString());
    auto before = root_.query(tables + " union all select id,nm,0,0,0 from dog2");
    Json::Value reply = call(request);
    EXPECT_EQ(reply["ret"].asString(), "err");
    EXPECT_NE(reply["retMsg"].asString().find("log refused"), std::string::npos);
    EXPECT_EQ(root_.query(tables + " union all select id,nm,0,0,0 from dog2"), before);
  }
}

}  // namespace
