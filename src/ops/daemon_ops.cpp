#include "daemon/arm.h"
#include "daemon/packets.h"
#include "ops/ops.h"
#include "util/clock_text.h"
#include "util/local_time.h"
#include "util/members.h"
#include "util/trace.h"
#include "util/trace_ids.h"

using korvan::memberString;
using korvan::memberText;

void onQt(const Caller& caller, const std::string& consoleUid, const Json::Value& jsIData,
          Json::Value& jsOData) {
  const std::string dogID = memberString(jsIData, {"dogPara", "id"});
  SessionRequest request;
  request.dogUID = consoleUid;
  request.dogID = korvan::pak::wireByte(dogID);
  request.userNM = caller.name;
  request.userIP = caller.address;
  request.userID = static_cast<uint32_t>(korvan::pak::wireInt(caller.id));
  const SessionGrant grant = CArm::qt(request);

  Json::Value session(Json::objectValue);
  if (memberText(jsIData, {"dogPara", "type2"}) == "2") {  // serial console module
    session["portCOM"] = memberText(jsIData, {"server", "netPort", "portKM"});
  } else {
    session["priv"] = "1";
    session["portV"] = memberText(jsIData, {"server", "netPort", "portV"});
    session["portKM"] = memberText(jsIData, {"server", "netPort", "portKM"});
    session["portMedia"] = "5918";
  }
  session["ip"] = memberText(jsIData, {"server", "netIP", "ip"});
  session["userID"] = caller.id;
  session["userNM"] = caller.name;
  session["dogID"] = memberText(jsIData, {"dogPara", "id"});
  setLog(trace::kKvmSession, "after recv::qt 1111");

  session["desEncode"] = korvan::pak::hex8(grant.desEncode);
  session["desDecode"] = korvan::pak::hex8(grant.desDecode);
  Json::FastWriter writer;
  jsOData["qt"] = writer.write(session);
}

void onSetTime(const Json::Value& jsIData, Json::Value&) {
  // The caller has refused a time the packet cannot carry (util/clock_text.h)
  // before its record; checked again here so that no path sends one.
  const std::string time2 = memberText(jsIData, {"time2"});
  korvan::checkClockText(time2);
  CArm::setTime(static_cast<uint32_t>(time_strToSecs(time2)));
}

void onRestart(const Json::Value&, Json::Value&) { CArm::restart(); }
