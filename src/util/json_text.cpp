#include "util/json_text.h"

#include <json/json.h>

#include <algorithm>
#include <cstring>
#include <utility>

std::string escapeMarkup(std::string_view json) {
  std::string out;
  out.reserve(json.size());
  for (size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (c == '<') {
      out += "\\u003c";
    } else if (c == '>') {
      out += "\\u003e";
    } else if (c == '&') {
      out += "\\u0026";
    } else if (c == '\xE2' && i + 2 < json.size() && json[i + 1] == '\x80' &&
               (json[i + 2] == '\xA8' || json[i + 2] == '\xA9')) {
      out += json[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

namespace korvan {

namespace {

// The bytes the compact writer copies into a string as they are and
// escapeMarkup leaves alone: printable ASCII other than the quote, the
// backslash and the markup characters.
struct PlainBytes {
  bool plain[256] = {};
  constexpr PlainBytes() {
    for (int c = 0x20; c <= 0x7e; ++c)
      plain[c] = c != '"' && c != '\\' && c != '<' && c != '>' && c != '&';
  }
};
constexpr PlainBytes kPlainBytes;

bool isPlain(const char* begin, const char* end) {
  for (const char* p = begin; p != end; ++p) {
    if (!kPlainBytes.plain[static_cast<unsigned char>(*p)]) return false;
  }
  return true;
}

}  // namespace

void JsonTextBuilder::grow(size_t size) {
  // Left uninitialized: every byte up to size_ is written before it is read.
  capacity_ = std::max(2 * capacity_, size_ + size + 4096);
  std::unique_ptr<char[]> larger(new char[capacity_]);
  if (size_ > 0) std::memcpy(larger.get(), text_.get(), size_);
  text_ = std::move(larger);
}

void JsonTextBuilder::appendString(const char* begin, const char* end) {
  appendMember({}, begin, end);
}

void JsonTextBuilder::appendMember(std::string_view prefix, const char* begin, const char* end) {
  const size_t length = static_cast<size_t>(end - begin);
  if (!isPlain(begin, end)) {
    std::string quoted(prefix);
    appendJsonString(begin, end, quoted);
    append(quoted);
    return;
  }
  char* to = room(prefix.size() + length + 2);
  if (!prefix.empty()) std::memcpy(to, prefix.data(), prefix.size());
  to += prefix.size();
  to[0] = '"';
  if (length > 0) std::memcpy(to + 1, begin, length);
  to[length + 1] = '"';
}

void appendJsonString(const char* begin, const char* end, std::string& out) {
  if (isPlain(begin, end)) {
    // One copy, between the quotes: this runs for nearly every cell of a
    // large list.
    const size_t length = static_cast<size_t>(end - begin);
    const size_t at = out.size();
    out.resize(at + length + 2);
    char* to = &out[at];
    to[0] = '"';
    if (length > 0) std::memcpy(to + 1, begin, length);
    to[length + 1] = '"';
    return;
  }
  // Escapes, non-ASCII and markup are rare in a reply: the library's writer
  // quotes the one string, so its rules apply unchanged.
  Json::FastWriter writer;
  std::string quoted = writer.write(Json::Value(begin, end));
  quoted.pop_back();  // the writer's line feed
  out += escapeMarkup(quoted);
}

void appendJson(const Json::Value& value, std::string& out) {
  switch (value.type()) {
    case Json::nullValue:
      out += "null";
      break;
    case Json::intValue:
      out += Json::valueToString(value.asLargestInt());
      break;
    case Json::uintValue:
      out += Json::valueToString(value.asLargestUInt());
      break;
    case Json::realValue:
      out += Json::valueToString(value.asDouble());
      break;
    case Json::booleanValue:
      out += Json::valueToString(value.asBool());
      break;
    case Json::stringValue: {
      const char* begin = nullptr;
      const char* end = nullptr;
      if (value.getString(&begin, &end)) appendJsonString(begin, end, out);
      break;
    }
    case Json::arrayValue: {
      out += '[';
      // By index, as the library does: a missing element is written as null.
      const Json::ArrayIndex size = value.size();
      for (Json::ArrayIndex i = 0; i < size; ++i) {
        if (i > 0) out += ',';
        appendJson(value[i], out);
      }
      out += ']';
      break;
    }
    case Json::objectValue: {
      out += '{';
      // The members come in the order of the library's member-name list.
      for (auto it = value.begin(); it != value.end(); ++it) {
        if (it != value.begin()) out += ',';
        const char* end = nullptr;
        const char* name = it.memberName(&end);
        appendJsonString(name, end, out);
        out += ':';
        appendJson(*it, out);
      }
      out += '}';
      break;
    }
  }
}

void forEachMember(const Json::Value& doc, const JsonFragments& fragments,
                   const MemberVisitor& visit) {
  auto fragment = fragments.begin();
  const auto fragmentsBefore = [&](std::string_view name) {
    for (; fragment != fragments.end() && fragment->first < name; ++fragment) {
      visit(fragment->first, nullptr, &fragment->second);
    }
  };
  if (doc.isObject()) {
    for (auto it = doc.begin(); it != doc.end(); ++it) {
      const char* end = nullptr;
      const char* begin = it.memberName(&end);
      const std::string_view name(begin, static_cast<size_t>(end - begin));
      fragmentsBefore(name);
      // A member held both ways is written once, from its fragment.
      if (fragment != fragments.end() && fragment->first == name) continue;
      visit(name, &*it, nullptr);
    }
  }
  for (; fragment != fragments.end(); ++fragment) {
    visit(fragment->first, nullptr, &fragment->second);
  }
}

void writeJson(const Json::Value& doc, const JsonFragments& fragments, const TextSink& sink,
               std::string_view streamed,
               const std::function<void(const TextSink&)>& writeStreamed) {
  // The tree's members are gathered in a buffer; a fragment or the streamed
  // member goes to the sink between two buffers.
  std::string buffer;
  const bool streaming = !streamed.empty() && writeStreamed && doc.isObject();
  if (fragments.empty() && !streaming) {
    appendJson(doc, buffer);
  } else {
    buffer += '{';
    bool first = true;
    forEachMember(
        doc, fragments,
        [&](std::string_view name, const Json::Value* value, const std::string* fragment) {
          if (!first) buffer += ',';
          first = false;
          appendJsonString(name.data(), name.data() + name.size(), buffer);
          buffer += ':';
          if (value != nullptr && !(streaming && name == streamed)) {
            appendJson(*value, buffer);
            return;
          }
          sink(buffer);
          buffer.clear();
          if (value != nullptr) {
            writeStreamed(sink);
          } else {
            sink(*fragment);
          }
        });
    buffer += '}';
  }
  buffer += '\n';
  sink(buffer);
}

}  // namespace korvan
