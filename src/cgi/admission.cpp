#include "cgi/admission.h"

#include "auth/session.h"
#include "cgi/ajax.h"
#include "cgi/cgic.h"
#include "cgi/permissions.h"
#include "cgi/request_shape.h"
#include "store/db.h"
#include "store/transaction.h"

RequestContext admit(const Route& route, const std::string& type, const Json::Value& request) {
  checkMemberTypes(route.objects, request);
  RequestContext context;
  if (route.rightsFrom != nullptr) context.rights = request[route.rightsFrom]["dogDB"];
  // The device mode and the kind of access list share a row: one statement.
  Json::Value device;
  Json::Value ips;
  CDB::selIPS(ips, &device);
  context.mode = device["factoryMode"].asString() == "1" ? DeviceMode::factory : DeviceMode::normal;
  CAjax::checkIPS(ips);
  if (!route.withoutSession) context.caller = session::checkToken(request);
  context.caller.address = cgiRemoteAddr != nullptr ? cgiRemoteAddr : "";
  checkPermission(route.access, type, context, request);
  return context;
}

RequestContext admitRequest(const Route& route, const std::string& type, const Json::Value& request,
                            bool& admitted) {
  korvan::Transaction session(korvan::Transaction::kWrite);
  RequestContext context = admit(route, type, request);
  admitted = true;
  session::updateAllUserStatusByExpire();
  if (route.extendsSession) session::updateExpire(context.caller);
  session.commit();
  return context;
}
