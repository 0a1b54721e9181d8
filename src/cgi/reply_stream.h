// Writing a JSON reply piece by piece, for replies with a member too large to
// hold (the operation log of "selLog").
#pragma once

#include <json/json.h>

#include <functional>
#include <string>

#include "util/json_text.h"
#include "util/sink.h"

// Writes the compact JSON text of the object `reply`, with the members of
// `fragments` merged in as replyText() does, to `sink`, member by member,
// followed by the line feed: byte for byte what Json::FastWriter gives for
// the whole document. The member named `streamed`, which `reply` must hold
// (its value does not matter), is written by `writeStreamed` instead, which
// must hand `sink` that member's compact text. Tree members are written
// without escapeMarkup; fragments are handed over as they stand.
void writeCompactStreamed(const Json::Value& reply, const korvan::JsonFragments& fragments,
                          const std::string& streamed,
                          const std::function<void(const TextSink&)>& writeStreamed,
                          const TextSink& sink);
