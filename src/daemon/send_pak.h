// CSendPak: builds request packets for the switch daemon and writes each with
// one send on the daemon connection. The layouts are those of daemon/packets.h.
//
// Every builder takes (socketCnn, jsIData, jsOData): the daemon connection, the
// request document and the reply document. Builders only read jsIData; they
// never write jsOData. Members are read as util/members.h describes; a
// member of the wrong shape throws CMyErr(err) before anything is sent. A
// failed write throws CMyErr(armErr, "arm write error:<text>").
#pragma once

#include <json/json.h>

#include <string>

#include "daemon/packets.h"
#include "util/caller.h"

class CSendPak {
 public:
  using Pak = korvan::pak::Head;
  using PakQT = korvan::pak::QTRequest;
  using PakServerIP = korvan::pak::ServerIPRequest;
  using PakTime = korvan::pak::TimeRequest;
  using PakRestart = korvan::pak::RestartRequest;
  using PakDogNM = korvan::pak::DogNMRequest;
  using PakDogUID = korvan::pak::DogUIDRequest;
  using PakDogCodeFrame = korvan::pak::DogCodeFrameRequest;

  // Zero-fills `size2` bytes at `pPak2` and writes the common header:
  // 0xA4, (size2 & 0xFF) - 2, type.
  static void beginPak(void* pPak2, int size2, int type);

  // Type 1, KVM session request: dogPara.id must be a JSON string, dogPara.uid
  // is read as text; the user's name, id and address are the caller's.
  static void qt(int socketCnn, const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);
  // Type 2, server network settings: server.ip, .gateway, .subnetMask, .portWeb.
  static void serverIP(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
  // Type 3, set clock: time2, a local "YYYY-MM-DD HH:MM:SS" text.
  static void time2(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
  // Type 5, restart: no members.
  static void restart(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
  // Type 7, console module name: dogPara.id (port byte), dogPara.nm.
  static void dogNM(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
  // Type 8, console module identity: dogPara.portID, dogPara.uid.
  static void dogUID(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
  // Type 9, code and frame: dogPara.portID; dogPara.code and dogPara.frame must
  // be JSON strings.
  static void dogCodeFrame(int socketCnn, Json::Value& jsIData, Json::Value& jsOData);
};
