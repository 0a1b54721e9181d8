// The rule a new password must meet: at least `pwdMin` characters (the
// password policy's member, kDefaultPwdMin when it has none) and not the
// user's own name. Passwords set before stay valid until they are changed.
#pragma once

#include <json/json.h>

#include <string>

namespace korvan {

inline constexpr int kDefaultPwdMin = 8;

// The minimum length the policy document sets: its `pwdMin` read as a whole
// number of at least 1; kDefaultPwdMin when the member is missing or not a
// number.
int passwordMinimum(const Json::Value& policy);

// Throws CMyErr(warning) with "password too short (minimum N)" or "password
// equals the user name" when `password` breaks the rule. Length counts
// characters (UTF-8 code points), not bytes.
void checkPasswordRule(const std::string& password, const std::string& userName, int pwdMin);

}  // namespace korvan
