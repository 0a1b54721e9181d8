#include "actions/registry.h"

#include "actions/upd_priv.h"
#include "actions/user.h"

std::unique_ptr<CAction> makeAction(const std::string& type, Json::Value& jsIData,
                                    Json::Value& jsOData) {
  if (type == "updPriv") return std::make_unique<CUpdPriv>(jsIData, jsOData);
  if (type == "updUser") return std::make_unique<CUpdUser>(jsIData, jsOData);
  if (type == "insUser") return std::make_unique<CInsUser>(jsIData, jsOData);
  if (type == "delUser") return std::make_unique<CDelUser>(jsIData, jsOData);
  return nullptr;
}
