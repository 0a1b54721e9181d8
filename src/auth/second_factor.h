// The second factor: a time-based code (util/totp.h) per user. The seed is
// stored in user2.totpSecret sealed with the device key under the context
// "totp:<user id>" (util/device_key.h), so a copy of the database carries no
// usable seed and a database moved to another switch asks its users to enrol
// again. user2.totpStep holds the last step accepted: a code is taken once.
//
// Enrolment: "totpBegin" makes a fresh seed, kept sealed in
// user2.totpPending, and answers it as text and as an otpauth:// URI (for the
// QR code); "totpConfirm" with a correct `otp` for that seed makes it the
// active one. Neither answers a seed ever again. "totpReset" (administrators)
// removes a user's factor. Enrolment and reset are recorded.
//
// The policy member `totpAdmin` "1" makes level 3 enrol: until then such a
// session serves only the requests that the first-login gate lets through
// (logging in and out, a refresh, the own password) and the enrolment.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"
#include "util/request_context.h"
#include "util/request_params.h"

namespace second_factor {

inline constexpr const char* kCodeRequired = "second factor code required";
inline constexpr const char* kEnrolRequired = "second factor enrolment required";

enum class LoginCheck { notEnrolled, accepted, codeMissing, codeWrong };

// Within the login's last transaction: the check of `otp` for user `userId`
// whose password was accepted. An accepted code's step is stored.
LoginCheck checkLoginCode(const std::string& userId, const std::string& otp);

// Whether user `userId` has a second factor that opens on this device.
bool enrolled(const std::string& userId);

// Whether the policy document asks level-3 users to enrol.
bool requiredForAdministrators(const Json::Value& policy);

// Whether request type `type` is a step of the enrolment.
inline bool enrols(const std::string& type) { return type == "totpBegin" || type == "totpConfirm"; }

// The gate of the admission: throws CMyErr(err, kEnrolRequired) for a level-3
// caller without a factor while the policy requires one, unless `allowed`.
void checkEnrolment(const Caller& caller, bool allowed);

}  // namespace second_factor

// Handlers of "totpBegin", "totpConfirm" and "totpReset" (see above).
void onTotpBegin(const RequestContext& context, const korvan::NoParams& params,
                 Json::Value& jsOData);
void onTotpConfirm(const RequestContext& context, const korvan::TotpParams& params,
                   Json::Value& jsOData);
void onTotpReset(const RequestContext& context, const korvan::TotpResetParams& params,
                 Json::Value& jsOData);
