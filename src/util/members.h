// Reading the members of a request document without changing it: the one
// reader of request members for the handlers, the actions and the daemon
// packets.
//
// A request is a parsed browser document, so a member may be missing or of
// any type. The dispatcher checks the types of the members each request type
// reads before any handler runs (util/params.h); these readers keep the
// rest safe regardless: they never add members to the document and never trip
// the JSON library's type assertions, and a member of the wrong shape ends the
// request with an orderly CMyErr(err) naming it.
//
// The text form of a value is how values are compared, logged, written and
// sent: a string is itself, null or missing the empty text, a number its
// decimal text, a boolean "true" or "false". An array or object has none.
#pragma once

#include <json/json.h>

#include <initializer_list>
#include <string>

namespace korvan {

// A member path such as {"dogPara", "nm"}: one name per level.
using MemberPath = std::initializer_list<const char*>;

// The member at `path` below `doc`, or nullptr when some step is missing or
// is not an object.
const Json::Value* findMember(const Json::Value& doc, MemberPath path);

// Member `name` of `parent`; a null value when `parent` is not an object or
// has no such member.
const Json::Value& member(const Json::Value& parent, const char* name);

// The text form of `value`. An array or object throws
// CMyErr(err, "invalid request: a list or object where a value belongs").
std::string textOf(const Json::Value& value);

// The text form of the member at `path`; "" when it is missing. An array or
// object throws CMyErr(err, "<path> is not text"), path as in "dogPara.nm".
std::string memberText(const Json::Value& doc, MemberPath path);

// The member at `path`, which must be a JSON string. Anything else, a missing
// member included, throws CMyErr(err, "<path> must be a JSON string").
std::string memberString(const Json::Value& doc, MemberPath path);

}  // namespace korvan
