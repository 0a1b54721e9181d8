#include "daemon/send_pak.h"

#include "daemon/socket_io.h"
#include "util/members.h"
#include "util/tools.h"

using korvan::memberString;
using korvan::memberText;
namespace pak = korvan::pak;

namespace {

template <typename Packet>
void sendPacket(int socketCnn, const Packet& packet) {
  socketWriteAll(socketCnn, &packet, sizeof packet);
}

uint8_t portByte(const std::string& text) { return static_cast<uint8_t>(pak::wireInt(text)); }

}  // namespace

void CSendPak::beginPak(void* pPak2, int size2, int type) {
  pak::begin(pPak2, static_cast<size_t>(size2), static_cast<uint8_t>(type));
}

void CSendPak::qt(int socketCnn, const Caller& caller, Json::Value& jsIData, Json::Value&) {
  const std::string dogID = memberString(jsIData, {"dogPara", "id"});
  const std::string dogUID = memberText(jsIData, {"dogPara", "uid"});
  const std::string& userID = caller.id;
  const std::string& userNM = caller.name;
  const std::string& userIP = caller.address;

  PakQT packet;
  beginPak(&packet, sizeof packet, pak::kTypeQT);
  packet.dogID = portByte(dogID);
  pak::putText(packet.dogUID, dogUID);
  pak::putText(packet.userNM, userNM);
  pak::putAddr(packet.userIP, userIP);
  pak::putBE32(packet.priv, 1);
  pak::putBE32(packet.userID, static_cast<uint32_t>(pak::wireInt(userID)));
  sendPacket(socketCnn, packet);
}

void CSendPak::serverIP(int socketCnn, Json::Value& jsIData, Json::Value&) {
  const std::string ip = memberText(jsIData, {"server", "ip"});
  const std::string gateway = memberText(jsIData, {"server", "gateway"});
  const std::string subnetMask = memberText(jsIData, {"server", "subnetMask"});
  const std::string portWeb = memberText(jsIData, {"server", "portWeb"});

  PakServerIP packet;
  beginPak(&packet, sizeof packet, pak::kTypeServerIP);
  pak::putAddr(packet.ip, ip);
  pak::putAddr(packet.gateway, gateway);
  pak::putAddr(packet.subnetMask, subnetMask);
  pak::putBE32(packet.portWeb, static_cast<uint32_t>(pak::wireInt(portWeb)));
  sendPacket(socketCnn, packet);
}

void CSendPak::time2(int socketCnn, Json::Value& jsIData, Json::Value&) {
  const std::string text = memberText(jsIData, {"time2"});

  PakTime packet;
  beginPak(&packet, sizeof packet, pak::kTypeTime);
  pak::putBE32(packet.time2, static_cast<uint32_t>(time_strToSecs(text)));
  sendPacket(socketCnn, packet);
}

void CSendPak::restart(int socketCnn, Json::Value&, Json::Value&) {
  PakRestart packet;
  beginPak(&packet, sizeof packet, pak::kTypeRestart);
  packet.data = 0;
  sendPacket(socketCnn, packet);
}

void CSendPak::dogNM(int socketCnn, Json::Value& jsIData, Json::Value&) {
  const std::string id = memberText(jsIData, {"dogPara", "id"});
  const std::string nm = memberText(jsIData, {"dogPara", "nm"});

  PakDogNM packet;
  beginPak(&packet, sizeof packet, pak::kTypeDogNM);
  packet.port = portByte(id);
  pak::putText(packet.nm, nm);
  sendPacket(socketCnn, packet);
}

void CSendPak::dogUID(int socketCnn, Json::Value& jsIData, Json::Value&) {
  const std::string portID = memberText(jsIData, {"dogPara", "portID"});
  const std::string uid = memberText(jsIData, {"dogPara", "uid"});

  PakDogUID packet;
  beginPak(&packet, sizeof packet, pak::kTypeDogUID);
  packet.port = portByte(portID);
  pak::putText(packet.uid, uid);
  sendPacket(socketCnn, packet);
}

void CSendPak::dogCodeFrame(int socketCnn, Json::Value& jsIData, Json::Value&) {
  const std::string code = memberString(jsIData, {"dogPara", "code"});
  const std::string frame = memberString(jsIData, {"dogPara", "frame"});
  const std::string portID = memberText(jsIData, {"dogPara", "portID"});

  PakDogCodeFrame packet;
  beginPak(&packet, sizeof packet, pak::kTypeDogCodeFrame);
  packet.port = portByte(portID);
  pak::putBE16(packet.frame, static_cast<uint16_t>(pak::wireInt(frame)));
  pak::putBE32(packet.code, static_cast<uint32_t>(pak::wireInt(code)));
  sendPacket(socketCnn, packet);
}
