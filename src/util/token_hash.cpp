#include "util/token_hash.h"

#include "util/secure_bytes.h"
#include "util/sha256.h"

namespace korvan {

std::string tokenHash(std::string_view token) {
  const Sha256Digest digest = sha256(token);
  return lowerHex(digest.data(), digest.size());
}

bool tokenMatches(std::string_view presented, std::string_view stored) {
  if (presented.empty()) return false;
  const std::string hash = tokenHash(presented);
  return sameBytes(hash, stored);
}

}  // namespace korvan
