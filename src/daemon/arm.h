// CArm: the link to the switch daemon. One TCP connection per request process,
// opened by cnn() (through initArmCnn for the request types that need it) and
// closed only by the process exit. Each operation sends one request packet
// (CSendPak) and judges its reply (CRecvPak); failures are thrown as CMyErr.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"

// The daemon's address, "127.0.0.1". Its port is korvan::armPort() (5555).
extern const char* const szArmIP;

class CArm {
 public:
  // The connection to the daemon; -1 before cnn() and after a failed cnn().
  static int socketCnn;

  // Creates the socket and connects it with a one-second limit. Throws
  // CMyErr(armErr) "arm connect timeout" or "arm connect error:<text>".
  static void cnn();

  // Each sends its packet on socketCnn and reads the reply; see CSendPak and
  // CRecvPak for the members read and the failures.
  static void setTime(Json::Value& jsIData, Json::Value& jsOData);          // type 3
  static void restart(Json::Value& jsIData, Json::Value& jsOData);          // type 5
  static void setServerIP(Json::Value& jsIData, Json::Value& jsOData);      // type 2
  static void setDogUID(Json::Value& jsIData, Json::Value& jsOData);        // type 8
  static void setDogCodeFrame(Json::Value& jsIData, Json::Value& jsOData);  // type 9
  static void setDogNM(Json::Value& jsIData, Json::Value& jsOData);         // type 7
  // Type 1, for the caller (name, id, address). On success jsOData["qt"]
  // holds the session parameters.
  static void qt(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);
};

// Opens the daemon connection (CArm::cnn) when `type` is "updServer",
// "updDog", "qt", "restart" or "setTime"; does nothing for any other type.
void initArmCnn(std::string type);
