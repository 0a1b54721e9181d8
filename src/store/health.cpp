#include "store/health.h"

#include <string>

#include "store/db.h"
#include "store/sql.h"
#include "util/number.h"

namespace health {

void storeExchange(const std::optional<SwitchExchange>& exchange) {
  if (!exchange) return;
  CDB::execModify(
      "insert or replace into switchHealth (f_id,f_time,f_answered,f_outcome) values (1," +
      std::to_string(exchange->time) + "," + (exchange->answered ? "1" : "0") + ",'" +
      sqlText(exchange->outcome) + "')");
}

std::optional<SwitchExchange> storedExchange() {
  const std::optional<Json::Value> row =
      CDB::selOne("select f_time,f_answered,f_outcome from switchHealth where f_id=1",
                  {"time", "answered", "outcome"});
  if (!row) return std::nullopt;
  SwitchExchange exchange;
  exchange.time = korvan::leadingInteger((*row)["time"].asString());
  exchange.answered = (*row)["answered"].asString() == "1";
  exchange.outcome = (*row)["outcome"].asString();
  return exchange;
}

}  // namespace health
