#include "auth/directory_ask.h"

#include "auth/ldap_client.h"
#include "auth/radius_client.h"

namespace directory {

Answer ask(const Config& config, const std::string& name, const std::string& password,
           Clock::time_point deadline) {
  if (password.empty()) {
    // A simple bind with an empty password is an anonymous bind, which
    // succeeds: it is never sent.
    Answer answer;
    answer.outcome = Outcome::rejected;
    answer.reason = "empty password";
    answer.steps.push_back({"password", false, "an empty password is never sent"});
    return answer;
  }
  return config.kind == Kind::radius ? askRadius(config, name, password, deadline)
                                     : askLdap(config, name, password, deadline);
}

}  // namespace directory
