// Time-based one-time codes for the second factor: 30-second steps, six
// digits, HMAC-SHA-1, the usual authenticator-app parameters. A code is
// accepted for the current step and one step either side (clocks drift), and
// only for a step later than the last one accepted, so that a code seen once
// cannot be replayed.
//
// The clock is time(), or KORVAN_TOTP_NOW (epoch seconds) when that holds a
// whole number: the tests' seam for the window's edges. Nothing else reads it.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace korvan {

inline constexpr int kTotpStepSeconds = 30;
inline constexpr int kTotpDigits = 6;
inline constexpr int kTotpSecretBytes = 20;

// Now, by the clock described above.
time_t totpNow();

// The step that `when` falls in.
long long totpStep(time_t when);

// kTotpSecretBytes random bytes. Throws CMyErr(err) without a random source.
std::string newTotpSecret();

// `bytes` in RFC 4648 base32 without padding, the form apps take.
std::string base32(std::string_view bytes);

// The code of `secret` for `step`, kTotpDigits digits with leading zeros.
std::string totpCode(std::string_view secret, long long step);

// The step of the window around `now` whose code is `code`, when that step is
// later than `lastStep`; std::nullopt otherwise (wrong, outside the window,
// or replayed). A code of another form than six digits matches nothing.
std::optional<long long> acceptedStep(std::string_view secret, std::string_view code, time_t now,
                                      long long lastStep);

// The otpauth:// URI an app reads from the enrolment's QR code.
std::string totpUri(std::string_view issuer, std::string_view account, std::string_view secret);

}  // namespace korvan
