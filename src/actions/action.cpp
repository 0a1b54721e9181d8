#include "actions/action.h"

#include "store/myerr.h"

CAction::CAction(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData)
    : caller(caller), jsIData(jsIData), jsOData(jsOData) {}

CAction::~CAction() = default;

void CAction::do2() {
  // The daemon hears of the change before the database is written, so that a
  // refused change leaves the stored configuration as it was.
  initDaDb();
  checkChange();
  tellArm();
  modify();
  log();
}

std::string CAction::textOf(const Json::Value& value) {
  switch (value.type()) {
    case Json::nullValue:
      return "";
    case Json::booleanValue:
      return value.asBool() ? "true" : "false";
    case Json::arrayValue:
    case Json::objectValue:
      throw CMyErr(CMyErr::err, "invalid request: a list or object where a value belongs");
    default:
      return value.asString();
  }
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

const Json::Value& CAction::param(const char* name) const {
  const Json::Value& request = jsIData;
  if (!request.isObject()) return Json::Value::nullSingleton();
  const Json::Value& p = request[name];
  if (!p.isNull() && !p.isObject()) {
    throw CMyErr(CMyErr::err, std::string("invalid request: ") + name + " is not an object");
  }
  return p;
}
