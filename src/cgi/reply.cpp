#include "cgi/reply.h"

#include <cstdio>

#include "cgi/cgi_out.h"

std::string replyText(const Json::Value& reply, const korvan::JsonFragments& fragments) {
  std::string text;
  korvan::writeJson(reply, fragments, [&text](std::string_view piece) { text.append(piece); });
  return text;
}

void writeJsonReply(const Json::Value& reply, const korvan::JsonFragments& fragments) {
  korvan::writeJson(reply, fragments,
                    [](std::string_view piece) { fwrite(piece.data(), 1, piece.size(), cgiOut); });
  fputs(" \n", cgiOut);
}

void setErrorReply(Json::Value& reply, const CMyErr& error) {
  static const char* const kRet[] = {"err", "lockErr", "warning", "armErr"};
  int kind = static_cast<int>(error.type);
  reply["ret"] = kind >= 0 && kind <= 3 ? kRet[kind] : "err";
  reply["retMsg"] = error.what();
}
