// Session tokens at rest: the database keeps only a token's SHA-256, so that
// a copy of it (the download, a backup, the flash) opens no session. The
// browser keeps the token itself and presents it with every request.
#pragma once

#include <string>
#include <string_view>

namespace korvan {

// The SHA-256 of `token` as 64 lower-case hexadecimal characters.
std::string tokenHash(std::string_view token);

// True when `presented` hashes to `stored`, compared in constant time. An
// empty token matches nothing.
bool tokenMatches(std::string_view presented, std::string_view stored);

}  // namespace korvan
