// Writing the JSON reply of an AJAX call.
#pragma once

#include <json/json.h>

#include <string>
#include <string_view>

#include "util/myerr.h"

// `json` with "<", ">" and "&" written as \u003c, \u003e, \u0026 and the
// line separators U+2028, U+2029 as \u2028, \u2029. In JSON text these
// characters occur only inside strings, where the escapes read back as the
// same characters: a JSON parser sees the same document, while a browser that
// takes the reply for HTML, or a script that embeds it, finds no markup in
// it. Works on any piece of a document that does not split a UTF-8 sequence,
// so a writer that streams a reply can run it over each piece.
std::string escapeMarkup(std::string_view json);

// The compact writer's text of `reply` (one line, then a line feed), passed
// through escapeMarkup: byte for byte escapeMarkup(Json::FastWriter().write(
// reply)), built in one pass.
std::string replyText(const Json::Value& reply);

// Writes `reply` with the compact writer (one line, then a line feed),
// passed through escapeMarkup, and the trailing " \n" to cgiOut. The
// response header must already be written.
void writeJsonReply(const Json::Value& reply);

// Sets `ret` and `retMsg` of `reply` from a CMyErr: err -> "err",
// lockErr -> "lockErr", warning -> "warning", armErr -> "armErr".
void setErrorReply(Json::Value& reply, const CMyErr& error);
