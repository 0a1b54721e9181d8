// The user-account actions: "updUser", "insUser" and "delUser", on table
// user2, from the request's parameter object `userPara`, whose `dog` is taken
// as the edited rights text of the request's context (`dogDB` as the browser
// sent it). None of them tells the switch daemon. Each writes one log record of type "user".
#pragma once

#include <string>

#include "actions/action.h"
#include "util/request_params.h"

// Changes one user's settings and, when `setPW` is exactly "yes", the
// password: then `pwdExpire` becomes the current time and the first-login
// flag of secureConf is cleared before the user row is written. The password
// is stored as its hash (util/password_hash.h) and must meet the password
// rule (util/password_rule.h); both the hash and the check of `oldPw` are
// made on construction, before the write transaction, holding one of the
// verification slots (util/verify_slots.h): with all of them taken the
// request is refused with "busy, try again".
class CUpdUser : public CAction {
 public:
  CUpdUser(const RequestContext& context, const korvan::UserUpdateParams& params,
           Json::Value& jsOData)
      : CAction(context, params, jsOData), params_(params) {
    preparePassword();
  }

  // True when `userPara` sets the password ("yes" in `setPW`) of a stored
  // user and every other stored member it names is unchanged: the one user
  // update that users below level 3 may make, on their own account.
  static bool changesOnlyPassword(const Json::Value& userPara);

 protected:
  // Side A: the stored user joined with its group's name (`pidCN`); a user
  // without a group row, or an unknown id, loads nothing. Side B: `userPara`.
  void initDaDb() override;
  // Without "yes" in `setPW` the password is not compared (it is not
  // written); with it the update always counts as a change. A user changing their own password must send the
  // stored one as `oldPw`, which counts as a login attempt does: a locked
  // name is refused untested, and a wrong old password is counted towards
  // the lock and recorded (store/audit.h). Such a refusal changes nothing
  // else: its records commit, then the request ends with
  // CMyErr(warning, "old password wrong") or the login's lock message.
  // Otherwise the comparison of the base class.
  void checkChange() override;
  void modify() override;
  void log() override;
  void afterCommit() override;

 private:
  // With "yes" in `setPW`: checks the rule (throwing its refusal), hashes
  // the new password and, for the caller's own account, verifies `oldPw`
  // against the stored value.
  void preparePassword();

  const korvan::UserUpdateParams& params_;
  enum class Refusal { none, locked, wrongOldPassword };
  Refusal refusal_ = Refusal::none;
  std::string lockTime_;  // of a locked name
  std::string newHash_;   // of the new password
  bool ownChange_ = false;
  std::string verifiedStored_;  // the stored value oldPw was verified against
  bool oldPwRight_ = false;
};

// Adds a user: logged out, the placeholder token, created and its password
// set now (as its hash, under the password rule and a verification slot,
// both on construction).
// Never refused as unchanged.
class CInsUser : public CAction {
 public:
  CInsUser(const RequestContext& context, const korvan::NewUserParams& params,
           Json::Value& jsOData);

 protected:
  void checkChange() override;
  void modify() override;
  void log() override;

 private:
  const korvan::NewUserParams& params_;
  std::string hash_;  // of the new user's password
};

// Removes one user row; its group and the log keep theirs. The log record is
// built from the request, not from the deleted row. Never refused as
// unchanged, also for an id that does not exist.
class CDelUser : public CAction {
 public:
  CDelUser(const RequestContext& context, const korvan::UserRemovalParams& params,
           Json::Value& jsOData)
      : CAction(context, params, jsOData), params_(params) {}

 protected:
  void checkChange() override;
  void modify() override;
  void log() override;

 private:
  const korvan::UserRemovalParams& params_;
};
