#include "auth/verify.h"

#include <openssl/crypto.h>

#include "util/password_hash.h"

namespace login {

namespace {

bool sameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

Verdict verifyPassword(const Account& account, const std::string& password) {
  Verdict verdict;
  const std::string& stored = account.stored;
  if (!account.known || stored.empty()) {
    korvan::verifyPassword(password, korvan::dummyHash());
    return verdict;
  }
  if (korvan::isPasswordHash(stored)) {
    verdict.accepted = korvan::verifyPassword(password, stored);
  } else {
    // Text from an older version: the dummy spends a verification's time
    // before the comparison, as the hash path would.
    korvan::verifyPassword(password, korvan::dummyHash());
    verdict.accepted = sameText(password, stored);
  }
  if (verdict.accepted && korvan::needsRehash(stored)) {
    verdict.newHash = korvan::hashPassword(password);
  }
  return verdict;
}

}  // namespace login
