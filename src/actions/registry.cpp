#include "actions/registry.h"

#include "actions/upd_dog.h"
#include "actions/upd_priv.h"
#include "actions/upd_server.h"
#include "actions/user.h"
#include "store/db.h"

std::unique_ptr<CAction> makeAction(const std::string& type, Json::Value& jsIData,
                                    Json::Value& jsOData) {
  if (type == "updServer") return std::make_unique<CUpdServer>(jsIData, jsOData);
  if (type == "updDog") {
    if (CDB::isFactory) return std::make_unique<CUpdDog_factory>(jsIData, jsOData);
    return std::make_unique<CUpdDog>(jsIData, jsOData);
  }
  if (type == "updPriv") return std::make_unique<CUpdPriv>(jsIData, jsOData);
  if (type == "updUser") return std::make_unique<CUpdUser>(jsIData, jsOData);
  if (type == "insUser") return std::make_unique<CInsUser>(jsIData, jsOData);
  if (type == "delUser") return std::make_unique<CDelUser>(jsIData, jsOData);
  return nullptr;
}
