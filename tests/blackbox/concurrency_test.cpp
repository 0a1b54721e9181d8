// A change waits for another request's lock or fails leaving nothing sent or
// stored; a change whose log record cannot be written leaves no row changed.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "actions_helpers.h"
#include "calls.h"
#include "fake_daemon.h"
#include "testroot.h"

namespace korvantest {
namespace {

class Concurrency : public ::testing::Test {
 protected:
  void SetUp() override { actionsbb::slotOnlineModules(root_); }
  Json::Value call(const Json::Value& request) {
    return ajax(root_, request, {{"KORVAN_ARM_PORT", std::to_string(daemon_.port())}});
  }

  // A name change of console module 1 (one name packet to the daemon: the
  // stored frame rate).
  Json::Value renameModule(const std::string& name) {
    Json::Value req = tableRequest(root_, requestEntry("updDog"));
    req["dogPara"]["frame"] = "30";
    req["dogPara"]["nm"] = name;
    return req;
  }

  TempRoot root_;
  FakeDaemon daemon_;
};

TEST_F(Concurrency, ChangeWaitsForTheLockOrLeavesNothing) {
  for (int holdMs : {1000, 7000}) {
    const bool stored = holdMs == 1000;
    const std::string name = "renamed-" + std::to_string(holdMs);
    const Json::Value request = renameModule(name);  // its setup names the module web-01
    const std::string before = root_.scalar("select nm from dog2 where id=1");
    const size_t packets = daemon_.packets().size();
    // A second connection (another request) holds the write lock for holdMs
    // with a change of its own, then commits it, waiting for locks as a
    // request does. A change that took a read lock before the write lock
    // would deadlock with it: one of the two would be lost or refused.
    const std::string held = "held-" + std::to_string(holdMs);
    LockHolder other(root_, "update user2 set memo='" + held + "' where id=1;", 3000);
    bool otherCommitted = false;
    std::thread release([&other, &otherCommitted, holdMs] {
      std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
      otherCommitted = other.release(true);
    });
    const Json::Value reply = call(request);
    release.join();
    EXPECT_TRUE(otherCommitted) << holdMs << ": the other connection's change was lost";
    EXPECT_EQ(root_.scalar("select memo from user2 where id=1"), held);
    EXPECT_EQ(reply["ret"], stored ? "ok" : "lockErr") << holdMs << reply["retMsg"];
    EXPECT_EQ(root_.scalar("select nm from dog2 where id=1"), stored ? name : before);
    EXPECT_EQ(root_.scalar("select count(*) from log2 where sth like '%" + name + "%'") + " log, " +
                  std::to_string(daemon_.packets().size() - packets) + " packet",
              stored ? "1 log, 1 packet" : "0 log, 0 packet");
  }
}

TEST_F(Concurrency, FailedLogRecordLeavesNoRowChange) {
  root_.exec(
      "create trigger refuse before insert on log2 begin select raise(fail,'log refused'); end;");
  const std::string tables =
      "select * from priv2 union all select id,nm,pw,memo,pid from user2"
      " union all select id,nm,0,0,0 from dog2";
  for (const Json::Value& request : {tableRequest(root_, requestEntry("updPriv")),
                                     tableRequest(root_, requestEntry("insUser")),
                                     renameModule("never-stored")}) {
    const auto before = root_.query(tables);
    const Json::Value reply = call(request);
    EXPECT_EQ(reply["ret"], "err") << request["type"];
    EXPECT_NE(reply["retMsg"].asString().find("log refused"), std::string::npos);
    EXPECT_EQ(root_.query(tables), before) << request["type"];
  }
}

}  // namespace
}  // namespace korvantest
