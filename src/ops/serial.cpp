// "operaSerial": capture and release of serial console modules. The holder
// is dog2.serialUserID: -1 when free, else the holder's user id.
#include <string>
#include <vector>

#include "ops/ops.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"

namespace {

// True when `sql` returns a row.
bool anyRow(const std::string& sql) { return CDB::selOne(sql, {"id"}).has_value(); }

// Refuses a module that is not a serial one.
void checkSerialType(const std::string& dogId) {
  // The stored type2 column decides, not the kind shown to the browser.
  std::string sql = " select id from dog2 where type2=1 and id=" + dogId;
  if (!anyRow(sql)) throw CMyErr(CMyErr::warning, "this dog is not serialDog");
}

// Refuses a module that someone holds.
void checkSerialCap(const std::string& dogId) {
  std::string sql = " select id from dog2 where serialUserID=-1 and id=" + dogId + ";";
  if (!anyRow(sql)) throw CMyErr(CMyErr::warning, "this dog has been captured by others");
}

}  // namespace

void onOperaSerial(const RequestContext& context, const korvan::SerialParams& params,
                   Json::Value&) {
  const Caller& caller = context.caller;
  // The module id as sent, checked as a number: the records name it so.
  const std::string dogId = sqlNumber(params.dogId);
  checkSerialType(dogId);
  const std::string& action = params.action;
  if (action == "cap") {
    std::string userId = sqlNumber(caller.id);
    // Check and take under one write lock: of two users capturing the same
    // free module at once, exactly one gets it and the other is told.
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    checkSerialCap(dogId);
    std::string sql = " update dog2 set serialUserID=" + userId + " where id=" + dogId;
    CDB::execModify(sql);
    audit::recordAccess(caller, {"serialCapture", "serial capture"}, audit::consoleEntries(dogId));
    transaction.commit();
  } else if (action == "uncap") {
    // Any user may release any module, whoever holds it.
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    std::string sql = " update dog2 set serialUserID=-1  where id=" + dogId;
    CDB::execModify(sql);
    audit::recordAccess(caller, {"serialRelease", "serial release"}, audit::consoleEntries(dogId));
    transaction.commit();
  }
  // "use" and anything else: the type check above is all.
}
