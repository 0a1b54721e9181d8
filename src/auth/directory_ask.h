// One directory question: the configured kind's exchange (LDAP or RADIUS)
// for a name and password.
#pragma once

#include <string>

#include "auth/directory_client.h"

namespace directory {

// The LDAP or RADIUS exchange for `name` and `password` under `config`,
// finished by `deadline` (each server gets at most the configured timeout
// of what is left). An empty password is refused without asking anyone.
Answer ask(const Config& config, const std::string& name, const std::string& password,
           Clock::time_point deadline);

}  // namespace directory
