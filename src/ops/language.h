// The UI language: the code the page shell writes into the language script,
// and the request that stores it.
#pragma once

#include <json/json.h>

#include <string>

#include "util/request_context.h"
#include "util/request_params.h"

// True when `code` may be stored as, and written into, the UI language: at
// most 16 characters, each a letter, digit, '-' or '_' (the empty code too).
// The page shell writes it into a shell command line and a script.
bool isSafeLanguageCode(const std::string& code);

// Stores the UI language the page shell loads next time. Only a safe code is
// stored (CMyErr(warning, "invalid language") otherwise); recorded as system
// "saveLanguage" of `caller` in the same transaction.
void onSaveLanguage(const RequestContext& context, const korvan::LanguageParams& params,
                    Json::Value& jsOData);
