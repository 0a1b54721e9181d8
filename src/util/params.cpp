#include "util/params.h"

#include <cstring>

#include "util/myerr.h"
#include "util/number.h"

namespace korvan {

namespace {

[[noreturn]] void refuse(const std::string& path, const char* what) {
  throw CMyErr(CMyErr::err, "invalid request: " + path + what);
}

bool isText(const Json::Value& value) { return !value.isArray() && !value.isObject(); }

bool isNestedObject(const MemberRules& rules, const std::string& path) {
  for (const MemberRule& rule : rules) {
    if (rule.type == MemberType::object && path == rule.path) return true;
  }
  return false;
}

// Every member of the object at `path` is text, or an object that a rule
// names (checked the same way).
void checkObject(const Json::Value& object, const std::string& path, const MemberRules& rules) {
  for (const std::string& name : object.getMemberNames()) {
    const std::string inner = path + "." + name;
    const Json::Value& value = object[name];
    if (isNestedObject(rules, inner)) {
      if (!value.isObject()) refuse(inner, " is not an object");
      checkObject(value, inner, rules);
    } else if (!isText(value)) {
      refuse(inner, " is not text");
    }
  }
}

// The top-level rules of one list: texts first, then objects with their
// members, as the dispatcher has always checked them.
void checkTopLevel(const Json::Value& request, const MemberRules& rules,
                   const MemberRules& nested) {
  for (const MemberRule& rule : rules) {
    if (rule.type != MemberType::text || std::strchr(rule.path, '.') != nullptr) continue;
    if (request.isMember(rule.path) && !isText(request[rule.path])) refuse(rule.path, " is not text");
  }
  for (const MemberRule& rule : rules) {
    if (rule.type != MemberType::object || std::strchr(rule.path, '.') != nullptr) continue;
    if (!request.isMember(rule.path)) continue;
    const Json::Value& value = request[rule.path];
    if (!value.isObject()) refuse(rule.path, " is not an object");
    checkObject(value, rule.path, nested);
  }
}

// The member at dotted `path`, or nullptr when a step is missing or no object.
const Json::Value* find(const Json::Value& doc, const char* path) {
  const Json::Value* at = &doc;
  const char* start = path;
  while (true) {
    const char* dot = std::strchr(start, '.');
    const std::string name = dot ? std::string(start, dot) : std::string(start);
    if (!at->isObject()) return nullptr;
    at = at->find(name.data(), name.data() + name.size());
    if (at == nullptr || dot == nullptr) return at;
    start = dot + 1;
  }
}

const char* ownName(const char* path) {
  const char* dot = std::strrchr(path, '.');
  return dot ? dot + 1 : path;
}

}  // namespace

const Json::Value Params::null_;

namespace detail {

void assign(std::string& field, const Json::Value* member) {
  field = member != nullptr ? textOf(*member) : std::string();
}

void assign(std::optional<std::string>& field, const Json::Value* member) {
  if (member != nullptr) {
    field = textOf(*member);
  } else {
    field.reset();
  }
}

void assign(Number& field, const Json::Value* member) {
  const std::string text = member != nullptr ? textOf(*member) : std::string();
  if (isWholeNumber(text)) {
    field = leadingInteger(text);
  } else {
    field.reset();
  }
}

void assign(Json::Value& field, const Json::Value* member) {
  field = member != nullptr ? *member : Json::Value();
}

}  // namespace detail

const MemberRules& commonRules() {
  static const MemberRules rules = {
      {"type", MemberType::text, false, false, "the request type"},
      {"userID", MemberType::text, false, false, "the caller's user id (login reply)",
       field<&Params::userId>()},
      {"token", MemberType::text, false, false, "the caller's session token (login reply)"},
      {"userNM", MemberType::text, false, false, "user name (login)"},
      {"pw", MemberType::text, false, false, "password (login)"},
      {"timezone", MemberType::text, false, false, "minutes from UTC (login, setTime)"},
      {"serverIP", MemberType::text, false, false, "the address the browser reached",
       field<&Params::serverIp>()},
      {"time2", MemberType::text, false, false, "local date-time (setTime)"},
      {"language", MemberType::text, false, false, "UI language code (saveLanguage)"},
      {"user", MemberType::object, false, false, "the session: id and token"},
      {"user.id", MemberType::text, false, false, "the caller's user id", field<&Params::sessionId>()},
      {"user.token", MemberType::text, false, false, "the caller's session token",
       field<&Params::sessionToken>()},
  };
  return rules;
}

void Params::decode(const MemberRules& rules, const Json::Value& request) {
  document_ = &request;
  numberRefusal_.reset();
  // A document the reader built nothing from has no members to check; its
  // numbers are all missing.
  if (!request.isNull()) {
    if (!request.isObject()) refuse("the document", " is not an object");
    MemberRules nested = commonRules();
    nested.insert(nested.end(), rules.begin(), rules.end());
    checkTopLevel(request, commonRules(), nested);
    checkTopLevel(request, rules, nested);
  }
  // The shapes passed: every text member is text and every object an object.
  for (const MemberRules* list : {&commonRules(), &rules}) {
    for (const MemberRule& rule : *list) {
      if (rule.fill != nullptr) rule.fill(*this, find(request, rule.path));
    }
  }
  for (const MemberRule& rule : rules) {
    if (!rule.number) continue;
    const Json::Value* value = find(request, rule.path);
    if (value == nullptr ? rule.required : !isWholeNumber(textOf(*value))) {
      numberRefusal_ = std::string("invalid number: ") + ownName(rule.path);
      break;
    }
  }
}

void Params::checkNumbers() const {
  if (numberRefusal_) throw CMyErr(CMyErr::err, *numberRefusal_);
}

bool isWholeNumber(const std::string& text) {
  size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
  if (at == text.size()) return false;
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
  }
  return true;
}

}  // namespace korvan
