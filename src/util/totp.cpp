#include "util/totp.h"

#include <cstdlib>

#include "util/myerr.h"
#include "util/openssl_lib.h"
#include "util/secure_bytes.h"

namespace korvan {

namespace {

// RFC 3986 unreserved characters stay; everything else is percent-encoded.
std::string uriComponent(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

bool sixDigits(std::string_view code) {
  if (code.size() != static_cast<size_t>(kTotpDigits)) return false;
  for (char c : code) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

time_t totpNow() {
  const char* text = std::getenv("KORVAN_TOTP_NOW");
  if (text != nullptr && *text != '\0') {
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (*end == '\0' && value >= 0) return static_cast<time_t>(value);
  }
  return time(nullptr);
}

long long totpStep(time_t when) { return static_cast<long long>(when) / kTotpStepSeconds; }

std::string newTotpSecret() {
  std::string secret(kTotpSecretBytes, '\0');
  randomBytes(secret.data(), kTotpSecretBytes);
  return secret;
}

std::string base32(std::string_view bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (unsigned char b : bytes) {
    buffer = (buffer << 8) | b;
    bits += 8;
    while (bits >= 5) {
      out.push_back(kAlphabet[(buffer >> (bits - 5)) & 31]);
      bits -= 5;
    }
  }
  if (bits > 0) out.push_back(kAlphabet[(buffer << (5 - bits)) & 31]);
  return out;
}

std::string totpCode(std::string_view secret, long long step) {
  unsigned char counter[8];
  auto value = static_cast<unsigned long long>(step);
  for (int i = 7; i >= 0; --i) {
    counter[i] = static_cast<unsigned char>(value & 0xff);
    value >>= 8;
  }
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  const LibCrypto& c = libcrypto();
  if (c.HMAC(c.EVP_sha1(), secret.data(), static_cast<int>(secret.size()), counter, sizeof counter,
           mac, &length) == nullptr ||
      length < 20) {
    throw CMyErr(CMyErr::err, "cannot compute a second-factor code");
  }
  // Dynamic truncation (RFC 4226 section 5.3).
  const int offset = mac[length - 1] & 0x0f;
  const unsigned long binary = (static_cast<unsigned long>(mac[offset] & 0x7f) << 24) |
                               (static_cast<unsigned long>(mac[offset + 1]) << 16) |
                               (static_cast<unsigned long>(mac[offset + 2]) << 8) |
                               static_cast<unsigned long>(mac[offset + 3]);
  std::string code = std::to_string(binary % 1000000UL);
  return std::string(kTotpDigits - code.size(), '0') + code;
}

std::optional<long long> acceptedStep(std::string_view secret, std::string_view code, time_t now,
                                      long long lastStep) {
  if (!sixDigits(code)) return std::nullopt;
  const long long current = totpStep(now);
  std::optional<long long> match;
  // Every step of the window is computed and compared, so that the time
  // taken does not tell which one matched.
  for (long long step = current - 1; step <= current + 1; ++step) {
    const std::string expected = totpCode(secret, step);
    if (sameBytes(expected, code) && step > lastStep &&
        !match) {
      match = step;
    }
  }
  return match;
}

std::string totpUri(std::string_view issuer, std::string_view account, std::string_view secret) {
  const std::string label = uriComponent(issuer) + ":" + uriComponent(account);
  return "otpauth://totp/" + label + "?secret=" + base32(secret) +
         "&issuer=" + uriComponent(issuer) + "&algorithm=SHA1&digits=6&period=30";
}

}  // namespace korvan
