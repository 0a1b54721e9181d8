#include "cgi/reply.h"

#include <cstdio>

#include "cgi/cgic.h"

void writeJsonReply(const Json::Value& reply) {
  Json::FastWriter writer;
  std::string text = writer.write(reply);
  fprintf(cgiOut, "%s \n", text.c_str());
}

void setErrorReply(Json::Value& reply, const CMyErr& error) {
  static const char* const kRet[] = {"err", "lockErr", "warning", "armErr"};
  int kind = static_cast<int>(error.type);
  reply["ret"] = kind >= 0 && kind <= 3 ? kRet[kind] : "err";
  reply["retMsg"] = error.what();
}
