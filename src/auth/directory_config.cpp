#include "auth/directory_config.h"

#include <strings.h>

#include <cctype>

namespace directory {

const char* orderText(Order order) {
  switch (order) {
    case Order::localFirst: return "localFirst";
    case Order::directoryFirst: return "directoryFirst";
    case Order::directoryOnly: return "directoryOnly";
    case Order::off: break;
  }
  return "off";
}

const char* kindText(Kind kind) { return kind == Kind::radius ? "radius" : "ldap"; }

const char* groupSourceText(GroupSource source) {
  switch (source) {
    case GroupSource::member: return "member";
    case GroupSource::memberUid: return "memberUid";
    case GroupSource::memberOf: break;
  }
  return "memberOf";
}

std::vector<std::string> servers(const Config& config) {
  std::vector<std::string> out;
  for (const std::string* s : config.kind == Kind::ldap
                                  ? std::vector<const std::string*>{&config.uri1, &config.uri2}
                                  : std::vector<const std::string*>{&config.radius1, &config.radius2}) {
    if (!s->empty()) out.push_back(*s);
  }
  return out;
}

std::string foldedName(const Config& config, const std::string& name) {
  if (!config.caseFold) return name;
  std::string out = name;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

namespace {

// The value of a DN's first part ("admins" of "cn=admins,dc=x"), or "" when
// `dn` has no '=' before its first unescaped ','.
std::string firstValue(const std::string& dn) {
  const size_t eq = dn.find('=');
  if (eq == std::string::npos) return "";
  size_t end = eq + 1;
  while (end < dn.size() && dn[end] != ',' && dn[end] != '+') end += dn[end] == '\\' ? 2 : 1;
  return dn.substr(eq + 1, std::min(end, dn.size()) - eq - 1);
}

bool sameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

long long mappedGroup(const std::vector<MapRow>& map, const std::vector<std::string>& groups) {
  for (const MapRow& row : map) {
    if (row.group.empty()) continue;
    for (const std::string& group : groups) {
      if (sameText(row.group, group)) return row.deviceGroup;
      const std::string first = firstValue(group);
      if (!first.empty() && sameText(row.group, first)) return row.deviceGroup;
    }
  }
  return 0;
}

}  // namespace directory
