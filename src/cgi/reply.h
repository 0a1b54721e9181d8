// Writing the JSON reply of an AJAX call.
#pragma once

#include <json/json.h>

#include "store/myerr.h"

// Writes `reply` with the compact writer (one line, then a line feed) and the
// trailing " \n" to cgiOut. The response header must already be written.
void writeJsonReply(const Json::Value& reply);

// Sets `ret` and `retMsg` of `reply` from a CMyErr: err -> "err",
// lockErr -> "lockErr", warning -> "warning", armErr -> "armErr".
void setErrorReply(Json::Value& reply, const CMyErr& error);
