// Command line of the switch simulator.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace switchsim {

// How the simulator answers one packet type. The default is a success reply
// sent at once.
struct Behaviour {
  uint8_t ret = 0;         // result byte of the reply (for a KVM session: the refusal code)
  int delayMs = 0;         // pause before answering (or closing)
  bool silent = false;     // never answer; keep the connection open
  bool close = false;      // close the connection instead of answering
  bool shortReply = false; // send all of the reply but its last byte, then close
};

struct Options {
  int port = 5555;
  std::string logPath;    // empty: packet lines go to standard output
  std::string statePath;  // empty: no state file
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
