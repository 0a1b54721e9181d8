// SHA-256 (FIPS 180-4), computed here rather than through OpenSSL: every
// request hashes its session token, and loading libcrypto for that one digest
// would cost more than the rest of a refresh (see util/openssl_lib.h).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korvan {

using Sha256Digest = std::array<uint8_t, 32>;

// The digest of `data`, of any length.
Sha256Digest sha256(std::string_view data);

}  // namespace korvan
