#include "store/transaction.h"

#include <json/json.h>

#include <string>
#include <vector>

#include "store/db.h"

namespace korvan {

Transaction::Transaction(Mode mode) {
  std::string begin = mode == kWrite ? "BEGIN IMMEDIATE" : "BEGIN";
  CDB::execModify(begin);
  open_ = true;
  if (mode == kRead) {
    // A deferred transaction takes its shared lock with the first read. A
    // constructor that throws runs no destructor: end the transaction here.
    try {
      std::string read = "select count(*) from sqlite_master";
      std::vector<std::string> keys{"count"};
      Json::Value row;
      CDB::sel(false, read, keys, row);
    } catch (...) {
      rollback();
      throw;
    }
  }
}

Transaction::~Transaction() { rollback(); }

void Transaction::rollback() noexcept {
  if (!open_) return;
  open_ = false;
  try {
    std::string rollback = "ROLLBACK";
    CDB::execModify(rollback);
  } catch (...) {
    // Nothing more can be done: the engine ends the transaction when the
    // connection closes at the end of the request.
  }
}

void Transaction::commit() {
  std::string commit = "COMMIT";
  CDB::execModify(commit);
  open_ = false;
}

}  // namespace korvan
