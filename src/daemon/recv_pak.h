// CRecvPak: reads and judges the switch daemon's reply packets, with the
// ten-second limit of daemon/socket_io.h. The layouts are those of
// daemon/packets.h; the daemon's header bytes are not checked.
//
// Every reader takes (socketCnn, jsIData, jsOData). A reply that does not come
// within ten seconds, that comes short, or a connection closed instead of a
// reply, throws CMyErr(armErr) (see socketReadTimeout).
#pragma once

#include <json/json.h>

#include <string>

#include "daemon/packets.h"
#include "util/caller.h"

class CRecvPak {
 public:
  using PakSimple = korvan::pak::SimpleReply;
  using PakDog = korvan::pak::DogReply;
  using PakQT = korvan::pak::QTReply;

  // Reply to types 2, 3 and 5 (4 bytes): a non-zero byte 3 throws
  // CMyErr(armErr, "arm ack error,ret=1"), whatever its value.
  static void simple(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
  // Reply to types 7, 8 and 9 (5 bytes): judged on byte 4 alone, as simple().
  static void dog(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
  // Reply to type 1 (20 bytes). A refusal throws CMyErr(warning) with the
  // refusal text of its code ("4：this ip has session already"; codes above 7
  // give "<code>: unknown refusal"). A granted session stores in
  // jsOData["qt"] the compact JSON text of the session parameters: userID
  // and userNM of the caller, and from jsIData ip (server.netIP.ip), dogID
  // (dogPara.id), desEncode and desDecode (16 lower-case hex digits each), and
  // for a serial module (dogPara.type2 "2") portCOM (server.netPort.portKM),
  // otherwise priv "1", portV, portKM (server.netPort.*) and portMedia "5918".
  // Writes trace records 1942, 1960 and 1949 (refusal) or 1967 (granted).
  static void qt(int socketCnn, const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);

  // The refusal text of a KVM session reply code.
  static std::string refusalText(unsigned ret);
};
