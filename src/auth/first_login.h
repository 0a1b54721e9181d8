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

// Lets a call through when `allowed` (the request is one that the gate never
// holds: logging in or out, a refresh, or the caller's own password change);
// otherwise throws CMyErr(err, kRefused) while the flag is set. The flag is
// read only when `allowed` is false, so the calls always let through cost no
// query.
void check(bool allowed);

}  // namespace first_login
