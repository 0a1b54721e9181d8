// What a directory server said about a name and password, for both kinds of
// directory (auth/ldap_client.h, auth/radius_client.h).
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "auth/directory_config.h"

namespace directory {

enum class Outcome {
  accepted,     // the password is right; groups and id are filled
  rejected,     // the server knows the name and refused the password
  unknown,      // the server does not know the name
  unreachable,  // no server answered (connect, timeout, TLS refused)
  failed,       // a server answered but the exchange cannot be used
                // (service account refused, ambiguous name, forged reply)
};

const char* outcomeText(Outcome outcome);

// One step of an attempt, as testDirectory reports it.
struct Step {
  std::string step;    // "connect", "TLS", "bind", "search", "groups", ...
  bool ok = false;
  std::string detail;  // never a password or a secret
};

struct Answer {
  Outcome outcome = Outcome::unreachable;
  std::string server;            // the server that answered, or the last one tried
  std::string stableId;          // the directory's id of the person
  std::vector<std::string> groups;
  std::string reason;            // why, for refusals and failures
  std::vector<Step> steps;
};

using Clock = std::chrono::steady_clock;

}  // namespace directory
