// The kind of a console module, as its identity (uid) tells it.
#pragma once

#include <string_view>

namespace korvan {

// The second character of `uid` as a digit: 1 (usb), 2 (serial) or 3
// (virtual media); anything else, a uid shorter than two characters
// included, is 0.
inline int moduleKind(std::string_view uid) {
  if (uid.size() < 2) return 0;
  const char c = uid[1];
  return c >= '1' && c <= '3' ? c - '0' : 0;
}

}  // namespace korvan
