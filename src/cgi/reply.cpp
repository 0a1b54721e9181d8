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

void writeJsonReply(const Json::Value& reply) {
  Json::FastWriter writer;
  std::string text = escapeMarkup(writer.write(reply));
  fprintf(cgiOut, "%s \n", text.c_str());
}

void setErrorReply(Json::Value& reply, const CMyErr& error) {
  static const char* const kRet[] = {"err", "lockErr", "warning", "armErr"};
  int kind = static_cast<int>(error.type);
  reply["ret"] = kind >= 0 && kind <= 3 ? kRet[kind] : "err";
  reply["retMsg"] = error.what();
}
