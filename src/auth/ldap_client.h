// The LDAP exchange of a directory login: search with the service account,
// then bind as the entry found.
//
// The OpenLDAP client library is loaded with dlopen() at the first
// directory login, so that no other request maps it or its TLS library;
// its set-up loads none of the system's SASL mechanism plugins, since only
// simple binds are made.
// Each server gets a handle of its own with its own TLS settings: the
// administrator's CA certificates (written to a private temporary file that
// is removed as soon as the TLS context has read it), certificate and host
// name checks unless turned off, StartTLS for ldap:// URIs.
#pragma once

#include <string>

#include "auth/directory_client.h"

namespace directory {

Answer askLdap(const Config& config, const std::string& name, const std::string& password,
               Clock::time_point deadline);

// Whether the library could be loaded (it is an optional part of a device).
bool ldapAvailable();

}  // namespace directory
