#include "daemon/arm.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "daemon/recv_pak.h"
#include "daemon/send_pak.h"
#include "daemon/socket_io.h"
#include "util/paths.h"

const char* const szArmIP = "127.0.0.1";

int CArm::socketCnn = -1;

void CArm::cnn() {
  socketCnn = socket(AF_INET, SOCK_STREAM, 0);  // a failure shows as a bad descriptor below

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(korvan::armPort()));
  address.sin_addr.s_addr = inet_addr(szArmIP);
  try {
    socketConnectTimeout(socketCnn, &address, sizeof address);
  } catch (...) {
    socketCnn = -1;  // the socket is closed: no later operation may use its number
    throw;
  }
}

void CArm::setTime(Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::time2(socketCnn, jsIData, jsOData);
  CRecvPak::simple(socketCnn, jsIData, jsOData);
}

void CArm::restart(Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::restart(socketCnn, jsIData, jsOData);
  CRecvPak::simple(socketCnn, jsIData, jsOData);
}

void CArm::setServerIP(Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::serverIP(socketCnn, jsIData, jsOData);
  CRecvPak::simple(socketCnn, jsIData, jsOData);
}

void CArm::setDogUID(Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::dogUID(socketCnn, jsIData, jsOData);
  CRecvPak::dog(socketCnn, jsIData, jsOData);
}

void CArm::setDogCodeFrame(Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::dogCodeFrame(socketCnn, jsIData, jsOData);
  CRecvPak::dog(socketCnn, jsIData, jsOData);
}

void CArm::setDogNM(Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::dogNM(socketCnn, jsIData, jsOData);
  CRecvPak::dog(socketCnn, jsIData, jsOData);
}

void CArm::qt(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::qt(socketCnn, caller, jsIData, jsOData);
  CRecvPak::qt(socketCnn, caller, jsIData, jsOData);
}

void initArmCnn(std::string type) {
  if (type == "updServer" || type == "updDog" || type == "qt" || type == "restart" ||
      type == "setTime") {
    CArm::cnn();
  }
}
