#include "auth/directory_store.h"

#include <set>

#include "auth/ldap_filter.h"
#include "store/cursor.h"
#include "store/db.h"
#include "store/sql.h"
#include "util/device_key.h"
#include "util/myerr.h"
#include "util/number.h"
#include "util/params.h"

namespace directory {

namespace {

constexpr const char* kBindContext = "ldap:bind";
constexpr const char* kSecretContext = "radius:secret";

[[noreturn]] void refuse(const std::string& member, const std::string& problem) {
  throw CMyErr(CMyErr::warning, "dirPara." + member + ": " + problem);
}

std::string opened(const std::string& sealed, const char* context) {
  if (sealed.empty()) return "";
  return korvan::openSecret(sealed, context).value_or("");
}

std::string sealed(const std::string& plain, const char* context) {
  return plain.empty() ? "" : korvan::sealSecret(plain, context);
}

template <class E>
bool pick(const std::string& text, std::initializer_list<std::pair<const char*, E>> choices, E& out) {
  for (const auto& [name, value] : choices) {
    if (text == name) {
      out = value;
      return true;
    }
  }
  return false;
}

// The settings' members as JSON, for the database and the reply alike.
Json::Value plainMembers(const Config& c) {
  Json::Value v(Json::objectValue);
  v["order"] = orderText(c.order);
  v["kind"] = kindText(c.kind);
  v["uri1"] = c.uri1;
  v["uri2"] = c.uri2;
  v["tlsVerify"] = c.tlsVerify ? "1" : "0";
  v["caPem"] = c.caPem;
  v["bindDn"] = c.bindDn;
  v["baseDn"] = c.baseDn;
  v["filter"] = c.filter;
  v["idAttr"] = c.idAttr;
  v["caseFold"] = c.caseFold ? "1" : "0";
  v["groupSource"] = groupSourceText(c.groupSource);
  v["groupBase"] = c.groupBase;
  v["radius1"] = c.radius1;
  v["radius2"] = c.radius2;
  v["radiusRetries"] = std::to_string(c.radiusRetries);
  v["groupAttr"] = c.groupAttr;
  v["timeout"] = std::to_string(c.timeout);
  v["unusedDays"] = std::to_string(c.unusedDays);
  return v;
}

bool isPrintable(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7f) return false;
  }
  return true;
}

// "host" or "host:port" of a server setting. The last colon starts the port
// unless the host is a bracketed IPv6 address, or (`oneColonOnly`) the text
// has more than one colon, as an unbracketed IPv6 address has.
void checkHostAndPort(const std::string& member, const std::string& text, bool oneColonOnly) {
  std::string host = text;
  const size_t colon = text.rfind(':');
  if (colon != std::string::npos && text.find(']') == std::string::npos &&
      (!oneColonOnly || text.find(':') == colon)) {
    host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    const long long n = korvan::isWholeNumber(port) ? korvan::leadingInt(port) : 0;
    if (n < 1 || n > 65535) refuse(member, "the port must be 1 to 65535");
  }
  if (host.empty()) refuse(member, "a host name is required");
  for (char c : host) {
    if (!isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '[' && c != ']' &&
        c != ':') {
      refuse(member, "the host name has a character that is not allowed");
    }
  }
}

void checkUri(const std::string& member, const std::string& uri, bool required) {
  if (uri.empty()) {
    if (required) refuse(member, "a server is required");
    return;
  }
  std::string rest;
  if (uri.compare(0, 7, "ldap://") == 0) {
    rest = uri.substr(7);
  } else if (uri.compare(0, 8, "ldaps://") == 0) {
    rest = uri.substr(8);
  } else {
    refuse(member, "must start with ldap:// or ldaps://");
  }
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  checkHostAndPort(member, rest, false);
}

void checkRadiusServer(const std::string& member, const std::string& server, bool required) {
  if (server.empty()) {
    if (required) refuse(member, "a server is required");
    return;
  }
  checkHostAndPort(member, server, true);
}

int rangeNumber(const std::string& member, const std::string& text, int low, int high) {
  if (!korvan::isWholeNumber(text)) refuse(member, "must be a whole number");
  const long long n = korvan::leadingInt(text);
  if (n < low || n > high) {
    refuse(member, "must be " + std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<int>(n);
}

bool flag(const std::string& member, const std::string& text) {
  if (text != "0" && text != "1") refuse(member, "must be 0 or 1");
  return text == "1";
}

std::vector<MapRow> parseMap(const std::string& text) {
  std::set<long long> groups;
  {
    CRowCursor rows("select id from priv2");
    for (; rows.hasRow(); rows.next()) groups.insert(korvan::leadingInt(rows.cell(0)));
  }
  std::vector<MapRow> map;
  size_t start = 0;
  int line = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string row = text.substr(start, end - start);
    ++line;
    start = end + 1;
    if (!row.empty() && row.back() == '\r') row.pop_back();
    if (row.find_first_not_of(" \t") == std::string::npos) {
      if (end == text.size()) break;
      continue;
    }
    const size_t colon = row.find(':');
    const std::string id = colon == std::string::npos ? "" : row.substr(0, colon);
    std::string group = colon == std::string::npos ? "" : row.substr(colon + 1);
    while (!group.empty() && group.front() == ' ') group.erase(group.begin());
    while (!group.empty() && group.back() == ' ') group.pop_back();
    const std::string where = "line " + std::to_string(line);
    if (!korvan::isWholeNumber(id) || groups.count(korvan::leadingInt(id)) == 0) {
      refuse("map", where + " does not start with the id of a device group and ':'");
    }
    if (group.empty() || group.size() > 1024 || !isPrintable(group)) {
      refuse("map", where + " names no directory group");
    }
    map.push_back({group, korvan::leadingInt(id)});
    if (map.size() > 100) refuse("map", "at most 100 rows");
    if (end == text.size()) break;
  }
  return map;
}

}  // namespace

Config load(Secrets secrets) {
  Config c;
  std::string settings, bindPw, secret;
  {
    CRowCursor row("select settings,bindPw,radiusSecret from directory2 where id=1");
    if (row.hasRow()) {
      settings = row.cell(0);
      bindPw = row.cell(1);
      secret = row.cell(2);
    }
  }
  Json::Value v;
  Json::Reader reader;
  if (!settings.empty() && reader.parse(settings, v, false) && v.isObject()) {
    auto text = [&](const char* m, std::string& out) {
      if (v[m].isString()) out = v[m].asString();
    };
    auto number = [&](const char* m, int& out) {
      if (v[m].isString() && korvan::isWholeNumber(v[m].asString())) {
        out = static_cast<int>(korvan::leadingInt(v[m].asString()));
      }
    };
    std::string order, kind, verify, fold, source;
    text("order", order);
    text("kind", kind);
    pick<Order>(order, {{"localFirst", Order::localFirst}, {"directoryFirst", Order::directoryFirst},
                        {"directoryOnly", Order::directoryOnly}, {"off", Order::off}}, c.order);
    pick<Kind>(kind, {{"ldap", Kind::ldap}, {"radius", Kind::radius}}, c.kind);
    text("uri1", c.uri1);
    text("uri2", c.uri2);
    text("tlsVerify", verify);
    c.tlsVerify = verify != "0";
    text("caPem", c.caPem);
    text("bindDn", c.bindDn);
    text("baseDn", c.baseDn);
    text("filter", c.filter);
    text("idAttr", c.idAttr);
    text("caseFold", fold);
    c.caseFold = fold == "1";
    text("groupSource", source);
    pick<GroupSource>(source, {{"memberOf", GroupSource::memberOf}, {"member", GroupSource::member},
                               {"memberUid", GroupSource::memberUid}}, c.groupSource);
    text("groupBase", c.groupBase);
    text("radius1", c.radius1);
    text("radius2", c.radius2);
    number("radiusRetries", c.radiusRetries);
    text("groupAttr", c.groupAttr);
    number("timeout", c.timeout);
    number("unusedDays", c.unusedDays);
  }
  if (secrets == Secrets::open) {
    c.bindPw = opened(bindPw, kBindContext);
    c.radiusSecret = opened(secret, kSecretContext);
  }
  CRowCursor rows("select grp,pid from dirMap2 order by ord,id");
  for (; rows.hasRow(); rows.next()) c.map.push_back({rows.cell(0), korvan::leadingInt(rows.cell(1))});
  return c;
}

void openSecret(Config& config) {
  const bool radius = config.kind == Kind::radius;
  CRowCursor row(std::string("select ") + (radius ? "radiusSecret" : "bindPw") + " from directory2 where id=1");
  const std::string sealedText = row.hasRow() ? row.cell(0) : "";
  if (radius) {
    config.radiusSecret = opened(sealedText, kSecretContext);
  } else {
    config.bindPw = opened(sealedText, kBindContext);
  }
}

Config edited(const Config& base, const Json::Value& dirPara) {
  Config c = base;
  if (!dirPara.isObject()) return c;
  auto has = [&](const char* m) { return dirPara.isMember(m) && !dirPara[m].isNull(); };
  auto text = [&](const char* m) {
    const std::string value = dirPara[m].isString() ? dirPara[m].asString() : dirPara[m].asString();
    if (value.size() > 65536) refuse(m, "too long");
    return value;
  };
  if (has("order") && !pick<Order>(text("order"),
                                   {{"off", Order::off}, {"localFirst", Order::localFirst},
                                    {"directoryFirst", Order::directoryFirst},
                                    {"directoryOnly", Order::directoryOnly}},
                                   c.order)) {
    refuse("order", "must be off, localFirst, directoryFirst or directoryOnly");
  }
  if (has("kind") && !pick<Kind>(text("kind"), {{"ldap", Kind::ldap}, {"radius", Kind::radius}}, c.kind)) {
    refuse("kind", "must be ldap or radius");
  }
  for (auto [m, field] : {std::pair<const char*, std::string*>{"uri1", &c.uri1}, {"uri2", &c.uri2},
                          {"caPem", &c.caPem}, {"bindDn", &c.bindDn}, {"bindPw", &c.bindPw},
                          {"baseDn", &c.baseDn}, {"filter", &c.filter}, {"idAttr", &c.idAttr},
                          {"groupBase", &c.groupBase}, {"radius1", &c.radius1},
                          {"radius2", &c.radius2}, {"radiusSecret", &c.radiusSecret},
                          {"groupAttr", &c.groupAttr}}) {
    if (has(m)) *field = text(m);
  }
  if (has("tlsVerify")) c.tlsVerify = flag("tlsVerify", text("tlsVerify"));
  if (has("caseFold")) c.caseFold = flag("caseFold", text("caseFold"));
  if (has("groupSource") &&
      !pick<GroupSource>(text("groupSource"),
                         {{"memberOf", GroupSource::memberOf}, {"member", GroupSource::member},
                          {"memberUid", GroupSource::memberUid}},
                         c.groupSource)) {
    refuse("groupSource", "must be memberOf, member or memberUid");
  }
  if (has("timeout")) c.timeout = rangeNumber("timeout", text("timeout"), 1, 10);
  if (has("radiusRetries")) c.radiusRetries = rangeNumber("radiusRetries", text("radiusRetries"), 0, 5);
  if (has("unusedDays")) c.unusedDays = rangeNumber("unusedDays", text("unusedDays"), 1, 3650);
  if (has("map")) c.map = parseMap(text("map"));

  // The whole, as it would be used.
  for (auto [m, value] : {std::pair<const char*, const std::string*>{"bindDn", &c.bindDn},
                          {"bindPw", &c.bindPw}, {"baseDn", &c.baseDn}, {"filter", &c.filter},
                          {"idAttr", &c.idAttr}, {"groupBase", &c.groupBase},
                          {"radiusSecret", &c.radiusSecret}}) {
    if (!isPrintable(*value)) refuse(m, "has a control character");
  }
  const bool on = c.order != Order::off;
  if (c.caPem.find('\0') != std::string::npos) refuse("caPem", "has a control character");
  if (!c.caPem.empty() && c.caPem.find("-----BEGIN CERTIFICATE-----") == std::string::npos) {
    refuse("caPem", "must hold PEM certificates (-----BEGIN CERTIFICATE-----)");
  }
  if (!c.bindDn.empty() && !looksLikeDn(c.bindDn)) refuse("bindDn", "is not a DN (attribute=value,...)");
  if (!c.baseDn.empty() && !looksLikeDn(c.baseDn)) refuse("baseDn", "is not a DN (attribute=value,...)");
  if (!c.groupBase.empty() && !looksLikeDn(c.groupBase)) {
    refuse("groupBase", "is not a DN (attribute=value,...)");
  }
  if (!fillFilter(c.filter, "x")) refuse("filter", "must contain %s where the name goes");
  if (c.filter.empty() || c.filter.front() != '(' || c.filter.back() != ')') {
    refuse("filter", "must be enclosed in parentheses");
  }
  if (c.idAttr.empty() || c.idAttr.find_first_not_of(
                              "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-") !=
                              std::string::npos) {
    refuse("idAttr", "must be an attribute name");
  }
  if (c.groupAttr != "Filter-Id" && c.groupAttr != "Class") refuse("groupAttr", "must be Filter-Id or Class");
  if (c.kind == Kind::ldap) {
    checkUri("uri1", c.uri1, on);
    checkUri("uri2", c.uri2, false);
    if (on && c.baseDn.empty()) refuse("baseDn", "a base DN is required");
    if (!c.bindDn.empty() && c.bindPw.empty()) refuse("bindPw", "the service account needs a password");
  } else {
    checkRadiusServer("radius1", c.radius1, on);
    checkRadiusServer("radius2", c.radius2, false);
    if (on && c.radiusSecret.empty()) refuse("radiusSecret", "a shared secret is required");
  }
  return c;
}

void store(const Config& c) {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  const std::string settings = Json::writeString(writer, plainMembers(c));
  CDB::execModify("insert or replace into directory2 (id,settings,bindPw,radiusSecret) values (1,'" +
                  sqlText(settings) + "','" + sqlText(sealed(c.bindPw, kBindContext)) + "','" +
                  sqlText(sealed(c.radiusSecret, kSecretContext)) + "');");
  CDB::execModify("delete from dirMap2;");
  int ord = 0;
  for (const MapRow& row : c.map) {
    CDB::execModify("insert into dirMap2 (id,ord,grp,pid) values (null," + std::to_string(++ord) +
                    ",'" + sqlText(row.group) + "'," + std::to_string(row.deviceGroup) + ");");
  }
}

Json::Value view(const Config& c) {
  Json::Value v = plainMembers(c);
  v["bindPw"] = c.bindPw.empty() ? "not set" : "set";
  v["radiusSecret"] = c.radiusSecret.empty() ? "not set" : "set";
  std::string map;
  for (const MapRow& row : c.map) map += std::to_string(row.deviceGroup) + ":" + row.group + "\n";
  v["map"] = map;
  return v;
}

}  // namespace directory
