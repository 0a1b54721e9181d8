// The pieces of an LDAP search that come from a typed name: the value
// escaping of search filters, and the filter built from the administrator's
// template. Kept apart from the client so that they are tested without a
// server.
#pragma once

#include <optional>
#include <string>

namespace directory {

// `value` escaped for use as an assertion value in a search filter: every
// '*', '(', ')', '\' and NUL, and every byte outside printable ASCII, becomes
// '\' and two lower-case hexadecimal digits. A typed name can then match only
// itself, never widen or close the filter.
std::string escapeFilterValue(const std::string& value);

// The filter of `pattern` with each "%s" replaced by the escaped `value`.
// A pattern without "%s" is refused (nullopt): it would match the same entry
// whatever was typed.
std::optional<std::string> fillFilter(const std::string& pattern, const std::string& value);

// True when `dn` reads as a distinguished name: one or more attr=value
// pieces separated by commas, attribute names of letters, digits and '-' (or
// a dotted OID), values with '\'-escapes well formed. Empty is not a DN.
bool looksLikeDn(const std::string& dn);

}  // namespace directory
