// The switch service's health as requests that talk to it saw it: the one
// row of table switchHealth holds how the last packet exchange went and
// when. It is written inside the transaction a request already holds for
// its record or rows, never in one of its own, so keeping it costs no
// commit; and read by the health request.
#pragma once

#include <optional>

#include "util/switch_exchange.h"

namespace health {

// Stores `exchange` as the last one, in the caller's transaction; nothing
// when it is empty (the request exchanged no packet).
void storeExchange(const std::optional<SwitchExchange>& exchange);

// The stored last exchange, or nothing when no request has exchanged a
// packet with the service since the table was made.
std::optional<SwitchExchange> storedExchange();

}  // namespace health
