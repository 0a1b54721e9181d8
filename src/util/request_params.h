// The parameters of each request type (util/params.h): the members it reads,
// as data (rules()), and typed readers of those the admission and the
// handlers use by name. The route table (cgi/routes.h) names the struct of
// each type; the admission decodes the document into it once and the
// handler receives it. The structs live at the lowest layer so that the
// handlers of every layer may take them.
#pragma once

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
};

struct SetTimeParams : Params {
  static const MemberRules& rules();
};

struct LanguageParams : Params {
  static const MemberRules& rules();
  std::string language() const { return text({"language"}); }
};

struct UnlockUserParams : Params {
  static const MemberRules& rules();
};

// A KVM session on the console module dogPara.id.
struct KvmParams : Params {
  static const MemberRules& rules();
  std::string dogId() const { return text({"dogPara", "id"}); }
};

struct LogQueryParams : Params {
  static const MemberRules& rules();
};

struct IpListParams : Params {
  static const MemberRules& rules();
};

struct ServerIpListParams : Params {
  static const MemberRules& rules();
};

// Capture or release of the serial console of serialPara.dogID.
struct SerialParams : Params {
  static const MemberRules& rules();
  std::string dogId() const { return text({"serialPara", "dogID"}); }
};

struct SlotParams : Params {
  static const MemberRules& rules();
};

struct ServerParams : Params {
  static const MemberRules& rules();
};

struct ModuleParams : Params {
  static const MemberRules& rules();
};

struct GroupParams : Params {
  static const MemberRules& rules();
};

// updUser, insUser and delUser: the user of userPara.
struct UserParams : Params {
  std::string userId() const { return text({"userPara", "id"}); }
  const Json::Value& userPara() const { return value({"userPara"}); }
};
struct UserUpdateParams : UserParams {
  static const MemberRules& rules();
};
struct NewUserParams : UserParams {
  static const MemberRules& rules();
};
struct UserRemovalParams : UserParams {
  static const MemberRules& rules();
};

}  // namespace korvan
