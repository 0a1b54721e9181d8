// SwitchExchange: how the last exchange of packets with the switch service
// went, as the daemon link saw it and the health store keeps it. A plain
// value so that the link (which knows) and the store (which keeps) need not
// know each other.
#pragma once

#include <string>

struct SwitchExchange {
  // When the exchange ended, epoch seconds.
  long long time = 0;
  // Whether a whole reply came, whatever its result: the service is there.
  bool answered = false;
  // "ok" for a reply with result 0; otherwise the failure's message (a
  // refusal, a write error, a reply that did not come in time).
  std::string outcome;
};
