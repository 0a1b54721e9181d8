#include "util/members.h"

#include "util/myerr.h"

namespace korvan {

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

const Json::Value& member(const Json::Value& parent, const char* name) {
  const Json::Value* found = findMember(parent, {name});
  return found != nullptr ? *found : Json::Value::nullSingleton();
}

std::string textOf(const Json::Value& value) {
  switch (value.type()) {
    case Json::nullValue:
      return "";
    case Json::booleanValue:
      return value.asBool() ? "true" : "false";
    case Json::arrayValue:
    case Json::objectValue:
      throw CMyErr(CMyErr::err, "invalid request: a list or object where a value belongs");
    default:
      return value.asString();
  }
}

std::string memberText(const Json::Value& doc, MemberPath path) {
  const Json::Value* value = findMember(doc, path);
  if (value == nullptr) return "";
  if (value->isArray() || value->isObject()) {
    throw CMyErr(CMyErr::err, pathText(path) + " is not text");
  }
  return textOf(*value);
}

std::string memberString(const Json::Value& doc, MemberPath path) {
  const Json::Value* value = findMember(doc, path);
  if (value == nullptr || !value->isString()) {
    throw CMyErr(CMyErr::err, pathText(path) + " must be a JSON string");
  }
  return value->asString();
}

}  // namespace korvan
