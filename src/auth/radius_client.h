// The RADIUS exchange of a directory login: one Access-Request with the
// password hidden as PAP does, to each server in turn, each tried
// 1 + retries times within the timeout.
//
// Every request carries Message-Authenticator (HMAC-MD5 over the packet
// with the shared secret) as its first attribute, and a reply is used only
// when its Response Authenticator and its own Message-Authenticator are
// right: a reply without one is dropped like a forged one, which closes the
// attack that forges replies by MD5 collisions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "auth/directory_client.h"

namespace directory {

Answer askRadius(const Config& config, const std::string& name, const std::string& password,
                 Clock::time_point deadline);

// The packet parts, exposed for their tests.
namespace radius {

inline constexpr uint8_t kAccessRequest = 1;
inline constexpr uint8_t kAccessAccept = 2;
inline constexpr uint8_t kAccessReject = 3;
inline constexpr uint8_t kAccessChallenge = 11;
inline constexpr uint8_t kUserName = 1;
inline constexpr uint8_t kUserPassword = 2;
inline constexpr uint8_t kFilterId = 11;
inline constexpr uint8_t kClass = 25;
inline constexpr uint8_t kNasIdentifier = 32;
inline constexpr uint8_t kMessageAuthenticator = 80;

using Bytes = std::vector<uint8_t>;

// The Access-Request with identifier `id` and request authenticator
// `authenticator` (16 bytes). Empty when the name or password cannot be
// carried (the password is at most 128 bytes).
Bytes accessRequest(uint8_t id, const Bytes& authenticator, const std::string& name,
                    const std::string& password, const std::string& secret);

struct Reply {
  uint8_t code = 0;
  std::vector<std::pair<uint8_t, std::string>> attributes;
};

// The reply `packet` to the request (`id`, `authenticator`), or nothing when
// it is malformed, answers another request, or its Response Authenticator or
// Message-Authenticator is wrong or the latter is missing.
std::optional<Reply> checkReply(const Bytes& packet, uint8_t id, const Bytes& authenticator,
                                const std::string& secret);

}  // namespace radius

}  // namespace directory
