// The parameters of each request type (util/params.h): the members it reads,
// as data (rules()), and the typed fields decode() fills from them. The route
// table (cgi/routes.h) names the struct of each type; the admission decodes
// the document into it once and the handler receives it. The structs live at
// the lowest layer so that the handlers of every layer may take them.
#pragma once

#include <json/json.h>

#include <optional>
#include <string>

#include "util/params.h"

namespace korvan {

// A request that reads only the common members (util/params.h): logout,
// refresh, restart, client mode, and types the table does not know.
struct NoParams : Params {
  static const MemberRules& rules();
};

struct LoginParams : Params {
  static const MemberRules& rules();
  std::string userName;  // userNM
  std::string password;  // pw
  std::string timezone;
  std::string otp;  // the second factor's code, once the first answer asked for it
};

// "totpConfirm": the code of the seed being enrolled.
struct TotpParams : Params {
  static const MemberRules& rules();
  std::string otp;
};

// "totpReset": the user whose second factor goes.
struct TotpResetParams : Params {
  static const MemberRules& rules();
  Number id;
};

struct SetTimeParams : Params {
  static const MemberRules& rules();
  std::string time2;
  std::string timezone;
};

struct LanguageParams : Params {
  static const MemberRules& rules();
  std::string language;
};

struct UnlockUserParams : Params {
  static const MemberRules& rules();
  std::string userName;  // userNM
};

// A KVM session on the console module dogPara.id.
struct KvmParams : Params {
  static const MemberRules& rules();
  Number moduleId;  // dogPara.id
  // dogPara.id as sent, the text the session's record names.
  std::string dogId() const { return text({"dogPara", "id"}); }
  // dogPara.uid: when sent, it must be the stored module's.
  std::optional<std::string> uid;
};

struct LogQueryParams : Params {
  static const MemberRules& rules();
  // logCondition: a page of `limit` records (all without it) older than
  // `before`, filtered by user-name pattern, day range and record type.
  std::optional<std::string> limit;
  std::string before;
  std::string type;
  std::string user;
  std::string timeBegin;
  std::string timeEnd;
};

// One edit of an IP list: `action` (insIP, delIP, updIP, updType), the list
// type it sets, the address it removes and the one it adds.
struct IpListEdit : Params {
  std::string action;
  std::string type;
  std::string oldIP;
  std::string newIP;
};
struct IpListParams : IpListEdit {
  static const MemberRules& rules();
};
struct ServerIpListParams : IpListEdit {
  static const MemberRules& rules();
};

// Capture or release of the serial console of serialPara.dogID.
struct SerialParams : Params {
  static const MemberRules& rules();
  std::string dogId;   // serialPara.dogID, as sent
  std::string action;  // cap, uncap
};

struct SlotParams : Params {
  static const MemberRules& rules();
  std::string slotId;  // dogInfoPara.id
};

// endSession: the user whose session an administrator closes.
struct SessionParams : Params {
  static const MemberRules& rules();
  Number userId;  // sessionPara.id
};

// updServer: the whole `server` object is the change's side B; the network
// packet takes its address members and web port as sent.
struct ServerParams : Params {
  static const MemberRules& rules();
  Json::Value server;
  std::string ip;
  std::string subnetMask;
  std::string gateway;
  Number portWeb;
};

// updDog: the whole `dogPara` object is the change's side B (its slot
// members are stored by name); the packets take the typed members.
struct ModuleParams : Params {
  static const MemberRules& rules();
  Json::Value dogPara;
  Number id;
  std::string uid;
  std::string nm;
  Number portID;
  // code and frame go to the daemon only when sent as JSON strings.
  Json::Value code;
  Json::Value frame;
};

// updPriv: the whole `priv` object is the change's side B.
struct GroupParams : Params {
  static const MemberRules& rules();
  Json::Value priv;
  Number id;
};

// updUser, insUser and delUser: the whole `userPara` object is the change's
// side B (its members are stored and logged by column name).
struct UserParams : Params {
  Json::Value userPara;
  Number id;
};
struct UserUpdateParams : UserParams {
  static const MemberRules& rules();
  bool setsPassword() const { return setPW == "yes"; }
  std::string setPW;
  std::string oldPw;
};
struct NewUserParams : UserParams {
  static const MemberRules& rules();
};
struct UserRemovalParams : UserParams {
  static const MemberRules& rules();
};

// Log forwarding: the settings of one syslog collector (`syslog`: slot 1 or
// 2, host, port, protocol, facility, CA certificates as PEM text); an empty
// host removes the collector.
struct SyslogParams : Params {
  static const MemberRules& rules();
  Number slot;
  std::string host;
  std::string port;
  std::string protocol;
  std::string facility;
  std::string ca;
};

// Log forwarding: a test message to collector `syslog.slot`.
struct SyslogSlotParams : Params {
  static const MemberRules& rules();
  Number slot;
};

}  // namespace korvan
