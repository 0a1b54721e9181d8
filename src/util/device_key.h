// The device key: 32 random bytes in a file of their own beside the
// configuration database, never inside it. Secrets the switch must be able to
// read back (second-factor seeds, the directory's bind password and shared
// secret) are stored in the database sealed with this key, so that a copy of
// the database (the download, a backup, an uploaded configuration) carries no
// usable secret. A database moved to another switch meets another key: its
// sealed secrets no longer open there, and nothing else is affected.
//
// The file is created once, on first use, with mode 0600: written completely
// under a temporary name opened with O_EXCL, then linked to its final name,
// which fails when another process got there first (that process's key is
// then read). A crash can therefore never leave a short key behind. An
// existing key file that cannot be read or is not exactly 32 bytes is an
// error, never replaced: replacing it would silently lose every secret.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvan {

// Where the key lives on the device (resolved through resolvePath()).
inline constexpr std::string_view kDeviceKeyPath = "/usr/app/korvan.key";
inline constexpr size_t kDeviceKeyBytes = 32;

// The key, created when the file is absent. Throws CMyErr(err) when the file
// cannot be created or read, or holds anything but 32 bytes.
std::string deviceKey();

// Seals `plain` with the device key (AES-256-GCM, a fresh random nonce).
// `context` is authenticated with it but not stored: a sealed value opens only
// under the same context (say "totp:17" for user 17's seed), so a sealed value
// copied into another row or column does not open. The result is printable
// text: "k1:" followed by base64 of nonce, ciphertext and tag.
std::string sealSecret(std::string_view plain, std::string_view context);

// The plain text of a value made by sealSecret() with this device's key and
// the same context; std::nullopt when it was sealed by another key, under
// another context, was altered, or is not a sealed value at all.
std::optional<std::string> openSecret(std::string_view sealed, std::string_view context);

}  // namespace korvan
