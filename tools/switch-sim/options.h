// Command line of the switch simulator.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace switchsim {

using Bytes = std::vector<uint8_t>;

// How the simulator answers one packet type. The default is a success reply
// sent at once.
struct Behaviour {
  uint8_t ret = 0;           // result byte of the reply (for a KVM session: the refusal code)
  int delayMs = 0;           // pause before answering (or closing)
  bool silent = false;       // never answer; keep the connection open
  bool close = false;        // close the connection instead of answering
  bool shortReply = false;   // send part of the reply, then close
  size_t shortLen = 0;       // shortReply: bytes sent; 0 means all but the last
  std::optional<Bytes> raw;  // these bytes instead of the built reply
  // Fixed KVM session values instead of fresh random ones, sent whatever the
  // result byte (a recording test daemon needs replies it can predict).
  std::optional<std::array<uint8_t, 8>> desEncode;
  std::optional<std::array<uint8_t, 8>> desDecode;
};

struct Options {
  int port = 5555;
  std::string logPath;                      // empty: packet lines go to standard output
  std::string statePath;                    // empty: no state file
  bool quiet = false;                       // no packet lines at all
  std::map<uint8_t, Behaviour> behaviours;  // by packet type

  Behaviour behaviourFor(uint8_t type) const {
    auto it = behaviours.find(type);
    return it == behaviours.end() ? Behaviour{} : it->second;
  }
};

// Parses argv; on a mistake returns nothing and sets `error`.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

}  // namespace switchsim
