#include "cgi/permissions.h"

#include "actions/user.h"
#include "auth/rights.h"
#include "util/members.h"
#include "util/myerr.h"
#include "util/trace.h"

namespace {

enum class Who {
  anyone,
  consoleViewer,      // right "1" or "3" on the module of dogPara.id
  consoleController,  // right "3" on the module of serialPara.dogID
  ownPassword,        // level 3, or the caller's own password alone
  operators,          // level 2 and 3
  administrators,     // level 3
};

struct Rule {
  const char* type;
  Who who;
};

// Types not listed here are for administrators only.
const Rule kRules[] = {
    {"login", Who::anyone},
    {"logout", Who::anyone},
    {"ref", Who::anyone},
    {"qt", Who::consoleViewer},
    {"operaSerial", Who::consoleController},
    {"updUser", Who::ownPassword},
    {"selLog", Who::operators},
    {"updDog", Who::operators},
    {"setTime", Who::operators},
    {"unsetDogInfo", Who::operators},
};

Who whoMay(const std::string& type) {
  for (const Rule& rule : kRules) {
    if (type == rule.type) return rule.who;
  }
  return Who::administrators;
}

std::string paramText(const Json::Value& request, const char* object, const char* member) {
  return korvan::memberText(request, {object, member});
}

bool allowed(Who who, const Caller& caller, const Json::Value& request) {
  switch (who) {
    case Who::anyone:
      return true;
    case Who::consoleViewer: {
      const char right = consoleRight(caller, paramText(request, "dogPara", "id"));
      return right == '1' || right == '3';
    }
    case Who::consoleController:
      return consoleRight(caller, paramText(request, "serialPara", "dogID")) == '3';
    case Who::ownPassword:
      return caller.level == 3 ||
             (!caller.id.empty() && paramText(request, "userPara", "id") == caller.id &&
              CUpdUser::changesOnlyPassword(korvan::member(request, "userPara")));
    case Who::operators:
      return caller.level == 2 || caller.level == 3;
    case Who::administrators:
      return caller.level == 3;
  }
  return false;
}

// `text` with control characters replaced, so that one record stays one line.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

}  // namespace

void checkPermission(const std::string& type, const Caller& caller, const Json::Value& request) {
  if (allowed(whoMay(type), caller, request)) return;
  const std::string record = "permission denied: type=" + oneLine(type) + " user=" + caller.id +
                             " level=" + std::to_string(caller.level) + " ip=" + caller.address;
  setLog(3301, record.c_str());
  throw CMyErr(CMyErr::err, kPermissionDenied);
}
