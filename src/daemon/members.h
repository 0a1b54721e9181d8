// Reading the members of a request document that the daemon packets carry.
//
// Most members are read with the JSON library's string conversion, so a
// number works as well as a text and a missing member reads as "". A few
// members must be JSON strings. Either way a member of the wrong shape ends
// the request with an orderly CMyErr(err) naming the member, before any packet
// is sent, instead of an exception the dispatcher does not catch.
#pragma once

#include <json/json.h>

#include <initializer_list>
#include <string>

namespace korvan::daemon {

using MemberPath = std::initializer_list<const char*>;

// The member at `path` below `doc`, or nullptr when some step is missing or
// is not an object.
const Json::Value* findMember(const Json::Value& doc, MemberPath path);

// The member as text: "" when missing or null; strings, numbers and booleans
// as the library converts them. An array or object throws
// CMyErr(err, "<path> is not text"), path as in "dogPara.nm".
std::string memberText(const Json::Value& doc, MemberPath path);

// The member, which must be a JSON string. Anything else, a missing member
// included, throws CMyErr(err, "<path> must be a JSON string").
std::string memberString(const Json::Value& doc, MemberPath path);

}  // namespace korvan::daemon
