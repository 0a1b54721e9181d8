#include "util/paths.h"

#include <cstdlib>

namespace korvan {

std::string resolvePath(std::string_view absolute) {
  const char* root = std::getenv("KORVAN_ROOT");
  if (root == nullptr || *root == '\0') return std::string(absolute);
  if (absolute == "/tmp" || absolute.substr(0, 5) == "/tmp/") return std::string(absolute);
  std::string out(root);
  while (!out.empty() && out.back() == '/') out.pop_back();
  out.append(absolute);
  return out;
}

namespace {

// The whole number in environment variable `name` when it lies in
// [low, high], else `fallback`.
int envNumber(const char* name, long low, long high, int fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (*end != '\0' || value < low || value > high) return fallback;
  return static_cast<int>(value);
}

constexpr long kLongestWaitMs = 600000;

}  // namespace

int armPort() { return envNumber("KORVAN_ARM_PORT", 1, 65535, kArmPort); }

int replyTimeoutMs() {
  return envNumber("KORVAN_REPLY_TIMEOUT_MS", 0, kLongestWaitMs, kReplyTimeoutMs);
}

int connectTimeoutMs() {
  return envNumber("KORVAN_CONNECT_TIMEOUT_MS", 0, kLongestWaitMs, kConnectTimeoutMs);
}

int packetPauseMs() {
  return envNumber("KORVAN_PACKET_PAUSE_MS", 0, kLongestWaitMs, kPacketPauseMs);
}

}  // namespace korvan
