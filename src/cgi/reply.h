// Writing the JSON reply of an AJAX call.
#pragma once

#include <json/json.h>

#include <string>
#include <string_view>

#include "util/json_text.h"
#include "util/myerr.h"

// The compact writer's text of `reply` (one line, then a line feed), passed
// through escapeMarkup: byte for byte escapeMarkup(Json::FastWriter().write(
// reply)), written by korvan::writeJson with `fragments` merged in.
std::string replyText(const Json::Value& reply, const korvan::JsonFragments& fragments = {});

// Writes replyText(reply, fragments) and the trailing " \n" to cgiOut. The
// response header must already be written.
void writeJsonReply(const Json::Value& reply, const korvan::JsonFragments& fragments = {});

// Sets `ret` and `retMsg` of `reply` from a CMyErr: err -> "err",
// lockErr -> "lockErr", warning -> "warning", armErr -> "armErr".
void setErrorReply(Json::Value& reply, const CMyErr& error);
