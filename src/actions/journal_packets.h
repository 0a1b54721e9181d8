// The value-setting daemon packets of the journalled changes as plain values
// (JSON objects), so that a change can be stored before it is sent and sent
// again from what was stored (store/journal.h). Each packet sets a value;
// sending one twice leaves the switch as sending it once does.
//
//   {"type":7,"port":P,"nm":TEXT}           a module's name
//   {"type":8,"port":P,"uid":TEXT}          a module's identity
//   {"type":9,"port":P,"frame":F,"code":C}  a module's frame rate and code
//   {"type":2,"ip":..,"gateway":..,"subnetMask":..,"portWeb":N}
//                                           the switch's network settings
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>

#include "daemon/arm.h"

namespace journalled {

Json::Value namePacket(uint8_t port, const std::string& name);
Json::Value uidPacket(uint8_t port, const std::string& uid);
Json::Value codeFramePacket(uint8_t port, uint16_t frame, uint32_t code);
Json::Value networkPacket(const ServerNetwork& network);

// Sends `packets` in order on the daemon connection, with the module pause
// (util/paths.h packetPauseMs) before every packet after the first. Returns
// whether a module packet went out, whose pause is then still owed. The first
// refusal throws the daemon's CMyErr; a packet that is not one of the forms
// above throws CMyErr(err) before it is sent.
bool sendPackets(const Json::Value& packets);

// The pause a module needs to take a setting before the next packet.
void pauseAfterPacket();

}  // namespace journalled
