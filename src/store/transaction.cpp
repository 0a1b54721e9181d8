#include "store/transaction.h"

#include <json/json.h>

#include <string>
#include <vector>

#include "store/db.h"

namespace korvan {

Transaction::Transaction(Mode mode) {
  CDB::execModify(mode == kWrite ? "BEGIN IMMEDIATE" : "BEGIN");
  open_ = true;
  if (mode == kRead) {
    // A deferred transaction takes its shared lock with the first read. A
    // constructor that throws runs no destructor: end the transaction here.
    try {
      CDB::sel(false, "select count(*) from sqlite_master", {"count"});
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
    CDB::execModify("ROLLBACK");
  } catch (...) {
    // Nothing more can be done: the engine ends the transaction when the
    // connection closes at the end of the request.
  }
}

void Transaction::commit() {
  CDB::execModify("COMMIT");
  open_ = false;
}

}  // namespace korvan
