#include "cgi/routes.h"

#include <utility>

#include "actions/upd_dog.h"
#include "actions/upd_priv.h"
#include "actions/upd_server.h"
#include "actions/user.h"
#include "auth/login.h"
#include "auth/session.h"
#include "cgi/ajax.h"
#include "cgi/filetransfer.h"
#include "daemon/arm.h"
#include "ops/access.h"
#include "ops/ops.h"

namespace {

// Builds one route, each property named where it is set.
class Entry {
 public:
  Entry(const char* type, Access access) {
    route_.type = type;
    route_.access = access;
  }
  Entry& handler(Handler handler) {
    route_.handler = handler;
    return *this;
  }
  Entry& action(ActionMaker action) {
    route_.action = action;
    return *this;
  }
  Entry& transfer(TransferTest present, TransferServe serve) {
    route_.transferPresent = present;
    route_.transferServe = serve;
    return *this;
  }
  Entry& objects(std::vector<std::string> objects) {
    route_.objects = std::move(objects);
    return *this;
  }
  Entry& numbers(const char* object, std::vector<const char*> names) {
    route_.numbersIn = object;
    route_.numbers = std::move(names);
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
  Entry& streamsLog() {
    route_.streamsLog = true;
    return *this;
  }
  operator Route() const { return route_; }

 private:
  Route route_;
};

template <class Action>
std::unique_ptr<CAction> make(const RequestContext& context, Json::Value& jsIData,
                              Json::Value& jsOData) {
  return std::make_unique<Action>(context, jsIData, jsOData);
}

// In factory mode a console module is set up with its uid; otherwise the
// daemon keeps the uid and the module is renamed and configured.
std::unique_ptr<CAction> makeUpdDog(const RequestContext& context, Json::Value& jsIData,
                                    Json::Value& jsOData) {
  if (context.factory()) return make<CUpdDog_factory>(context, jsIData, jsOData);
  return make<CUpdDog>(context, jsIData, jsOData);
}

void login(RequestContext& context, Json::Value& jsIData, Json::Value& jsOData) {
  context.caller = onLogin(context.mode, jsIData, jsOData, context.caller.address);
}

std::vector<Route> buildTable() {
  using R = RequestContext;
  using V = Json::Value;
  return {
      // The requests that are not change actions.
      Entry("login", Access::anyone)
          .handler(login)
          .readOnly()
          .withoutSession()
          .keepsExpiry()
          .beforePasswordSet(),
      Entry("logout", Access::anyone)
          .handler([](R& c, V& in, V& out) { onLogout(c.caller, in, out); })
          .keepsExpiry()
          .beforePasswordSet(),
      Entry("ref", Access::anyone)
          .handler([](R&, V& in, V& out) { onRef(in, out); })
          .readOnly()
          .beforePasswordSet()
          .answersUnderLock(),
      Entry("qt", Access::consoleViewer)
          .handler([](R& c, V& in, V& out) { onGrantKvm(c.caller, c.consoleUid, in, out); })
          .objects({"dogPara", "server", "server.netIP", "server.netPort"})
          .numbers("dogPara", {"id"})
          .bindsConsole()
          .daemon(),
      Entry("setTime", Access::operators)
          .handler([](R& c, V& in, V& out) { onSetTimeRecorded(c.caller, in, out); })
          .daemon(),
      Entry("restart", Access::administrators)
          .handler([](R& c, V& in, V& out) { onRestartRecorded(c.caller, in, out); })
          .daemon()
          .rebootOnFailure(),
      Entry("saveLanguage", Access::administrators).handler([](R& c, V& in, V& out) {
        onSaveLanguage(c.caller, in, out);
      }),
      Entry("unlockUser", Access::administrators).handler([](R& c, V& in, V& out) {
        onUnlockUser(c.caller, in, out);
      }),
      Entry("selLog", Access::operators)
          .handler([](R& c, V& in, V& out) { onSelLog(c.caller, in, out); })
          .objects({"logCondition"})
          .readOnly()
          .answersUnderLock()
          .streamsLog(),
      Entry("modifyIPS", Access::administrators)
          .handler([](R& c, V& in, V& out) { onModifyIPS(c.caller, in, out); })
          .objects({"ipsPara"}),
      Entry("modifyServerIPS", Access::administrators)
          .handler([](R& c, V& in, V& out) { onModifyServerIPS(c.caller, in, out); })
          .objects({"serveripsPara"}),
      Entry("operaSerial", Access::consoleController)
          .handler([](R& c, V& in, V& out) { onOperaSerial(c.caller, in, out); })
          .objects({"serialPara"}),
      Entry("convertToClientMode", Access::administrators).handler([](R& c, V& in, V& out) {
        onConvertToClientMode(c.caller, in, out);
      }),
      Entry("unsetDogInfo", Access::operators)
          .handler([](R& c, V& in, V& out) { onUnsetDogInfo(c.caller, in, out); })
          .objects({"dogInfoPara"}),

      // The change actions.
      Entry("updServer", Access::administrators)
          .action(make<CUpdServer>)
          .objects({"server"})
          .numbers("server", {"encrypt", "portKM", "portV", "portWeb"})
          .daemon(),
      Entry("updDog", Access::operators)
          .action(makeUpdDog)
          .objects({"dogPara"})
          .numbers("dogPara", {"id", "portID", "sm", "code", "frame"})
          .daemon(),
      Entry("updPriv", Access::administrators)
          .action(make<CUpdPriv>)
          .objects({"priv"})
          .numbers("priv", {"id"})
          .rightsFrom("priv"),
      Entry("updUser", Access::ownPassword)
          .action(make<CUpdUser>)
          .objects({"userPara"})
          .numbers("userPara", {"id", "pid", "prior"})
          .rightsFrom("userPara"),
      Entry("insUser", Access::administrators)
          .action(make<CInsUser>)
          .objects({"userPara"})
          .numbers("userPara", {"pid", "prior"})
          .rightsFrom("userPara"),
      Entry("delUser", Access::administrators)
          .action(make<CDelUser>)
          .objects({"userPara"})
          .numbers("userPara", {"id"})
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
