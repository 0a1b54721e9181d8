// The directory settings: where people who have no local account log in
// (an LDAP / Active Directory server or a RADIUS server), in which order
// against the local accounts, and how directory groups map to device groups.
//
// The settings live in table directory2 (one row) and the mapping in
// dirMap2 (auth/directory_store.h). This header holds the values and their
// checks, which need no database: a change request is checked whole before
// anything is stored.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace directory {

// Which accounts are tried for a name that is not the built-in
// administrator's:
//   off             local accounts only;
//   localFirst      a local account's name logs in locally, any other name
//                   against the directory;
//   directoryFirst  the directory first; a name it does not know, or every
//                   server down, falls back to the local accounts;
//   directoryOnly   the directory; local accounts only while no directory
//                   server answers.
enum class Order { off, localFirst, directoryFirst, directoryOnly };
enum class Kind { ldap, radius };

// Where a person's groups come from in LDAP.
enum class GroupSource { memberOf, member, memberUid };

// One row of the mapping: a directory group (a DN, its first value, or a
// RADIUS Filter-Id / Class text, compared without case) and the device group
// (priv2.id) it gives. The first row that matches wins.
struct MapRow {
  std::string group;
  long long deviceGroup = 0;
};

struct Config {
  Order order = Order::off;
  Kind kind = Kind::ldap;
  // LDAP: ldap:// (always upgraded with StartTLS) or ldaps:// URIs, tried in
  // order; uri2 may be empty.
  std::string uri1, uri2;
  // Whether the server's certificate and host name are checked. Off is
  // unsafe: anyone on the path can read the passwords.
  bool tlsVerify = true;
  // PEM CA certificates the server's chain must lead to; empty: the system's.
  std::string caPem;
  // The service account that searches (anonymous when bindDn is empty).
  std::string bindDn, bindPw;
  std::string baseDn;
  std::string filter = "(uid=%s)";
  // The attribute that identifies a person for good (objectGUID in Active
  // Directory, entryUUID elsewhere).
  std::string idAttr = "entryUUID";
  // Whether the directory ignores the case of names (Active Directory).
  bool caseFold = false;
  GroupSource groupSource = GroupSource::memberOf;
  // Where group entries are searched (member / memberUid); empty: baseDn.
  std::string groupBase;
  // RADIUS servers as host or host:port (port 1812 when not given).
  std::string radius1, radius2;
  std::string radiusSecret;
  int radiusRetries = 1;
  // The reply attribute that names the group: "Filter-Id" or "Class".
  std::string groupAttr = "Filter-Id";
  // Seconds for each server's connect and for each operation (1 to 10).
  int timeout = 3;
  // Directory accounts unused this many days are removed.
  int unusedDays = 90;
  std::vector<MapRow> map;
};

// Text forms of the enums, as requests and the database carry them.
const char* orderText(Order order);
const char* kindText(Kind kind);
const char* groupSourceText(GroupSource source);

// The servers of the configured kind, primary first, empty ones left out.
std::vector<std::string> servers(const Config& config);

// The name as the directory compares it: lower-cased (ASCII) when the
// directory ignores case, as typed otherwise. Lock-out counts on it.
std::string foldedName(const Config& config, const std::string& name);

// The device group of the first row of `map` that one of `groups` matches,
// or 0. A row matches a group equal to it without regard to case, or, for
// a DN, to the value of the DN's first part ("admins" matches
// "cn=admins,ou=groups,dc=example,dc=org").
long long mappedGroup(const std::vector<MapRow>& map, const std::vector<std::string>& groups);

// Names longer than the daemon's packet carries are refused before any
// server is asked.
inline constexpr size_t kMaxDirectoryName = 32;

}  // namespace directory
