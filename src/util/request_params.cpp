#include "util/request_params.h"

namespace korvan {

namespace {

constexpr MemberType kText = MemberType::text;
constexpr MemberType kObject = MemberType::object;

// A number member: its absence fails as a malformed number does.
MemberRule number(const char* path, const char* meaning, FieldFill fill = nullptr) {
  return {path, kText, true, true, meaning, fill};
}

}  // namespace

const MemberRules& NoParams::rules() {
  static const MemberRules rules;
  return rules;
}

const MemberRules& LoginParams::rules() {
  static const MemberRules rules = {
      {"userNM", kText, false, false, "user name (at most 64 bytes)", field<&LoginParams::userName>()},
      {"pw", kText, false, false, "password", field<&LoginParams::password>()},
      {"timezone", kText, false, false, "the browser's minutes from UTC, stored for the user",
       field<&LoginParams::timezone>()},
      {"otp", kText, false, false,
       "the six-digit second-factor code, sent once a first answer said \"second factor code "
       "required\"",
       field<&LoginParams::otp>()},
  };
  return rules;
}

const MemberRules& TotpParams::rules() {
  static const MemberRules rules = {
      {"otp", kText, false, false, "the six-digit code of the seed being enrolled",
       field<&TotpParams::otp>()},
  };
  return rules;
}

const MemberRules& TotpResetParams::rules() {
  static const MemberRules rules = {
      number("id", "the user whose second factor is removed", field<&TotpResetParams::id>()),
  };
  return rules;
}

const MemberRules& SetTimeParams::rules() {
  static const MemberRules rules = {
      {"time2", kText, false, false, "the new local date-time", field<&SetTimeParams::time2>()},
      {"timezone", kText, false, false, "minutes from UTC", field<&SetTimeParams::timezone>()},
  };
  return rules;
}

const MemberRules& LanguageParams::rules() {
  static const MemberRules rules = {
      {"language", kText, false, false, "UI language code: letters, digits, - and _, at most 16",
       field<&LanguageParams::language>()},
  };
  return rules;
}

const MemberRules& UnlockUserParams::rules() {
  static const MemberRules rules = {
      {"userNM", kText, false, false, "the locked-out user name", field<&UnlockUserParams::userName>()},
  };
  return rules;
}

const MemberRules& KvmParams::rules() {
  static const MemberRules rules = {
      {"dogPara", kObject, false, false, "the console module"},
      number("dogPara.id", "module id", field<&KvmParams::moduleId>()),
      {"dogPara.uid", kText, false, false, "module uid; must match the stored module's when sent",
       field<&KvmParams::uid>()},
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

const MemberRules& SessionParams::rules() {
  static const MemberRules rules = {
      {"sessionPara", kObject, false, false, "the session"},
      number("sessionPara.id", "the id of the user whose session ends",
             field<&SessionParams::userId>()),
  };
  return rules;
}

const MemberRules& LogQueryParams::rules() {
  static const MemberRules rules = {
      {"logCondition", kObject, false, false, "the query"},
      {"logCondition.limit", kText, false, false, "records per page, 1-1000",
       field<&LogQueryParams::limit>()},
      {"logCondition.before", kText, false, false, "only records older than this id",
       field<&LogQueryParams::before>()},
      {"logCondition.type", kText, false, false, "record type", field<&LogQueryParams::type>()},
      {"logCondition.user", kText, false, false, "user name", field<&LogQueryParams::user>()},
      {"logCondition.timeBegin", kText, false, false, "earliest date-time",
       field<&LogQueryParams::timeBegin>()},
      {"logCondition.timeEnd", kText, false, false, "latest date-time",
       field<&LogQueryParams::timeEnd>()},
  };
  return rules;
}

const MemberRules& IpListParams::rules() {
  static const MemberRules rules = {
      {"ipsPara", kObject, false, false, "the change of the web access list"},
      {"ipsPara.action", kText, false, false, "add, modify, delete or the list type",
       field<&IpListParams::action>()},
      {"ipsPara.type", kText, false, false, "0 refused addresses, 1 allowed addresses",
       field<&IpListParams::type>()},
      {"ipsPara.oldIP", kText, false, false, "address changed or removed",
       field<&IpListParams::oldIP>()},
      {"ipsPara.newIP", kText, false, false, "address added", field<&IpListParams::newIP>()},
  };
  return rules;
}

const MemberRules& ServerIpListParams::rules() {
  static const MemberRules rules = {
      {"serveripsPara", kObject, false, false, "the change of the KVM access list"},
      {"serveripsPara.action", kText, false, false, "add, modify, delete or the list type",
       field<&ServerIpListParams::action>()},
      {"serveripsPara.type", kText, false, false, "0 refused addresses, 1 allowed addresses",
       field<&ServerIpListParams::type>()},
      {"serveripsPara.oldIP", kText, false, false, "address changed or removed",
       field<&ServerIpListParams::oldIP>()},
      {"serveripsPara.newIP", kText, false, false, "address added", field<&ServerIpListParams::newIP>()},
  };
  return rules;
}

const MemberRules& SerialParams::rules() {
  static const MemberRules rules = {
      {"serialPara", kObject, false, false, "the serial console"},
      {"serialPara.dogID", kText, false, false, "module id", field<&SerialParams::dogId>()},
      {"serialPara.action", kText, false, false, "cap (capture) or uncap (release)",
       field<&SerialParams::action>()},
  };
  return rules;
}

const MemberRules& SlotParams::rules() {
  static const MemberRules rules = {
      {"dogInfoPara", kObject, false, false, "the console slot"},
      {"dogInfoPara.id", kText, false, false, "slot id", field<&SlotParams::slotId>()},
  };
  return rules;
}

const MemberRules& ServerParams::rules() {
  static const MemberRules rules = {
      {"server", kObject, false, false, "the network settings", field<&ServerParams::server>()},
      {"server.ip", kText, false, false, "address", field<&ServerParams::ip>()},
      {"server.subnetMask", kText, false, false, "subnet mask", field<&ServerParams::subnetMask>()},
      {"server.gateway", kText, false, false, "gateway", field<&ServerParams::gateway>()},
      number("server.encrypt", "encryption on (1) or off (0)"),
      number("server.portKM", "keyboard and mouse port"),
      number("server.portV", "video port"),
      number("server.portWeb", "web port", field<&ServerParams::portWeb>()),
  };
  return rules;
}

const MemberRules& ModuleParams::rules() {
  static const MemberRules rules = {
      {"dogPara", kObject, false, false, "the console module", field<&ModuleParams::dogPara>()},
      number("dogPara.id", "module id", field<&ModuleParams::id>()),
      {"dogPara.uid", kText, false, false, "module uid (set in factory mode)",
       field<&ModuleParams::uid>()},
      {"dogPara.nm", kText, false, false, "display name", field<&ModuleParams::nm>()},
      number("dogPara.portID", "switch port", field<&ModuleParams::portID>()),
      number("dogPara.sm", "share mode"),
      number("dogPara.code", "video quality", field<&ModuleParams::code>()),
      number("dogPara.frame", "frame rate", field<&ModuleParams::frame>()),
  };
  return rules;
}

const MemberRules& GroupParams::rules() {
  static const MemberRules rules = {
      {"priv", kObject, false, false, "the user group", field<&GroupParams::priv>()},
      number("priv.id", "group id", field<&GroupParams::id>()),
      {"priv.nm", kText, false, false, "group name"},
      {"priv.dogDB", kText, false, false, "default console rights, one digit per slot",
       field<&Params::editedRights>()},
  };
  return rules;
}

const MemberRules& UserUpdateParams::rules() {
  static const MemberRules rules = {
      {"userPara", kObject, false, false,
       "the user; members named as its stored columns (memo, email, phone, ...) are stored",
       field<&UserUpdateParams::userPara>()},
      number("userPara.id", "user id", field<&UserUpdateParams::id>()),
      {"userPara.nm", kText, false, false, "user name"},
      {"userPara.setPW", kText, false, false, "\"yes\" when the password changes",
       field<&UserUpdateParams::setPW>()},
      {"userPara.pw", kText, false, false, "new password"},
      {"userPara.oldPw", kText, false, false, "current password (own password change)",
       field<&UserUpdateParams::oldPw>()},
      number("userPara.pid", "group id"),
      number("userPara.prior", "priority: low, middle, high"),
      {"userPara.dogDB", kText, false, false, "console rights, one digit per slot",
       field<&Params::editedRights>()},
  };
  return rules;
}

const MemberRules& NewUserParams::rules() {
  static const MemberRules rules = {
      {"userPara", kObject, false, false, "the new user", field<&NewUserParams::userPara>()},
      {"userPara.nm", kText, false, false, "user name"},
      {"userPara.pw", kText, false, false, "password"},
      number("userPara.pid", "group id"),
      number("userPara.prior", "priority: low, middle, high"),
      {"userPara.dogDB", kText, false, false, "console rights, one digit per slot",
       field<&Params::editedRights>()},
  };
  return rules;
}

const MemberRules& UserRemovalParams::rules() {
  static const MemberRules rules = {
      {"userPara", kObject, false, false, "the user", field<&UserRemovalParams::userPara>()},
      number("userPara.id", "user id", field<&UserRemovalParams::id>()),
      {"userPara.dogDB", kText, false, false, "console rights, one digit per slot (logged)",
       field<&Params::editedRights>()},
  };
  return rules;
}

const MemberRules& SyslogParams::rules() {
  static const MemberRules rules = {
      {"syslog", kObject, false, false, "a syslog collector", nullptr},
      number("syslog.slot", "collector 1 or 2", field<&SyslogParams::slot>()),
      {"syslog.host", kText, false, false, "host name or address; empty removes the collector",
       field<&SyslogParams::host>()},
      {"syslog.port", kText, false, false, "port, 1-65535", field<&SyslogParams::port>()},
      {"syslog.protocol", kText, false, false, "udp, tcp or tls", field<&SyslogParams::protocol>()},
      {"syslog.facility", kText, false, false,
       "facility of records other than access records: user, daemon, auth, authpriv, syslog, "
       "local0-local7",
       field<&SyslogParams::facility>()},
      {"syslog.ca", kText, false, false, "CA certificates as PEM text (tls)",
       field<&SyslogParams::ca>()},
  };
  return rules;
}

const MemberRules& SyslogSlotParams::rules() {
  static const MemberRules rules = {
      {"syslog", kObject, false, false, "a syslog collector", nullptr},
      number("syslog.slot", "collector 1 or 2", field<&SyslogSlotParams::slot>()),
  };
  return rules;
}

}  // namespace korvan
