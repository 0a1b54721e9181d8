// Writing the JSON reply of an AJAX call.
#pragma once

#include <json/json.h>

#include <functional>
#include <string>
#include <string_view>

#include "util/json_text.h"
#include "util/myerr.h"
#include "util/sink.h"

// The compact writer's text of `reply` (one line, then a line feed), passed
// through escapeMarkup: byte for byte escapeMarkup(Json::FastWriter().write(
// reply)), built in one pass. With `fragments`, `reply` (an object, or null
// for none) is written as if it also held those members, each with the value
// its fragment is the text of.
std::string replyText(const Json::Value& reply, const korvan::JsonFragments& fragments = {});

// Writes replyText(reply, fragments) and the trailing " \n" to cgiOut. The
// response header must already be written.
void writeJsonReply(const Json::Value& reply, const korvan::JsonFragments& fragments = {});

// Calls `visit` for every member of the object `reply` (nothing when it is
// not an object) and of `fragments`, in the order in which the compact writer
// writes an object's members; a member held both ways comes once, from its
// fragment. `visit` gets the name and either the tree value or the fragment.
using MemberVisitor = std::function<void(std::string_view name, const Json::Value* value,
                                         const std::string* fragment)>;
void forEachMember(const Json::Value& reply, const korvan::JsonFragments& fragments,
                   const MemberVisitor& visit);

// Sets `ret` and `retMsg` of `reply` from a CMyErr: err -> "err",
// lockErr -> "lockErr", warning -> "warning", armErr -> "armErr".
void setErrorReply(Json::Value& reply, const CMyErr& error);
