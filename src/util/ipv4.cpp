#include "util/ipv4.h"

#include <arpa/inet.h>

#include <cctype>

namespace korvan {

bool isDottedQuad(std::string_view text) {
  size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
    size_t start = i;
    unsigned value = 0;
    while (i < text.size() && i - start < 3 && std::isdigit(static_cast<unsigned char>(text[i]))) {
      value = value * 10 + static_cast<unsigned>(text[i] - '0');
      ++i;
    }
    size_t length = i - start;
    if (length == 0 || value > 255 || (length > 1 && text[start] == '0')) return false;
  }
  return i == text.size();
}

bool isInetAddress(const std::string& text) {
  in_addr unused{};
  return inet_aton(text.c_str(), &unused) != 0;
}

}  // namespace korvan
