#include "actions/journal_packets.h"

#include <chrono>
#include <thread>

#include "util/myerr.h"
#include "util/paths.h"

namespace journalled {

namespace {

Json::Value packet(int type) {
  Json::Value p(Json::objectValue);
  p["type"] = type;
  return p;
}

// Member `name` of a stored packet, which must be an unsigned number no
// larger than `max`.
uint32_t unsignedOf(const Json::Value& p, const char* name, uint32_t max) {
  const Json::Value& v = p[name];
  if (!v.isUInt() || v.asUInt() > max) {
    throw CMyErr(CMyErr::err, std::string("journal: unreadable packet member ") + name);
  }
  return v.asUInt();
}

std::string textOf(const Json::Value& p, const char* name) {
  if (!p[name].isString()) {
    throw CMyErr(CMyErr::err, std::string("journal: unreadable packet member ") + name);
  }
  return p[name].asString();
}

// Sends one packet; true for a module packet.
bool send(const Json::Value& p) {
  if (!p.isObject()) throw CMyErr(CMyErr::err, "journal: unreadable packet");
  const uint32_t type = unsignedOf(p, "type", 255);
  switch (type) {
    case 7:
      CArm::setDogNM(static_cast<uint8_t>(unsignedOf(p, "port", 255)), textOf(p, "nm"));
      return true;
    case 8:
      CArm::setDogUID(static_cast<uint8_t>(unsignedOf(p, "port", 255)), textOf(p, "uid"));
      return true;
    case 9:
      CArm::setDogCodeFrame(static_cast<uint8_t>(unsignedOf(p, "port", 255)),
                            static_cast<uint16_t>(unsignedOf(p, "frame", 0xFFFF)),
                            unsignedOf(p, "code", 0xFFFFFFFFu));
      return true;
    case 2: {
      ServerNetwork network;
      network.ip = textOf(p, "ip");
      network.gateway = textOf(p, "gateway");
      network.subnetMask = textOf(p, "subnetMask");
      network.portWeb = unsignedOf(p, "portWeb", 0xFFFFFFFFu);
      CArm::setServerIP(network);
      return false;
    }
    default:
      throw CMyErr(CMyErr::err, "journal: unknown packet type " + std::to_string(type));
  }
}

}  // namespace

Json::Value namePacket(uint8_t port, const std::string& name) {
  Json::Value p = packet(7);
  p["port"] = port;
  p["nm"] = name;
  return p;
}

Json::Value uidPacket(uint8_t port, const std::string& uid) {
  Json::Value p = packet(8);
  p["port"] = port;
  p["uid"] = uid;
  return p;
}

Json::Value codeFramePacket(uint8_t port, uint16_t frame, uint32_t code) {
  Json::Value p = packet(9);
  p["port"] = port;
  p["frame"] = frame;
  p["code"] = code;
  return p;
}

Json::Value networkPacket(const ServerNetwork& network) {
  Json::Value p = packet(2);
  p["ip"] = network.ip;
  p["gateway"] = network.gateway;
  p["subnetMask"] = network.subnetMask;
  p["portWeb"] = network.portWeb;
  return p;
}

bool sendPackets(const Json::Value& packets) {
  bool pauseOwed = false;
  for (const Json::Value& p : packets) {
    if (pauseOwed) pauseAfterPacket();
    pauseOwed = send(p);
  }
  return pauseOwed;
}

void pauseAfterPacket() {
  std::this_thread::sleep_for(std::chrono::milliseconds(korvan::packetPauseMs()));
}

}  // namespace journalled
