#include "daemon/members.h"

#include "util/myerr.h"

namespace korvan::daemon {

namespace {

std::string pathText(MemberPath path) {
  std::string out;
  for (const char* step : path) {
    if (!out.empty()) out += '.';
    out += step;
  }
  return out;
}

}  // namespace

const Json::Value* findMember(const Json::Value& doc, MemberPath path) {
  const Json::Value* at = &doc;
  for (const char* step : path) {
    if (!at->isObject() || !at->isMember(step)) return nullptr;
    at = &(*at)[step];
  }
  return at;
}

std::string memberText(const Json::Value& doc, MemberPath path) {
  const Json::Value* value = findMember(doc, path);
  if (value == nullptr || value->isNull()) return "";
  if (value->isArray() || value->isObject()) {
    throw CMyErr(CMyErr::err, pathText(path) + " is not text");
  }
  return value->asString();
}

std::string memberString(const Json::Value& doc, MemberPath path) {
  const Json::Value* value = findMember(doc, path);
  if (value == nullptr || !value->isString()) {
    throw CMyErr(CMyErr::err, pathText(path) + " must be a JSON string");
  }
  return value->asString();
}

}  // namespace korvan::daemon
