#include "state.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace switchsim {

namespace pak = korvan::pak;

namespace {

// Only the most recent sessions are kept, so a long run stays small.
constexpr unsigned kMaxSessions = 32;

template <typename Packet>
Packet as(const Bytes& bytes) {
  Packet packet;
  std::memcpy(&packet, bytes.data(), sizeof packet);
  return packet;
}

std::string localText(int32_t seconds) {
  time_t t = seconds;
  struct tm local {};
  char text[32] = "?";
  if (localtime_r(&t, &local) != nullptr) strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string nowText() {
  time_t t = time(nullptr);
  return localText(static_cast<int32_t>(t));
}

// A text field for a log line, quoted, with unprintable bytes escaped.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c < 0x20 || c == '"' || c == '\\' || c == 0x7F) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02x", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

std::string hexText(const Bytes& packet) {
  std::string out;
  char pair[4];
  for (size_t i = 0; i < packet.size(); ++i) {
    std::snprintf(pair, sizeof pair, i == 0 ? "%02x" : " %02x", packet[i]);
    out += pair;
  }
  return out;
}

std::string describe(const Bytes& packet) {
  const pak::TypeInfo* info = pak::findType(packet[2]);
  std::string out = info ? info->name : "?";
  switch (packet[2]) {
    case pak::kTypeQT: {
      auto p = as<pak::QTRequest>(packet);
      out += " dogID=" + std::to_string(p.dogID) + " dogUID=" + quoted(pak::fieldText(p.dogUID)) +
             " userNM=" + quoted(pak::fieldText(p.userNM)) + " userIP=" + pak::addrText(p.userIP) +
             " priv=" + std::to_string(pak::getBE32(p.priv)) +
             " userID=" + std::to_string(static_cast<int32_t>(pak::getBE32(p.userID)));
      break;
    }
    case pak::kTypeServerIP: {
      auto p = as<pak::ServerIPRequest>(packet);
      out += " ip=" + pak::addrText(p.ip) + " gateway=" + pak::addrText(p.gateway) +
             " subnetMask=" + pak::addrText(p.subnetMask) +
             " portWeb=" + std::to_string(pak::getBE32(p.portWeb));
      break;
    }
    case pak::kTypeTime: {
      auto p = as<pak::TimeRequest>(packet);
      int32_t seconds = static_cast<int32_t>(pak::getBE32(p.time2));
      out += " time2=" + std::to_string(seconds) + " (" + localText(seconds) + ")";
      break;
    }
    case pak::kTypeRestart:
      out += " data=" + std::to_string(as<pak::RestartRequest>(packet).data);
      break;
    case pak::kTypeDogNM: {
      auto p = as<pak::DogNMRequest>(packet);
      out += " port=" + std::to_string(p.port) + " nm=" + quoted(pak::fieldText(p.nm));
      break;
    }
    case pak::kTypeDogUID: {
      auto p = as<pak::DogUIDRequest>(packet);
      out += " port=" + std::to_string(p.port) + " uid=" + quoted(pak::fieldText(p.uid));
      break;
    }
    case pak::kTypeDogCodeFrame: {
      auto p = as<pak::DogCodeFrameRequest>(packet);
      out += " port=" + std::to_string(p.port) + " frame=" + std::to_string(pak::getBE16(p.frame)) +
             " code=" + std::to_string(static_cast<int32_t>(pak::getBE32(p.code)));
      break;
    }
    default:
      break;
  }
  return out;
}

Json::Value& SwitchState::module(unsigned port) {
  Json::Value& m = modules_[std::to_string(port)];
  if (m.isNull()) {
    m["name"] = "";
    m["uid"] = "";
    m["code"] = 0;
    m["frame"] = 0;
  }
  return m;
}

void SwitchState::apply(const Bytes& packet, const uint8_t (&desEncode)[8],
                        const uint8_t (&desDecode)[8]) {
  switch (packet[2]) {
    case pak::kTypeQT: {
      auto p = as<pak::QTRequest>(packet);
      Json::Value session;
      session["dogID"] = p.dogID;
      session["dogUID"] = pak::fieldText(p.dogUID);
      session["userNM"] = pak::fieldText(p.userNM);
      session["userIP"] = pak::addrText(p.userIP);
      session["userID"] = static_cast<int32_t>(pak::getBE32(p.userID));
      session["desEncode"] = pak::hex8(desEncode);
      session["desDecode"] = pak::hex8(desDecode);
      session["grantedAt"] = nowText();
      sessions_.append(session);
      if (sessions_.size() > kMaxSessions) {
        Json::Value dropped;
        sessions_.removeIndex(0, &dropped);
      }
      break;
    }
    case pak::kTypeServerIP: {
      auto p = as<pak::ServerIPRequest>(packet);
      network_["ip"] = pak::addrText(p.ip);
      network_["gateway"] = pak::addrText(p.gateway);
      network_["subnetMask"] = pak::addrText(p.subnetMask);
      network_["portWeb"] = pak::getBE32(p.portWeb);
      break;
    }
    case pak::kTypeTime: {
      int32_t seconds = static_cast<int32_t>(pak::getBE32(as<pak::TimeRequest>(packet).time2));
      clock_["seconds"] = seconds;
      clock_["local"] = localText(seconds);
      clock_["setAt"] = nowText();
      break;
    }
    case pak::kTypeRestart:
      ++restarts_;
      break;
    case pak::kTypeDogNM: {
      auto p = as<pak::DogNMRequest>(packet);
      module(p.port)["name"] = pak::fieldText(p.nm);
      break;
    }
    case pak::kTypeDogUID: {
      auto p = as<pak::DogUIDRequest>(packet);
      module(p.port)["uid"] = pak::fieldText(p.uid);
      break;
    }
    case pak::kTypeDogCodeFrame: {
      auto p = as<pak::DogCodeFrameRequest>(packet);
      Json::Value& m = module(p.port);
      m["code"] = static_cast<int32_t>(pak::getBE32(p.code));
      m["frame"] = pak::getBE16(p.frame);
      break;
    }
    default:
      break;
  }
}

Json::Value SwitchState::toJson() const {
  Json::Value out;
  out["clock"] = clock_;
  out["network"] = network_;
  out["modules"] = modules_;
  out["sessions"] = sessions_;
  out["restarts"] = restarts_;
  out["packets"] = packets_;
  return out;
}

}  // namespace switchsim
