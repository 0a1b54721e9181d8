// Reading request members without changing the request. The request is a
// parsed browser document: a parameter object may be missing or of the wrong
// kind, and reading it must neither add members nor trip the JSON library's
// type assertions.
#pragma once

#include <json/json.h>

#include <string>

namespace korvan {

// Member `name` of `parent`; a null value when `parent` is not an object or
// has no such member.
const Json::Value& member(const Json::Value& parent, const char* name);

// The text form of member `name` of `parent` (CAction::textOf: a missing
// member is the empty text; an array or object is refused with CMyErr(err)).
std::string memberText(const Json::Value& parent, const char* name);

}  // namespace korvan
