// "operaSerial": capture and release of serial console modules. The holder
// is dog2.serialUserID: -1 when free, else the holder's user id.
#include <string>
#include <vector>

#include "ops/ops.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/members.h"

namespace {

// The console module id of the request, checked as a number.
std::string dogIdOf(const Json::Value& jsIData) {
  return sqlNumber(korvan::memberText(jsIData, {"serialPara", "dogID"}));
}

// True when `sql` returns a row.
bool anyRow(const std::string& sql) { return CDB::selOne(sql, {"id"}).has_value(); }

// Refuses a module that is not a serial one.
void checkSerialType(const Json::Value& jsIData) {
  // The stored type2 column decides, not the kind shown to the browser.
  std::string sql = " select id from dog2 where type2=1 and id=" + dogIdOf(jsIData);
  if (!anyRow(sql)) throw CMyErr(CMyErr::warning, "this dog is not serialDog");
}

// Refuses a module that someone holds.
void checkSerialCap(const Json::Value& jsIData) {
  std::string sql = " select id from dog2 where serialUserID=-1 and id=" + dogIdOf(jsIData) + ";";
  if (!anyRow(sql)) throw CMyErr(CMyErr::warning, "this dog has been captured by others");
}

}  // namespace

void onOperaSerial(const RequestContext& context, const korvan::SerialParams& params,
                   Json::Value&) {
  const Caller& caller = context.caller;
  const Json::Value& jsIData = params.document();
  checkSerialType(jsIData);
  std::string dogId = dogIdOf(jsIData);
  std::string action = korvan::memberText(jsIData, {"serialPara", "action"});
  if (action == "cap") {
    std::string userId = sqlNumber(caller.id);
    // Check and take under one write lock: of two users capturing the same
    // free module at once, exactly one gets it and the other is told.
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    checkSerialCap(jsIData);
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
