#include "auth/directory_requests.h"

#include "auth/directory_ask.h"
#include "auth/directory_store.h"
#include "store/audit.h"
#include "store/cursor.h"
#include "store/transaction.h"
#include "util/myerr.h"

void onSelDirectory(const RequestContext&, const korvan::NoParams&, Json::Value& reply) {
  korvan::Transaction reading(korvan::Transaction::kRead);
  reply["directory"] = directory::view(directory::load());
}

void onUpdDirectory(const RequestContext& context, const korvan::DirectoryParams& params,
                    Json::Value& reply) {
  korvan::Transaction transaction(korvan::Transaction::kWrite);
  const directory::Config before = directory::load();
  const directory::Config after = directory::edited(before, params.dirPara);
  const Json::Value a = directory::view(before), b = directory::view(after);
  Json::Value entries(Json::arrayValue);
  for (const std::string& name : b.getMemberNames()) {
    const bool secret = name == "bindPw" || name == "radiusSecret";
    const bool changed = secret ? params.dirPara.isMember(name) && !params.dirPara[name].isNull()
                                : a[name] != b[name];
    if (!changed) continue;
    Json::Value entry;
    entry["nm"] = name;
    entry["v1"] = secret ? "" : a[name].asString();
    entry["v2"] = secret ? "changed" : b[name].asString();
    entries.append(entry);
  }
  if (entries.empty()) throw CMyErr(CMyErr::warning, "Nothing modified");
  directory::store(after);
  audit::recordSystem(context.caller, {"updDirectory", "directory settings"}, entries);
  transaction.commit();
  reply["directory"] = b;
}

void onTestDirectory(const RequestContext&, const korvan::DirectoryTestParams& params,
                     Json::Value& reply) {
  directory::Config config;
  {
    korvan::Transaction reading(korvan::Transaction::kRead);
    config = directory::edited(directory::load(), params.dirPara);
  }
  const std::string name = directory::foldedName(config, params.userName);
  if (name.empty()) throw CMyErr(CMyErr::warning, "A user name is required");
  if (name.size() > directory::kMaxDirectoryName) throw CMyErr(CMyErr::warning, "User Name too long");
  const auto deadline = directory::Clock::now() + std::chrono::seconds(2 * config.timeout);
  const directory::Answer answer = directory::ask(config, name, params.password, deadline);
  Json::Value steps(Json::arrayValue);
  for (const directory::Step& step : answer.steps) {
    Json::Value s;
    s["step"] = step.step;
    s["ok"] = step.ok ? "1" : "0";
    s["detail"] = step.detail;
    steps.append(s);
  }
  const long long group =
      answer.outcome == directory::Outcome::accepted ? directory::mappedGroup(config.map, answer.groups) : 0;
  Json::Value mapped;
  mapped["step"] = "device group";
  mapped["ok"] = group != 0 ? "1" : "0";
  if (group != 0) {
    CRowCursor row("select nm from priv2 where id=" + std::to_string(group));
    mapped["detail"] = row.hasRow() ? row.cell(0) : std::to_string(group);
  } else {
    mapped["detail"] = answer.outcome == directory::Outcome::accepted ? "no access group" : "";
  }
  if (answer.outcome == directory::Outcome::accepted) steps.append(mapped);
  reply["steps"] = steps;
  reply["outcome"] = directory::outcomeText(answer.outcome);
  reply["server"] = answer.server;
}
