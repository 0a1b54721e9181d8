#include "cgi/reply.h"

#include <cstdio>

#include "cgi/cgic.h"

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

namespace {

// True when the compact writer quotes `text` as it stands and escapeMarkup
// leaves it alone: printable ASCII other than the quote, the backslash and
// the markup characters.
bool isPlain(const char* begin, const char* end) {
  for (const char* p = begin; p != end; ++p) {
    const char c = *p;
    if (c < 0x20 || c > 0x7e || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&') {
      return false;
    }
  }
  return true;
}

void appendQuoted(const char* begin, const char* end, std::string& out) {
  if (isPlain(begin, end)) {
    out += '"';
    out.append(begin, end);
    out += '"';
    return;
  }
  // Escapes, non-ASCII and markup are rare in a reply: the library's writer
  // quotes the one string, so its rules apply unchanged.
  Json::FastWriter writer;
  std::string quoted = writer.write(Json::Value(begin, end));
  quoted.pop_back();  // the writer's line feed
  out += escapeMarkup(quoted);
}

// Appends what Json::FastWriter writes for `value` (without its closing line
// feed), the same walk and the same scalar conversions, but straight into
// `out`, without the member-name lists and per-value strings the library
// builds.
void appendCompact(const Json::Value& value, std::string& out) {
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
      if (value.getString(&begin, &end)) appendQuoted(begin, end, out);
      break;
    }
    case Json::arrayValue: {
      out += '[';
      // By index, as the library does: a missing element is written as null.
      const Json::ArrayIndex size = value.size();
      for (Json::ArrayIndex i = 0; i < size; ++i) {
        if (i > 0) out += ',';
        appendCompact(value[i], out);
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
        appendQuoted(name, end, out);
        out += ':';
        appendCompact(*it, out);
      }
      out += '}';
      break;
    }
  }
}

}  // namespace

std::string replyText(const Json::Value& reply) {
  std::string text;
  text.reserve(64 * 1024);  // a snapshot's size, so the text is rarely moved
  appendCompact(reply, text);
  text += '\n';
  return text;
}

void writeJsonReply(const Json::Value& reply) {
  const std::string text = replyText(reply);
  fwrite(text.data(), 1, text.size(), cgiOut);
  fputs(" \n", cgiOut);
}

void setErrorReply(Json::Value& reply, const CMyErr& error) {
  static const char* const kRet[] = {"err", "lockErr", "warning", "armErr"};
  int kind = static_cast<int>(error.type);
  reply["ret"] = kind >= 0 && kind <= 3 ? kRet[kind] : "err";
  reply["retMsg"] = error.what();
}
