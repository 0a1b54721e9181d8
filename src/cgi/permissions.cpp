#include "cgi/permissions.h"

#include "actions/user.h"
#include "auth/rights.h"
#include "util/myerr.h"
#include "util/request_params.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

// A number member's text for the stored-row lookups: "" when it is missing
// or malformed, which names no row (its refusal comes after this check).
std::string numberText(const korvan::Number& number) {
  return number ? std::to_string(*number) : std::string();
}

bool allowed(Access who, const RequestContext& context, const korvan::Params& request) {
  const Caller& caller = context.caller;
  switch (who) {
    case Access::anyone:
      return true;
    case Access::consoleViewer: {
      const auto* kvm = dynamic_cast<const korvan::KvmParams*>(&request);
      if (kvm == nullptr) return false;
      const char right = consoleRight(caller, numberText(kvm->moduleId), context.mode);
      return right == '1' || right == '3';
    }
    case Access::consoleController: {
      const auto* serial = dynamic_cast<const korvan::SerialParams*>(&request);
      return serial != nullptr && consoleRight(caller, serial->dogId, context.mode) == '3';
    }
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
  const auto* update = dynamic_cast<const korvan::UserUpdateParams*>(&request);
  return update != nullptr && !caller.id.empty() && numberText(update->id) == caller.id &&
         CUpdUser::changesOnlyPassword(context.withRights(update->userPara));
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
