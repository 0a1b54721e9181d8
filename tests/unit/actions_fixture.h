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
