// Compact JSON text as the replies carry it: the library's compact writer
// (Json::FastWriter) made safe to embed in a page.
#pragma once

#include <map>
#include <string>
#include <string_view>

// `json` with "<", ">" and "&" written as \u003c, \u003e, \u0026 and the
// line separators U+2028, U+2029 as \u2028, \u2029. In JSON text these
// characters occur only inside strings, where the escapes read back as the
// same characters: a JSON parser sees the same document, while a browser that
// takes the reply for HTML, or a script that embeds it, finds no markup in
// it. Works on any piece of a document that does not split a UTF-8 sequence,
// so a writer that streams a reply can run it over each piece. Applying it
// twice gives what applying it once gives.
std::string escapeMarkup(std::string_view json);

namespace korvan {

// Appends the text [begin, end) as the compact writer quotes a string (a
// member name or a string value), passed through escapeMarkup.
void appendJsonString(const char* begin, const char* end, std::string& out);

// Members of a reply object whose values are held as finished text: each
// value is the compact writer's text of that member's value, passed through
// escapeMarkup. Large lists are read straight into this form, without a tree.
using JsonFragments = std::map<std::string, std::string>;

}  // namespace korvan
