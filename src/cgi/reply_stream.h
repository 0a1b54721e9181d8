// Writing a JSON reply piece by piece, for replies with a member too large to
// hold (the operation log of "selLog").
#pragma once

#include <json/json.h>

#include <functional>
#include <string>

#include "util/json_text.h"
#include "util/sink.h"

// Writes the text of the object `reply`, with the members of `fragments`
// merged in, to `sink`, member by member, followed by the line feed: byte for
// byte what replyText() gives for the whole document, the tree's members
// passed through escapeMarkup as there and fragments handed over as they
// stand. The member named `streamed`, which `reply` must hold (its value does
// not matter), is written by `writeStreamed` instead, which must hand `sink`
// that member's compact text (korvan::writeJson).
void writeCompactStreamed(const Json::Value& reply, const korvan::JsonFragments& fragments,
                          const std::string& streamed,
                          const std::function<void(const TextSink&)>& writeStreamed,
                          const TextSink& sink);
