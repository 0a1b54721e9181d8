#include "util/tools.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string CTools::IP_strToInt(std::string paraStrIP) {
  struct in_addr addr {};
  if (inet_aton(paraStrIP.c_str(), &addr) == 0) return "0";
  const auto* b = reinterpret_cast<const unsigned char*>(&addr.s_addr);  // network order
  unsigned long value = static_cast<unsigned long>(b[0]) | static_cast<unsigned long>(b[1]) << 8 |
                        static_cast<unsigned long>(b[2]) << 16 |
                        static_cast<unsigned long>(b[3]) << 24;
  char buf[16];
  snprintf(buf, sizeof buf, "%lu", value);
  return buf;
}

std::string CTools::IP_intToStr(std::string paraIntIP) {
  // The text is read as a 32-bit strtoul reads it, whatever the width of
  // this machine's unsigned long: a magnitude beyond 32 bits saturates, and a
  // minus sign negates modulo 2^32 ("-1" is 255.255.255.255, "-5" is
  // 251.255.255.255).
  const char* text = paraIntIP.c_str();
  while (isspace(static_cast<unsigned char>(*text))) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  unsigned long long value = 0;
  if (*text >= '0' && *text <= '9') {
    errno = 0;
    value = strtoull(text, nullptr, 10);
    if (errno == ERANGE || value > 0xFFFFFFFFull) {
      value = 0xFFFFFFFFull;
    } else if (negative) {
      value = (0x100000000ull - value) & 0xFFFFFFFFull;
    }
  }
  char buf[16];
  snprintf(buf, sizeof buf, "%u.%u.%u.%u", static_cast<unsigned>(value & 0xFF),
           static_cast<unsigned>((value >> 8) & 0xFF), static_cast<unsigned>((value >> 16) & 0xFF),
           static_cast<unsigned>((value >> 24) & 0xFF));
  return buf;
}

void CTools::jsonArray_uniqueAppend(Json::Value& arr, std::string newValue) {
  for (Json::ArrayIndex i = 0; i < arr.size(); ++i) {
    if (arr[i]["ip"].asString() == newValue) return;
  }
  Json::Value item;
  item["ip"] = newValue;
  arr.append(item);
}

void CTools::jsonArray_alwaysDelete(Json::Value& arr, std::string delItem) {
  for (Json::ArrayIndex i = 0; i < arr.size(); ++i) {
    if (arr[i]["ip"].asString() == delItem) {
      Json::Value removed;
      arr.removeIndex(i, &removed);
      return;
    }
  }
}

std::string CTools::jsonArray_toString(Json::Value& arr, std::string delimiter) {
  std::string out;
  for (Json::ArrayIndex i = 0; i < arr.size(); ++i) {
    out += arr[i]["ip"].asString() + " " + delimiter + " ";
  }
  return out;
}
