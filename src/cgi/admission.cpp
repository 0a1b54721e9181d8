#include "cgi/admission.h"

#include <memory>
#include <utility>

#include "actions/console_uid.h"
#include "auth/first_login.h"
#include "auth/second_factor.h"
#include "auth/session.h"
#include "cgi/cgic.h"
#include "cgi/permissions.h"
#include "store/audit.h"
#include "store/db.h"
#include "store/lock_wait.h"
#include "store/transaction.h"

namespace {

// A request that may be answered under another's write lock waits this long
// for it before it is answered from a read transaction.
constexpr int kReadCallLockWaitMs = 1000;

// The transaction the admission and the session upkeep run in: the write
// lock, waited for as long as any statement waits. A request whose route
// answers under a lock (a refresh, a log query) that cannot have it within
// kReadCallLockWaitMs is admitted in a read transaction instead and makes no
// writes: the session check still runs, the sweep and the extension are left
// to the next call.
std::unique_ptr<korvan::Transaction> beginSession(const Route& route, bool& writesDeferred) {
  if (route.answersUnderLock) {
    korvan::LockWait brief(kReadCallLockWaitMs);
    try {
      return std::make_unique<korvan::Transaction>(korvan::Transaction::kWrite);
    } catch (const CMyErr& e) {
      if (e.type != CMyErr::lockErr) throw;
    }
    writesDeferred = true;
    return std::make_unique<korvan::Transaction>(korvan::Transaction::kRead);
  }
  return std::make_unique<korvan::Transaction>(korvan::Transaction::kWrite);
}

}  // namespace

void checkIPS(const Json::Value& ips, const std::string& client) {
  bool listed = false;
  for (const Json::Value& entry : ips["ips"]) {
    if (entry["ip"].asString() == client) listed = true;
  }
  const std::string kind = ips["type"].asString();
  if ((kind == "0" && listed) || (kind == "1" && !listed)) {
    throw CMyErr(CMyErr::err, "ip black list error(your ip is in the list)");
  }
}

RequestContext admit(const Route& route, const std::string& type, const Json::Value& request,
                     std::unique_ptr<korvan::Params>& params, bool* deniedRecorded) {
  params = route.decode(request);
  RequestContext context;
  if (route.rightsFrom != nullptr) context.rights = params->editedRights;
  // The device mode and the kind of access list share a row: one statement.
  Json::Value device;
  Json::Value ips;
  CDB::selIPS(ips, &device);
  context.mode = device["factoryMode"].asString() == "1" ? DeviceMode::factory : DeviceMode::normal;
  const std::string client = cgiRemoteAddr;
  checkIPS(ips, client);
  if (!route.withoutSession) context.caller = session::checkToken(*params);
  context.caller.address = client;
  try {
    checkPermission(route.access, type, context, *params);
  } catch (const CMyErr&) {
    // The session is known: the refusal is recorded where the caller asked.
    if (deniedRecorded != nullptr && !route.withoutSession) {
      Json::Value entries;
      audit::addEntry(entries, "request", audit::recordedName(type));
      audit::recordAccess(context.caller, {"denied", "access denied"}, entries);
      *deniedRecorded = true;
    }
    throw;
  }
  const bool gateFree = route.beforePasswordSet || (route.access == Access::ownPassword &&
                                                    isOwnPasswordChange(context, *params));
  first_login::check(gateFree);
  if (!route.withoutSession) {
    second_factor::checkEnrolment(context.caller, gateFree || second_factor::enrols(type));
  }
  params->checkNumbers();
  if (route.bindsConsole) {
    context.consoleUid =
        korvan::storedConsoleUid(dynamic_cast<const korvan::KvmParams&>(*params));
  }
  return context;
}

RequestContext admitRequest(const Route& route, const std::string& type, const Json::Value& request,
                            bool& admitted, std::unique_ptr<korvan::Params>* decoded) {
  bool writesDeferred = false;
  std::unique_ptr<korvan::Transaction> session = beginSession(route, writesDeferred);
  // A request answered from a read transaction writes nothing, its refusal's
  // record included.
  bool deniedRecorded = false;
  RequestContext context;
  try {
    std::unique_ptr<korvan::Params> params;
    context = admit(route, type, request, params, writesDeferred ? nullptr : &deniedRecorded);
    if (decoded != nullptr) *decoded = std::move(params);
  } catch (const CMyErr&) {
    if (deniedRecorded) session->commit();
    throw;
  }
  context.writesDeferred = writesDeferred;
  admitted = true;
  if (!writesDeferred) {
    session::updateAllUserStatusByExpire();
    if (route.extendsSession) session::updateExpire(context.caller);
  }
  session->commit();
  return context;
}
