#include "auth/directory_client.h"


namespace directory {

const char* outcomeText(Outcome outcome) {
  switch (outcome) {
    case Outcome::accepted: return "accepted";
    case Outcome::rejected: return "rejected";
    case Outcome::unknown: return "unknown";
    case Outcome::failed: return "failed";
    case Outcome::unreachable: break;
  }
  return "unreachable";
}

}  // namespace directory
