#include "auth/second_factor.h"

#include <optional>

#include "store/audit.h"
#include "store/db.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "util/device_key.h"
#include "util/myerr.h"
#include "util/number.h"
#include "util/totp.h"

namespace second_factor {

namespace {

std::string contextOf(const std::string& userId) { return "totp:" + userId; }

struct Stored {
  std::optional<std::string> seed;  // the active seed, when it opens here
  long long lastStep = 0;
  std::string pending;              // sealed, during an enrolment
  std::string name;
};

Stored load(const std::string& userId) {
  Stored stored;
  const std::optional<Json::Value> row =
      CDB::selOne("select totpSecret,totpStep,totpPending,nm from user2 where id=" +
                      sqlNumber(userId) + ";",
                  {"secret", "step", "pending", "nm"});
  if (!row) return stored;
  const std::string sealed = (*row)["secret"].asString();
  if (!sealed.empty()) stored.seed = korvan::openSecret(sealed, contextOf(userId));
  stored.lastStep = korvan::leadingInteger((*row)["step"].asString());
  stored.pending = (*row)["pending"].asString();
  stored.name = (*row)["nm"].asString();
  return stored;
}

}  // namespace

LoginCheck checkLoginCode(const std::string& userId, const std::string& otp) {
  const Stored stored = load(userId);
  if (!stored.seed) return LoginCheck::notEnrolled;
  if (otp.empty()) return LoginCheck::codeMissing;
  const std::optional<long long> step =
      korvan::acceptedStep(*stored.seed, otp, korvan::totpNow(), stored.lastStep);
  if (!step) return LoginCheck::codeWrong;
  CDB::execModify("update user2 set totpStep=" + std::to_string(*step) +
                  " where id=" + sqlNumber(userId) + ";");
  return LoginCheck::accepted;
}

bool enrolled(const std::string& userId) { return load(userId).seed.has_value(); }

bool requiredForAdministrators(const Json::Value& policy) {
  return policy.isObject() && (policy["totpAdmin"].isString() || policy["totpAdmin"].isNumeric()) &&
         policy["totpAdmin"].asString() == "1";
}

void checkEnrolment(const Caller& caller, bool allowed) {
  if (allowed || caller.level != 3) return;
  const std::optional<Json::Value> row =
      CDB::selOne("select f_pwd from secureConf;", {"policy"});
  Json::Value policy;
  Json::Reader reader;
  if (!row || !reader.parse((*row)["policy"].asString(), policy, true)) return;
  if (!requiredForAdministrators(policy)) return;
  if (!enrolled(caller.id)) throw CMyErr(CMyErr::err, kEnrolRequired);
}

}  // namespace second_factor

void onTotpBegin(const RequestContext& context, const korvan::NoParams&, Json::Value& jsOData) {
  const Caller& caller = context.caller;
  // Made before the transaction: the random source and the key file may be
  // slow on first use.
  const std::string seed = korvan::newTotpSecret();
  const std::string sealed = korvan::sealSecret(seed, second_factor::contextOf(caller.id));
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  CDB::execModify("update user2 set totpPending='" + sqlText(sealed) +
                  "' where id=" + sqlNumber(caller.id) + ";");
  transaction.commit();
  jsOData["totp"]["secret"] = korvan::base32(seed);
  jsOData["totp"]["uri"] = korvan::totpUri("Korvan", caller.name, seed);
}

void onTotpConfirm(const RequestContext& context, const korvan::TotpParams& params,
                   Json::Value& jsOData) {
  const Caller& caller = context.caller;
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const second_factor::Stored stored = second_factor::load(caller.id);
  const std::optional<std::string> seed =
      stored.pending.empty()
          ? std::nullopt
          : korvan::openSecret(stored.pending, second_factor::contextOf(caller.id));
  if (!seed) throw CMyErr(CMyErr::warning, "no enrolment started");
  const std::optional<long long> step =
      korvan::acceptedStep(*seed, params.otp, korvan::totpNow(), 0);
  if (!step) {
    Json::Value entries;
    audit::addEntry(entries, "reason", "wrong enrolment code");
    audit::recordAccess(caller, {"totpFailed", "second factor failed"}, entries);
    transaction.commit();
    throw CMyErr(CMyErr::warning, "code wrong");
  }
  CDB::execModify("update user2 set totpSecret=totpPending, totpPending='', totpStep=" +
                  std::to_string(*step) + " where id=" + sqlNumber(caller.id) + ";");
  audit::recordAccess(caller, {"totpEnrol", "second factor enrolled"}, Json::Value());
  transaction.commit();
  jsOData["totp"]["enrolled"] = true;
}

void onTotpReset(const RequestContext& context, const korvan::TotpResetParams& params,
                 Json::Value&) {
  const Caller& caller = context.caller;
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const std::string id = std::to_string(params.id.value());
  const std::optional<Json::Value> row = CDB::selOne(
      "select nm from user2 where id=" + id + " and (totpSecret<>'' or totpPending<>'');", {"nm"});
  if (!row) throw CMyErr(CMyErr::warning, "Nothing modified");
  CDB::execModify("update user2 set totpSecret='', totpPending='', totpStep=0 where id=" + id +
                  ";");
  Json::Value entries;
  audit::addEntry(entries, "user name", (*row)["nm"].asString());
  audit::recordAccess(caller, {"totpReset", "second factor reset"}, entries);
  transaction.commit();
}
