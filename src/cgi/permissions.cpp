#include "cgi/permissions.h"

#include "actions/user.h"
#include "auth/rights.h"
#include "util/myerr.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

std::string paramText(const korvan::Params& request, const char* object, const char* member) {
  return request.text({object, member});
}

bool allowed(Access who, const RequestContext& context, const korvan::Params& request) {
  const Caller& caller = context.caller;
  switch (who) {
    case Access::anyone:
      return true;
    case Access::consoleViewer: {
      const char right = consoleRight(caller, paramText(request, "dogPara", "id"), context.mode);
      return right == '1' || right == '3';
    }
    case Access::consoleController:
      return consoleRight(caller, paramText(request, "serialPara", "dogID"), context.mode) == '3';
    case Access::ownPassword:
      return caller.level == 3 || isOwnPasswordChange(context, request);
    case Access::operators:
      return caller.level == 2 || caller.level == 3;
    case Access::administrators:
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

bool isOwnPasswordChange(const RequestContext& context, const korvan::Params& request) {
  const Caller& caller = context.caller;
  return !caller.id.empty() && paramText(request, "userPara", "id") == caller.id &&
         CUpdUser::changesOnlyPassword(context.withRights(request.value({"userPara"})));
}

void checkPermission(Access who, std::string_view type, const RequestContext& context,
                     const korvan::Params& request) {
  if (allowed(who, context, request)) return;
  const Caller& caller = context.caller;
  const std::string record = "permission denied: type=" + oneLine(std::string(type)) +
                             " user=" + caller.id + " level=" + std::to_string(caller.level) +
                             " ip=" + caller.address;
  setLog(trace::kPermissionDenied, record.c_str());
  throw CMyErr(CMyErr::err, kPermissionDenied);
}
