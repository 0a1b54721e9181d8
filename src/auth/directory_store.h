// The directory settings in the database (tables directory2 and dirMap2),
// their checks and their reply form.
//
// The service account's password and the RADIUS secret are stored sealed
// with the device key (util/device_key.h) and are write-only: replies show
// them as "set" or "not set". A secret that no longer opens (a database
// from another switch) reads as not set.
#pragma once

#include <json/json.h>

#include "auth/directory_config.h"

namespace directory {

// Which stored secrets load() opens: all (the settings requests), or none
// (a login, which opens with openSecret() the one of its kind once it knows
// that it asks the directory: opening takes the device key and the crypto
// library, which a login that never asks should not pay for).
enum class Secrets { open, sealed };

// The stored settings; the defaults when none are stored. Reads only.
Config load(Secrets secrets = Secrets::open);

// Opens into `config` the stored secret that its kind uses: the service
// account's password (LDAP) or the shared secret (RADIUS).
void openSecret(Config& config);

// `base` changed by the members of the request's `dirPara` that are
// present; the mapping rows must name existing device groups. Throws
// CMyErr(warning) naming the first member that is refused ("dirPara.uri1:
// ..."); nothing is stored.
Config edited(const Config& base, const Json::Value& dirPara);

// Stores `config` whole, in the caller's write transaction.
void store(const Config& config);

// The settings as a reply member: every setting, the secrets as "set" or
// "not set", the mapping as `map` text.
Json::Value view(const Config& config);

}  // namespace directory
