#include "util/request_params.h"

namespace korvan {

namespace {

constexpr MemberType kText = MemberType::text;
constexpr MemberType kObject = MemberType::object;

// A number member: its absence fails as a malformed number does.
MemberRule number(const char* path, const char* meaning) {
  return {path, kText, true, true, meaning};
}

}  // namespace

const MemberRules& NoParams::rules() {
  static const MemberRules rules;
  return rules;
}

const MemberRules& LoginParams::rules() {
  static const MemberRules rules = {
      {"userNM", kText, false, false, "user name (at most 64 bytes)"},
      {"pw", kText, false, false, "password"},
      {"timezone", kText, false, false, "the browser's minutes from UTC, stored for the user"},
  };
  return rules;
}

const MemberRules& SetTimeParams::rules() {
  static const MemberRules rules = {
      {"time2", kText, false, false, "the new local date-time"},
      {"timezone", kText, false, false, "minutes from UTC"},
  };
  return rules;
}

const MemberRules& LanguageParams::rules() {
  static const MemberRules rules = {
      {"language", kText, false, false, "UI language code: letters, digits, - and _, at most 16"},
  };
  return rules;
}

const MemberRules& UnlockUserParams::rules() {
  static const MemberRules rules = {
      {"userNM", kText, false, false, "the locked-out user name"},
  };
  return rules;
}

const MemberRules& KvmParams::rules() {
  static const MemberRules rules = {
      {"dogPara", kObject, false, false, "the console module"},
      number("dogPara.id", "module id"),
      {"dogPara.uid", kText, false, false, "module uid; must match the stored module's when sent"},
      {"dogPara.type2", kText, false, false, "module kind (2: serial)"},
      {"dogPara.code", kText, false, false, "video quality"},
      {"dogPara.frame", kText, false, false, "frame rate"},
      {"server", kObject, false, false, "where the session connects"},
      {"server.netIP", kObject, false, false, "the address object"},
      {"server.netIP.ip", kText, false, false, "address"},
      {"server.netPort", kObject, false, false, "the port object"},
      {"server.netPort.portKM", kText, false, false, "keyboard and mouse (serial) port"},
      {"server.netPort.portV", kText, false, false, "video port"},
  };
  return rules;
}

const MemberRules& LogQueryParams::rules() {
  static const MemberRules rules = {
      {"logCondition", kObject, false, false, "the query"},
      {"logCondition.limit", kText, false, false, "records per page, 1-1000"},
      {"logCondition.before", kText, false, false, "only records older than this id"},
      {"logCondition.type", kText, false, false, "record type"},
      {"logCondition.user", kText, false, false, "user name"},
      {"logCondition.timeBegin", kText, false, false, "earliest date-time"},
      {"logCondition.timeEnd", kText, false, false, "latest date-time"},
  };
  return rules;
}

const MemberRules& IpListParams::rules() {
  static const MemberRules rules = {
      {"ipsPara", kObject, false, false, "the change of the web access list"},
      {"ipsPara.action", kText, false, false, "add, modify, delete or the list type"},
      {"ipsPara.type", kText, false, false, "0 refused addresses, 1 allowed addresses"},
      {"ipsPara.oldIP", kText, false, false, "address changed or removed"},
      {"ipsPara.newIP", kText, false, false, "address added"},
  };
  return rules;
}

const MemberRules& ServerIpListParams::rules() {
  static const MemberRules rules = {
      {"serveripsPara", kObject, false, false, "the change of the KVM access list"},
      {"serveripsPara.action", kText, false, false, "add, modify, delete or the list type"},
      {"serveripsPara.type", kText, false, false, "0 refused addresses, 1 allowed addresses"},
      {"serveripsPara.oldIP", kText, false, false, "address changed or removed"},
      {"serveripsPara.newIP", kText, false, false, "address added"},
  };
  return rules;
}

const MemberRules& SerialParams::rules() {
  static const MemberRules rules = {
      {"serialPara", kObject, false, false, "the serial console"},
      {"serialPara.dogID", kText, false, false, "module id"},
      {"serialPara.action", kText, false, false, "cap (capture) or uncap (release)"},
  };
  return rules;
}

const MemberRules& SlotParams::rules() {
  static const MemberRules rules = {
      {"dogInfoPara", kObject, false, false, "the console slot"},
      {"dogInfoPara.id", kText, false, false, "slot id"},
  };
  return rules;
}

const MemberRules& ServerParams::rules() {
  static const MemberRules rules = {
      {"server", kObject, false, false, "the network settings"},
      {"server.ip", kText, false, false, "address"},
      {"server.subnetMask", kText, false, false, "subnet mask"},
      {"server.gateway", kText, false, false, "gateway"},
      number("server.encrypt", "encryption on (1) or off (0)"),
      number("server.portKM", "keyboard and mouse port"),
      number("server.portV", "video port"),
      number("server.portWeb", "web port"),
  };
  return rules;
}

const MemberRules& ModuleParams::rules() {
  static const MemberRules rules = {
      {"dogPara", kObject, false, false, "the console module"},
      number("dogPara.id", "module id"),
      {"dogPara.uid", kText, false, false, "module uid (set in factory mode)"},
      {"dogPara.nm", kText, false, false, "display name"},
      number("dogPara.portID", "switch port"),
      number("dogPara.sm", "share mode"),
      number("dogPara.code", "video quality"),
      number("dogPara.frame", "frame rate"),
  };
  return rules;
}

const MemberRules& GroupParams::rules() {
  static const MemberRules rules = {
      {"priv", kObject, false, false, "the user group"},
      number("priv.id", "group id"),
      {"priv.nm", kText, false, false, "group name"},
      {"priv.dogDB", kText, false, false, "default console rights, one digit per slot"},
  };
  return rules;
}

const MemberRules& UserUpdateParams::rules() {
  static const MemberRules rules = {
      {"userPara", kObject, false, false,
       "the user; members named as its stored columns (memo, email, phone, ...) are stored"},
      number("userPara.id", "user id"),
      {"userPara.nm", kText, false, false, "user name"},
      {"userPara.setPW", kText, false, false, "\"yes\" when the password changes"},
      {"userPara.pw", kText, false, false, "new password"},
      {"userPara.oldPw", kText, false, false, "current password (own password change)"},
      number("userPara.pid", "group id"),
      number("userPara.prior", "priority: low, middle, high"),
      {"userPara.dogDB", kText, false, false, "console rights, one digit per slot"},
  };
  return rules;
}

const MemberRules& NewUserParams::rules() {
  static const MemberRules rules = {
      {"userPara", kObject, false, false, "the new user"},
      {"userPara.nm", kText, false, false, "user name"},
      {"userPara.pw", kText, false, false, "password"},
      number("userPara.pid", "group id"),
      number("userPara.prior", "priority: low, middle, high"),
      {"userPara.dogDB", kText, false, false, "console rights, one digit per slot"},
  };
  return rules;
}

const MemberRules& UserRemovalParams::rules() {
  static const MemberRules rules = {
      {"userPara", kObject, false, false, "the user"},
      number("userPara.id", "user id"),
  };
  return rules;
}

}  // namespace korvan
