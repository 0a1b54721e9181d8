#include "options.h"

#include <cerrno>
#include <cstdlib>

#include "daemon/packets.h"

namespace switchsim {

const char* const kUsage =
    "usage: switch-sim [--port N] [--log FILE] [--state-file FILE]\n"
    "                  [--ret TYPE=CODE] [--delay TYPE=MS] [--silent TYPE]\n"
    "                  [--close TYPE] [--short TYPE] ...\n"
    "Serves the switch-daemon protocol on 127.0.0.1 (default port 5555; --port 0\n"
    "picks a free port). The first line on standard output is \"port N\".\n"
    "TYPE is a packet type by name or number (qt 1, serverIP 2, time 3,\n"
    "restart 5, dogNM 7, dogUID 8, dogCodeFrame 9) or \"all\"; the misbehaviour\n"
    "options may be repeated. SIGUSR1 prints the switch state; SIGINT and\n"
    "SIGTERM end the simulator.\n";

namespace {

bool parseNumber(const std::string& text, long low, long high, long& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) return false;
  out = value;
  return true;
}

// The packet types that TYPE names.
std::vector<uint8_t> typesNamed(const std::string& text) {
  std::vector<uint8_t> out;
  if (text == "all") {
    for (const auto& info : korvan::pak::kTypes) out.push_back(info.type);
  } else if (const auto* info = korvan::pak::findType(std::string_view(text))) {
    out.push_back(info->type);
  }
  return out;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--help" || name == "-h") {
      error = "";
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "missing value after " + name;
      return std::nullopt;
    }
    const std::string& value = args[++i];
    long number = 0;
    if (name == "--port") {
      if (!parseNumber(value, 0, 65535, number)) {
        error = "bad port: " + value;
        return std::nullopt;
      }
      options.port = static_cast<int>(number);
      continue;
    }
    if (name == "--log") {
      options.logPath = value;
      continue;
    }
    if (name == "--state-file") {
      options.statePath = value;
      continue;
    }

    // Misbehaviour options: TYPE, or TYPE=NUMBER for --ret and --delay.
    const bool withNumber = name == "--ret" || name == "--delay";
    if (!withNumber && name != "--silent" && name != "--close" && name != "--short") {
      error = "unknown option: " + name;
      return std::nullopt;
    }
    std::string typeText = value;
    if (withNumber) {
      size_t eq = value.find('=');
      long high = name == "--ret" ? 255 : 600000;
      if (eq == std::string::npos || !parseNumber(value.substr(eq + 1), 0, high, number)) {
        error = "expected TYPE=NUMBER after " + name + ": " + value;
        return std::nullopt;
      }
      typeText = value.substr(0, eq);
    }
    std::vector<uint8_t> types = typesNamed(typeText);
    if (types.empty()) {
      error = "unknown packet type: " + typeText;
      return std::nullopt;
    }
    for (uint8_t type : types) {
      Behaviour& b = options.behaviours[type];
      if (name == "--ret") b.ret = static_cast<uint8_t>(number);
      if (name == "--delay") b.delayMs = static_cast<int>(number);
      if (name == "--silent") b.silent = true;
      if (name == "--close") b.close = true;
      if (name == "--short") b.shortReply = true;
    }
  }
  return options;
}

}  // namespace switchsim
