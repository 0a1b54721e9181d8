#include "actions/action.h"

#include "daemon/arm.h"
#include "store/transaction.h"
#include "util/members.h"
#include "util/myerr.h"

using korvan::textOf;

CAction::CAction(const RequestContext& context, const korvan::Params& params,
                 Json::Value& jsOData)
    : context(context), caller(this->context.caller), jsIData(params.document()), jsOData(jsOData) {}

CAction::~CAction() = default;

void CAction::do2() {
  // The write lock comes first: once it is held no other request can change
  // the before-values or make a statement below fail with lockErr, so a
  // lockErr reply means nothing was sent and nothing stored, and the browser
  // may retry. The daemon hears of the change after the rows and the log
  // record are written but before they are committed: a refused change
  // rolls them back, and a write that fails (a full disk, an I/O error) ends
  // the request before anything is sent, so only a failing commit can leave
  // the daemon told of a change that is not stored. The row changes and the
  // log record commit together or not at all.
  {
    korvan::Transaction transaction(korvan::Transaction::kWrite);
    initDaDb();
    checkChange();
    modify();
    log();
    tellArm();
    try {
      transaction.commit();
    } catch (const CMyErr& e) {
      // The daemon may already have taken the change: a retry would send it
      // twice, so the failure must not read as a lock to retry on.
      if (e.type == CMyErr::lockErr && CArm::socketCnn >= 0) throw CMyErr(CMyErr::err, e.what());
      throw;
    }
  }
  afterCommit();
}

void CAction::initDaDb() {}

void CAction::checkChange() {
  const Json::Value& after = db;
  for (const std::string& name : da.getMemberNames()) {
    if (textOf(da[name]) != textOf(after[name])) return;
  }
  throw CMyErr(CMyErr::warning, "Nothing modified");
}

void CAction::tellArm() {}

void CAction::afterCommit() {}

const Json::Value& CAction::param(const char* name) const {
  const Json::Value& p = korvan::member(jsIData, name);
  if (!p.isNull() && !p.isObject()) {
    throw CMyErr(CMyErr::err, std::string("invalid request: ") + name + " is not an object");
  }
  return p;
}

Json::Value CAction::paramWithRights(const char* name) const {
  return context.withRights(param(name));
}
