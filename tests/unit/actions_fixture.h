// Shared fixture of the change-action unit tests: a seeded throw-away root
// whose database is the process's CDB connection, and the client address the
// log writer reads.
#pragma once

#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "cgi/cgic.h"
#include "store/db.h"
#include "testroot.h"

class ActionDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::make_unique<korvantest::TempRoot>();
    setenv("KORVAN_ROOT", root_->dir().c_str(), 1);
    CDB::cnn();
    savedAddr_ = cgiRemoteAddr;
    cgiRemoteAddr = addr_;
  }
  void TearDown() override {
    cgiRemoteAddr = savedAddr_;
    sqlite3_close(CDB::dbCnn);
    CDB::dbCnn = nullptr;
    unsetenv("KORVAN_ROOT");
  }


 public:
  // A request as the dispatcher hands it on: `type`, the logged-in user.
  static Json::Value request(const std::string& type) {
    Json::Value r;
    r["type"] = type;
    r["user"]["id"] = "1";
    r["user"]["nm"] = "admin";
    return r;
  }

 protected:
  // Number of log2 rows, and the last one's columns.
  int logCount() const { return std::stoi(root_->scalar("select count(*) from log2")); }
  std::vector<std::string> lastLog() const {
    auto rows = root_->query(
        "select user,time,ip,type,typeSub,typeSubCN,sth from log2 order by id desc limit 1");
    return rows.empty() ? std::vector<std::string>{} : rows[0];
  }
  // The detail text of the last log row, parsed.
  Json::Value lastDetail() const {
    auto row = lastLog();
    Json::Value v;
    if (!row.empty()) Json::Reader().parse(row[6], v);
    return v;
  }

  std::unique_ptr<korvantest::TempRoot> root_;

 private:
  char addr_[16] = "10.1.2.3";
  char* savedAddr_ = nullptr;
};

// Builds the JSON value of an entry list from (nm, v1[, v2]) triples.
inline Json::Value entry(const std::string& nm, const std::string& v1) {
  Json::Value e;
  e["nm"] = nm;
  e["v1"] = v1;
  return e;
}
inline Json::Value entry(const std::string& nm, const std::string& v1, const std::string& v2) {
  Json::Value e = entry(nm, v1);
  e["v2"] = v2;
  return e;
}

// ---- with the switch daemon ------------------------------------------------

#include <unistd.h>

#include <chrono>
#include <optional>

#include "actions/registry.h"
#include "daemon/arm.h"
#include "fake_daemon.h"

// Adds a fake daemon, connected the way the dispatcher connects for the
// daemon request types.
class ActionDaemonTest : public ActionDbTest {
 protected:
  void SetUp() override {
    ActionDbTest::SetUp();
    setenv("KORVAN_ARM_PORT", std::to_string(fake_.port()).c_str(), 1);
    CArm::cnn();
  }
  void TearDown() override {
    if (CArm::socketCnn >= 0) close(CArm::socketCnn);
    CArm::socketCnn = -1;
    unsetenv("KORVAN_ARM_PORT");
    CDB::isFactory = false;
    ActionDbTest::TearDown();
  }

  // Runs the action of `req`'s type; returns what it threw, if anything, and
  // the time it took in `elapsed`.
  std::optional<CMyErr> run(Json::Value& req) {
    Json::Value reply;
    auto action = makeAction(req["type"].asString(), req, reply);
    if (!action) throw std::logic_error("no action for " + req["type"].asString());
    auto start = std::chrono::steady_clock::now();
    std::optional<CMyErr> thrown;
    try {
      action->do2();
    } catch (const CMyErr& e) {
      thrown = e;
    }
    elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    return thrown;
  }

  korvantest::FakeDaemon fake_;
  std::chrono::milliseconds elapsed{0};
};
