#include "cgi/routes.h"

#include <utility>

#include "actions/upd_dog.h"
#include "actions/upd_priv.h"
#include "actions/upd_server.h"
#include "actions/user.h"
#include "auth/directory_login.h"
#include "auth/directory_requests.h"
#include "auth/login.h"
#include "auth/presence.h"
#include "auth/second_factor.h"
#include "auth/session.h"
#include "cgi/transfers.h"
#include "daemon/arm.h"
#include "ops/access.h"
#include "ops/forward.h"
#include "ops/health.h"
#include "ops/language.h"
#include "ops/ops.h"

namespace {

// Builds one route, each property named where it is set.
class Entry {
 public:
  Entry(const char* type, Access access) {
    route_.type = type;
    route_.access = access;
  }
  // The handler `serve` of the parameter struct P (named `name`), called with
  // the parameters the admission decoded.
  template <class P, auto serve>
  Entry& handler(const char* name) {
    route_.handler = [](RequestContext& context, const korvan::Params& params, Json::Value& reply) {
      serve(context, static_cast<const P&>(params), reply);
    };
    return params<P>(name);
  }
  // The change action that `maker` builds on the parameter struct P.
  template <class P>
  Entry& action(ActionMaker maker, const char* name) {
    route_.action = maker;
    return params<P>(name);
  }
  Entry& transfer(TransferTest present, TransferServe serve) {
    route_.transferPresent = present;
    route_.transferServe = serve;
    return *this;
  }
  Entry& bindsConsole() {
    route_.bindsConsole = true;
    return *this;
  }
  Entry& beforePasswordSet() {
    route_.beforePasswordSet = true;
    return *this;
  }
  Entry& answersUnderLock() {
    route_.answersUnderLock = true;
    return *this;
  }
  Entry& daemon() {
    route_.needsDaemon = true;
    return *this;
  }
  Entry& readOnly() {
    route_.changesState = false;
    return *this;
  }
  Entry& rightsFrom(const char* object) {
    route_.rightsFrom = object;
    return *this;
  }
  Entry& withoutSession() {
    route_.withoutSession = true;
    return *this;
  }
  Entry& keepsExpiry() {
    route_.extendsSession = false;
    return *this;
  }
  Entry& rebootOnFailure() {
    route_.rebootOnFailure = true;
    return *this;
  }
  Entry& postOnly() {
    route_.postOnly = true;
    return *this;
  }
  Entry& replies(const char* members) {
    route_.replyMembers = members;
    return *this;
  }
  Entry& streamsLog() {
    route_.streamsLog = true;
    return *this;
  }
  operator Route() const { return route_; }

 private:
  template <class P>
  Entry& params(const char* name) {
    route_.decode = korvan::decodeAs<P>;
    route_.rules = &P::rules;
    route_.paramsName = name;
    return *this;
  }

  Route route_;
};

// The change action `Action` on the parameter struct P its route decodes.
template <class Action, class P>
std::unique_ptr<CAction> make(const RequestContext& context, const korvan::Params& params,
                              Json::Value& reply) {
  return std::make_unique<Action>(context, dynamic_cast<const P&>(params), reply);
}

// In factory mode a console module is set up with its uid; otherwise the
// daemon keeps the uid and the module is renamed and configured.
std::unique_ptr<CAction> makeUpdDog(const RequestContext& context, const korvan::Params& params,
                                    Json::Value& reply) {
  if (context.factory()) return make<CUpdDog_factory, korvan::ModuleParams>(context, params, reply);
  return make<CUpdDog, korvan::ModuleParams>(context, params, reply);
}

// A login replaces the context's caller (who had only an address) by the
// user it logged in.
void login(RequestContext& context, const korvan::LoginParams& params, Json::Value& reply) {
  // A name the directory settings send to the directory logs in there.
  if (std::optional<Caller> person = directory::login(context.mode, params, reply, context.caller.address)) {
    context.caller = *person;
    return;
  }
  context.caller = onLogin(context.mode, params, reply, context.caller.address);
}

std::vector<Route> buildTable() {
  using R = RequestContext;
  using namespace korvan;
  return {
      // The requests that are not change actions.
      Entry("login", Access::anyone)
          .handler<LoginParams, login>("LoginParams")
          .readOnly()
          .withoutSession()
          .keepsExpiry()
          .beforePasswordSet(),
      Entry("logout", Access::anyone)
          .handler<NoParams, onLogout>("NoParams")
          .keepsExpiry()
          .beforePasswordSet(),
      Entry("ref", Access::anyone)
          .handler<NoParams, onRef>("NoParams")
          .readOnly()
          .beforePasswordSet()
          .answersUnderLock(),
      Entry("qt", Access::consoleViewer)
          .handler<KvmParams, onGrantKvm>("KvmParams")
          .bindsConsole()
          .daemon(),
      Entry("setTime", Access::operators)
          .handler<SetTimeParams, onSetTimeRecorded>("SetTimeParams")
          .daemon(),
      Entry("restart", Access::administrators)
          .handler<NoParams, onRestartRecorded>("NoParams")
          .daemon()
          .rebootOnFailure(),
      Entry("saveLanguage", Access::administrators)
          .handler<LanguageParams, onSaveLanguage>("LanguageParams"),
      Entry("unlockUser", Access::administrators)
          .handler<UnlockUserParams, onUnlockUser>("UnlockUserParams"),
      // The second factor: the caller's own enrolment, and a reset by an
      // administrator.
      Entry("totpBegin", Access::anyone).handler<NoParams, onTotpBegin>("NoParams"),
      Entry("totpConfirm", Access::anyone).handler<TotpParams, onTotpConfirm>("TotpParams"),
      Entry("totpReset", Access::administrators)
          .handler<TotpResetParams, onTotpReset>("TotpResetParams")
          .replies("`users[].totp` in it: \"1\" for each account that has a second factor "
                   "(what a reset removes), else \"0\" (an administrator's snapshot only)"),
      // Directory login settings.
      Entry("selDirectory", Access::administrators)
          .handler<NoParams, onSelDirectory>("NoParams")
          .readOnly(),
      Entry("updDirectory", Access::administrators)
          .handler<DirectoryParams, onUpdDirectory>("DirectoryParams"),
      Entry("testDirectory", Access::administrators)
          .handler<DirectoryTestParams, onTestDirectory>("DirectoryTestParams")
          .readOnly(),
      Entry("selLog", Access::operators)
          .handler<LogQueryParams, onSelLog>("LogQueryParams")
          .readOnly()
          .answersUnderLock()
          .streamsLog(),
      Entry("modifyIPS", Access::administrators)
          .handler<IpListParams, onModifyIPS>("IpListParams"),
      Entry("modifyServerIPS", Access::administrators)
          .handler<ServerIpListParams, onModifyServerIPS>("ServerIpListParams"),
      Entry("operaSerial", Access::consoleController)
          .handler<SerialParams, onOperaSerial>("SerialParams"),
      Entry("convertToClientMode", Access::administrators)
          .handler<NoParams, onConvertToClientMode>("NoParams"),
      Entry("unsetDogInfo", Access::operators)
          .handler<SlotParams, onUnsetDogInfo>("SlotParams"),

      // Log forwarding to syslog collectors.
      Entry("selSyslog", Access::administrators)
          .handler<NoParams, logfwd::onSelSyslog>("NoParams")
          .readOnly()
          .replies("`syslog`: both collectors, each with `slot`, `host` (\"\" when not set up), "
                   "`port`, `protocol`, `facility`, `ca`, `delivered` (the last record id it "
                   "took), `backlog` (records after it), `lost` (records removed before "
                   "delivery), `lastError`, `lastErrorAt`, `skippedUntil` and `deliveredAt` "
                   "(local times, \"\" for none)"),
      Entry("setSyslog", Access::administrators)
          .handler<SyslogParams, logfwd::onSetSyslog>("SyslogParams"),
      Entry("testSyslog", Access::administrators)
          .handler<SyslogSlotParams, logfwd::onTestSyslog>("SyslogSlotParams"),
      // Who is on the switch, and how the switch service is doing. The
      // health poll neither extends the session nor opens the daemon link:
      // its check makes its own bounded connection.
      Entry("selSessions", Access::anyone)
          .handler<NoParams, onSelSessions>("NoParams")
          .readOnly()
          .answersUnderLock()
          .replies("`sessions`: the open sessions (all at level 3, else the caller's own), each "
                   "with `userID`, `userNM`, `ip` (of the login), `since` (login time), "
                   "`lastRequest` (local time, \"\" when unknown) and `own` (\"1\" for the "
                   "caller's)"),
      Entry("endSession", Access::administrators)
          .handler<SessionParams, onEndSession>("SessionParams"),
      Entry("selConsoles", Access::anyone)
          .handler<NoParams, onSelConsoles>("NoParams")
          .readOnly()
          .answersUnderLock()
          .replies("`consoles`: the modules the caller has a right on, each with `id`, `nm`, "
                   "`kvmUser` and `kvmTime` (the last KVM session granted) and `serialUser` "
                   "(who holds its serial console; \"\" when free)"),
      Entry("health", Access::anyone)
          .handler<NoParams, onHealth>("NoParams")
          .readOnly()
          .answersUnderLock()
          .keepsExpiry()  // a poll is nobody's request: an idle page still times out
          .beforePasswordSet()
          .replies("`health`: `reachable` (boolean: false when the connect check or the last "
                   "exchange failed), `connect` (\"ok\" or the failure of a connection made "
                   "now, at most 300 ms, no byte sent), `checked` (its local time) and "
                   "`exchange` (null, or the last packet exchange of any request: `time`, "
                   "`answered` \"1\" when a reply came, `outcome` \"ok\" or the failure); "
                   "does not extend the session"),

      // The change actions.
      Entry("updServer", Access::administrators)
          .action<ServerParams>(make<CUpdServer, ServerParams>, "ServerParams")
          .daemon(),
      Entry("updDog", Access::operators)
          .action<ModuleParams>(makeUpdDog, "ModuleParams")
          .daemon(),
      Entry("updPriv", Access::administrators)
          .action<GroupParams>(make<CUpdPriv, GroupParams>, "GroupParams")
          .rightsFrom("priv"),
      Entry("updUser", Access::ownPassword)
          .action<UserUpdateParams>(make<CUpdUser, UserUpdateParams>, "UserUpdateParams")
          .rightsFrom("userPara"),
      Entry("insUser", Access::administrators)
          .action<NewUserParams>(make<CInsUser, NewUserParams>, "NewUserParams")
          .rightsFrom("userPara"),
      Entry("delUser", Access::administrators)
          .action<UserRemovalParams>(make<CDelUser, UserRemovalParams>, "UserRemovalParams")
          .rightsFrom("userPara"),

      // The file transfers, by form field, in the order they are tested.
      Entry("systemFile", Access::administrators)
          .transfer(hasUpload,
                    [](const R& c, const char* field) {
                      uploadFile(c, field, "update firmware success", "update firmware failed",
                                 nullptr, {"firmwareUpload", "firmware upload"});
                    }),
      Entry("dbFile", Access::administrators)
          .transfer(hasUpload,
                    [](const R& c, const char* field) {
                      uploadFile(c, field, "update database success", "update database failed",
                                 "update database failed: not a configuration database",
                                 {"dbUpload", "database upload"});
                    }),
      Entry("submitDownloadDB", Access::administrators)
          .transfer(hasField, [](const R& c, const char*) { downloadDBFile(c); })
          .readOnly(),
      Entry("submitExportLog", Access::operators)
          .transfer(hasField, [](const R& c, const char*) { exportLog(c); })
          .readOnly()
          .postOnly(),
  };
}

std::vector<Route> transfersOf(const std::vector<Route>& table) {
  std::vector<Route> transfers;
  for (const Route& route : table) {
    if (route.isTransfer()) transfers.push_back(route);
  }
  return transfers;
}

}  // namespace

const std::vector<Route>& allRoutes() {
  static const std::vector<Route> table = buildTable();
  return table;
}

const std::vector<Route>& transferRoutes() {
  static const std::vector<Route> transfers = transfersOf(allRoutes());
  return transfers;
}

const Route& ajaxRoute(std::string_view type) {
  for (const Route& route : allRoutes()) {
    if (!route.isTransfer() && type == route.type) return route;
  }
  static const Route unknown;
  return unknown;
}
