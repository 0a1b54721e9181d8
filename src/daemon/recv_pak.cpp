#include "daemon/recv_pak.h"

#include "daemon/socket_io.h"
#include "util/members.h"
#include "util/myerr.h"
#include "util/trace.h"

using korvan::memberText;

namespace {

template <typename Packet>
void readPacket(int socketCnn, Packet& packet) {
  socketReadTimeout(socketCnn, &packet, sizeof packet);
}

void judgeRet(uint8_t ret) {
  if (ret != 0) throw CMyErr(CMyErr::armErr, "arm ack error,ret=1");
}

}  // namespace

std::string CRecvPak::refusalText(unsigned ret) {
  // Codes 1 to 6 carry a full-width colon (U+FF1A) straight after the digit.
  static const char* const kTexts[] = {
      "0: null",
      "1\xEF\xBC\x9Aport has not console",
      "2\xEF\xBC\x9Aport's console's UID error",
      "3\xEF\xBC\x9Avideo channel error",
      "4\xEF\xBC\x9Athis ip has session already",
      "5\xEF\xBC\x9Athis user has session already",
      "6\xEF\xBC\x9Aprivilege error",
      "7: channel is full",
  };
  if (ret < sizeof kTexts / sizeof kTexts[0]) return kTexts[ret];
  return std::to_string(ret) + ": unknown refusal";
}

void CRecvPak::simple(int socketCnn, Json::Value&, Json::Value&) {
  PakSimple reply;
  readPacket(socketCnn, reply);
  judgeRet(reply.ret);
}

void CRecvPak::dog(int socketCnn, Json::Value&, Json::Value&) {
  PakDog reply;
  readPacket(socketCnn, reply);
  judgeRet(reply.ret);
}

void CRecvPak::qt(int socketCnn, const Caller& caller, Json::Value& jsIData, Json::Value& jsOData) {
  PakQT reply;
  readPacket(socketCnn, reply);
  setLog(1942, "after recv::qt socketReadTimeout");

  if (reply.ret != 0) {
    const std::string text = refusalText(reply.ret);
    setLog(1960, "CRecvPak::qt");
    setLog(1949, text.c_str());
    throw CMyErr(CMyErr::warning, text);
  }

  Json::Value session(Json::objectValue);
  if (memberText(jsIData, {"dogPara", "type2"}) == "2") {  // serial console module
    session["portCOM"] = memberText(jsIData, {"server", "netPort", "portKM"});
  } else {
    session["priv"] = "1";
    session["portV"] = memberText(jsIData, {"server", "netPort", "portV"});
    session["portKM"] = memberText(jsIData, {"server", "netPort", "portKM"});
    session["portMedia"] = "5918";
  }
  session["ip"] = memberText(jsIData, {"server", "netIP", "ip"});
  session["userID"] = caller.id;
  session["userNM"] = caller.name;
  session["dogID"] = memberText(jsIData, {"dogPara", "id"});
  setLog(1967, "after recv::qt 1111");

  session["desEncode"] = korvan::pak::hex8(reply.desEncode);
  session["desDecode"] = korvan::pak::hex8(reply.desDecode);
  Json::FastWriter writer;
  jsOData["qt"] = writer.write(session);
}
