#include "util/token_hash.h"

#include <openssl/crypto.h>
#include <openssl/sha.h>

namespace korvan {

std::string tokenHash(std::string_view token) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(token.data()), token.size(), digest);
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * sizeof digest);
  for (unsigned char b : digest) {
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
  }
  return out;
}

bool tokenMatches(std::string_view presented, std::string_view stored) {
  if (presented.empty()) return false;
  const std::string hash = tokenHash(presented);
  return hash.size() == stored.size() &&
         CRYPTO_memcmp(hash.data(), stored.data(), hash.size()) == 0;
}

}  // namespace korvan
