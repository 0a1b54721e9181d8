#include "auth/ldap_filter.h"

#include <cctype>

namespace directory {

std::string escapeFilterValue(const std::string& value) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(value.size());
  for (unsigned char c : value) {
    if (c == '*' || c == '(' || c == ')' || c == '\\' || c < 0x20 || c >= 0x7f) {
      out.push_back('\\');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

std::optional<std::string> fillFilter(const std::string& pattern, const std::string& value) {
  const std::string escaped = escapeFilterValue(value);
  std::string out;
  bool filled = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
      out += escaped;
      filled = true;
      ++i;
    } else {
      out.push_back(pattern[i]);
    }
  }
  if (!filled) return std::nullopt;
  return out;
}

namespace {

bool attributeName(const std::string& name) {
  if (name.empty()) return false;
  if (std::isdigit(static_cast<unsigned char>(name[0]))) {
    for (char c : name) {
      if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.') return false;
    }
    return true;
  }
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') return false;
  }
  return true;
}

}  // namespace

bool looksLikeDn(const std::string& dn) {
  if (dn.empty()) return false;
  size_t i = 0;
  while (true) {
    // attribute=value, then ',' (or '+' in a multi-valued name) or the end.
    const size_t eq = dn.find('=', i);
    if (eq == std::string::npos) return false;
    std::string attr = dn.substr(i, eq - i);
    while (!attr.empty() && attr.front() == ' ') attr.erase(attr.begin());
    while (!attr.empty() && attr.back() == ' ') attr.pop_back();
    if (!attributeName(attr)) return false;
    size_t j = eq + 1;
    bool any = false;
    while (j < dn.size() && dn[j] != ',' && dn[j] != '+') {
      if (dn[j] == '\\') {
        if (j + 1 >= dn.size()) return false;
        j += 2;
      } else {
        if (dn[j] == '=' || dn[j] == '"' || dn[j] == ';' || dn[j] == '<' || dn[j] == '>') {
          return false;
        }
        ++j;
      }
      any = true;
    }
    if (!any) return false;
    if (j == dn.size()) return true;
    i = j + 1;
  }
}

}  // namespace directory
