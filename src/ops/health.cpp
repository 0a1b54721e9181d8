#include "ops/health.h"

#include <ctime>
#include <optional>
#include <string>

#include "daemon/arm.h"
#include "store/health.h"
#include "util/local_time.h"

void onHealth(const RequestContext&, const korvan::NoParams&, Json::Value& jsOData) {
  const std::optional<SwitchExchange> last = health::storedExchange();
  const std::string failure = CArm::probe(health::kConnectCheckMs);
  Json::Value report(Json::objectValue);
  report["connect"] = failure.empty() ? std::string("ok") : failure;
  report["checked"] = korvan::localText(time(nullptr));
  Json::Value exchange;  // null: no exchange yet
  if (last) {
    exchange["time"] = korvan::localText(static_cast<time_t>(last->time));
    exchange["answered"] = last->answered ? "1" : "0";
    exchange["outcome"] = last->outcome;
  }
  report["exchange"] = exchange;
  report["reachable"] = failure.empty() && (!last || last->answered);
  jsOData["health"] = report;
}
