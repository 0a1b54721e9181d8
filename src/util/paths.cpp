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

int armPort() {
  const char* text = std::getenv("KORVAN_ARM_PORT");
  if (text == nullptr || *text == '\0') return kArmPort;
  char* end = nullptr;
  long port = std::strtol(text, &end, 10);
  if (*end != '\0' || port < 1 || port > 65535) return kArmPort;
  return static_cast<int>(port);
}

}  // namespace korvan
