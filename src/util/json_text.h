// The program's one JSON writer: compact JSON text as the replies, the
// operation log and the snapshot's lists carry it, byte for byte what the
// library's compact writer (Json::FastWriter) gives, made safe to embed in a
// page (escapeMarkup). Whole documents, documents streamed piece by piece,
// single values and single strings all go through the functions here.
#pragma once

#include <json/json.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "util/sink.h"

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

// A text built by appending to its end, for the many small pieces of a
// large list: room is made in large steps, so that a piece costs one copy
// rather than a call into the string library.
class JsonTextBuilder {
 public:
  void append(const char* data, size_t size) {
    if (size > 0) std::memcpy(room(size), data, size);
  }
  void append(std::string_view piece) { append(piece.data(), piece.size()); }
  void append(char c) { *room(1) = c; }
  // Appends the text [begin, end) as appendJsonString() does.
  void appendString(const char* begin, const char* end);
  // Appends `prefix` as it stands, then the text [begin, end) as
  // appendString() does: a member's name and value in one step.
  void appendMember(std::string_view prefix, const char* begin, const char* end);
  size_t size() const { return size_; }
  const char* data() const { return text_.get(); }

 private:
  char* room(size_t size) {
    if (capacity_ - size_ < size) grow(size);
    char* at = text_.get() + size_;
    size_ += size;
    return at;
  }
  void grow(size_t size);

  std::unique_ptr<char[]> text_;  // its first size_ bytes are the text
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// Members of a reply object whose values are held as finished text: each
// value is the compact writer's text of that member's value, passed through
// escapeMarkup. Large lists are read straight into this form, without a tree.
using JsonFragments = std::map<std::string, std::string>;

// Appends the compact writer's text of `value` (without its closing line
// feed), passed through escapeMarkup: the same walk and the same scalar
// texts as the library's, without its per-value strings.
void appendJson(const Json::Value& value, std::string& out);

// Calls `visit` for every member of the object `doc` (nothing when it is not
// an object) and of `fragments`, in the order in which the compact writer
// writes an object's members; a member held both ways comes once, from its
// fragment. `visit` gets the name and either the tree value or the fragment.
using MemberVisitor = std::function<void(std::string_view name, const Json::Value* value,
                                         const std::string* fragment)>;
void forEachMember(const Json::Value& doc, const JsonFragments& fragments,
                   const MemberVisitor& visit);

// Hands `sink` the text of `doc` as appendJson() writes it, followed by a line
// feed. With `fragments`, `doc` (an object, or null for none) is written as if
// it also held those members, each with the value its fragment is the text
// of; fragments go to `sink` as they stand, never copied. When `streamed`
// names a member of `doc`, `writeStreamed` writes that member's value to the
// sink in its place (the tree's value is not looked at), so that a member too
// large to hold goes out while it is read.
void writeJson(const Json::Value& doc, const JsonFragments& fragments, const TextSink& sink,
               std::string_view streamed = {},
               const std::function<void(const TextSink&)>& writeStreamed = {});

}  // namespace korvan
