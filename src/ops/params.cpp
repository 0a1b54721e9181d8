#include "ops/params.h"

#include "actions/action.h"

namespace korvan {

const Json::Value& member(const Json::Value& parent, const char* name) {
  static const Json::Value kNull;
  if (!parent.isObject()) return kNull;
  const Json::Value* found = parent.find(name, name + std::char_traits<char>::length(name));
  return found != nullptr ? *found : kNull;
}

std::string memberText(const Json::Value& parent, const char* name) {
  return CAction::textOf(member(parent, name));
}

}  // namespace korvan
