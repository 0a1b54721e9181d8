#include "cgi/reply.h"

#include <cstdio>

#include "cgi/cgic.h"

namespace {

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
      if (value.getString(&begin, &end)) korvan::appendJsonString(begin, end, out);
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
        korvan::appendJsonString(name, end, out);
        out += ':';
        appendCompact(*it, out);
      }
      out += '}';
      break;
    }
  }
}

}  // namespace

void forEachMember(const Json::Value& reply, const korvan::JsonFragments& fragments,
                   const MemberVisitor& visit) {
  auto fragment = fragments.begin();
  const auto fragmentsBefore = [&](std::string_view name) {
    for (; fragment != fragments.end() && fragment->first < name; ++fragment) {
      visit(fragment->first, nullptr, &fragment->second);
    }
  };
  if (reply.isObject()) {
    for (auto it = reply.begin(); it != reply.end(); ++it) {
      const char* end = nullptr;
      const char* begin = it.memberName(&end);
      const std::string_view name(begin, static_cast<size_t>(end - begin));
      fragmentsBefore(name);
      // A member held both ways is written once, from its fragment.
      if (fragment != fragments.end() && fragment->first == name) continue;
      visit(name, &*it, nullptr);
    }
  }
  for (; fragment != fragments.end(); ++fragment)
    visit(fragment->first, nullptr, &fragment->second);
}

namespace {

// Hands the reply's text to `sink` in pieces: the tree's members gathered in
// a buffer, each fragment as it stands, so that the large lists are never
// copied.
void emitReply(const Json::Value& reply, const korvan::JsonFragments& fragments,
               const TextSink& sink) {
  std::string buffer;
  if (fragments.empty()) {
    appendCompact(reply, buffer);
  } else {
    buffer += '{';
    bool first = true;
    forEachMember(
        reply, fragments,
        [&](std::string_view name, const Json::Value* value, const std::string* fragment) {
          if (!first) buffer += ',';
          first = false;
          korvan::appendJsonString(name.data(), name.data() + name.size(), buffer);
          buffer += ':';
          if (value != nullptr) {
            appendCompact(*value, buffer);
            return;
          }
          sink(buffer);
          buffer.clear();
          sink(*fragment);
        });
    buffer += '}';
  }
  buffer += '\n';
  sink(buffer);
}

}  // namespace

std::string replyText(const Json::Value& reply, const korvan::JsonFragments& fragments) {
  std::string text;
  emitReply(reply, fragments, [&text](std::string_view piece) { text.append(piece); });
  return text;
}

void writeJsonReply(const Json::Value& reply, const korvan::JsonFragments& fragments) {
  emitReply(reply, fragments,
            [](std::string_view piece) { fwrite(piece.data(), 1, piece.size(), cgiOut); });
  fputs(" \n", cgiOut);
}

void setErrorReply(Json::Value& reply, const CMyErr& error) {
  static const char* const kRet[] = {"err", "lockErr", "warning", "armErr"};
  int kind = static_cast<int>(error.type);
  reply["ret"] = kind >= 0 && kind <= 3 ? kRet[kind] : "err";
  reply["retMsg"] = error.what();
}
