#include "actions/registry.h"

#include "actions/upd_dog.h"
#include "actions/upd_priv.h"
#include "actions/upd_server.h"
#include "actions/user.h"
#include "store/db.h"

std::unique_ptr<CAction> makeAction(const std::string& type, const Caller& caller,
                                    Json::Value& jsIData, Json::Value& jsOData) {
  if (type == "updServer") return std::make_unique<CUpdServer>(caller, jsIData, jsOData);
  if (type == "updDog") {
    if (CDB::isFactory) return std::make_unique<CUpdDog_factory>(caller, jsIData, jsOData);
    return std::make_unique<CUpdDog>(caller, jsIData, jsOData);
  }
  if (type == "updPriv") return std::make_unique<CUpdPriv>(caller, jsIData, jsOData);
  if (type == "updUser") return std::make_unique<CUpdUser>(caller, jsIData, jsOData);
  if (type == "insUser") return std::make_unique<CInsUser>(caller, jsIData, jsOData);
  if (type == "delUser") return std::make_unique<CDelUser>(caller, jsIData, jsOData);
  return nullptr;
}
