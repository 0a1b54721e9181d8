// The first-login gate. A device leaves the factory with one administrator
// account whose password is the same on every device, and the first-login
// flag of secureConf set. Until a password has been set through a user update
// (which clears the flag), the device serves nothing but logging in and out,
// refreshing the view and that password change: everything else is refused
// before it has written, logged or sent anything.
#pragma once

#include <string>

namespace first_login {

// The refusal while the flag is set.
inline constexpr const char* kRefused = "password change required";

// Whether the first-login flag of secureConf reads "1". Reads only.
bool pending();

// Lets a call of `type` through when it is "login", "ref" or "logout", or
// when `ownPasswordChange` says that it sets the caller's own password and
// nothing else; otherwise throws CMyErr(err, kRefused) while the flag is set.
// The flag is read only when the type does not already decide, so the calls
// that are always let through cost no query.
void check(const std::string& type, bool ownPasswordChange);

}  // namespace first_login
