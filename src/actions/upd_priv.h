// CUpdPriv: "updPriv", a user group's name and rights text (table priv2),
// from the request's parameter object `priv`, whose `dog` is taken as the
// edited rights text of the request's context (`dogDB` as the browser sent
// it). Every user of the group receives the group's rights text. Groups are
// not sent to the switch daemon.
#pragma once

#include "actions/action.h"
#include "util/request_params.h"

class CUpdPriv : public CAction {
 public:
  CUpdPriv(const RequestContext& context, const korvan::GroupParams& params, Json::Value& jsOData)
      : CAction(context, params, jsOData), params_(params) {}

 protected:
  // Side A: the group's `nm` and `dog` and the password policy text `f_pwd`
  // of secureConf (so a request that does not repeat the stored policy
  // counts as changed). Side B: `priv`.
  void initDaDb() override;
  // Updates the group row, then copies its rights text into every user whose
  // `pid` is the group.
  void modify() override;
  // Record "updPriv": "Name" old and new, then one rights entry per slot in use.
  void log() override;

 private:
  const korvan::GroupParams& params_;
};
