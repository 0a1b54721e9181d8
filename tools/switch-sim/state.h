// What a switch remembers of the packets it accepted: the clock it was set
// to, its network settings, the console modules' names, identities, codes and
// frames, the restarts and the KVM sessions it granted.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>
#include <vector>

#include "daemon/packets.h"
#include "options.h"

namespace switchsim {

// The request's fields as one line of text, e.g.
// "time time2=10 (1970-01-01 00:00:10)". `packet` is a whole request of a
// known type and length.
std::string describe(const Bytes& packet);

// The packet as space-separated lower-case hex pairs.
std::string hexText(const Bytes& packet);

class SwitchState {
 public:
  // Takes in a request that the switch accepted (answered with result 0).
  // For a KVM session `desEncode`/`desDecode` are the values it issued.
  void apply(const Bytes& packet, const uint8_t (&desEncode)[8], const uint8_t (&desDecode)[8]);
  // Counts every well-formed packet, accepted or not.
  void countPacket() { ++packets_; }

  Json::Value toJson() const;

 private:
  Json::Value& module(unsigned port);

  Json::Value clock_ = Json::Value(Json::nullValue);
  Json::Value network_ = Json::Value(Json::nullValue);
  Json::Value modules_ = Json::Value(Json::objectValue);
  Json::Value sessions_ = Json::Value(Json::arrayValue);
  unsigned restarts_ = 0;
  unsigned packets_ = 0;
};

}  // namespace switchsim
