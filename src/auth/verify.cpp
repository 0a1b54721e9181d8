#include "auth/verify.h"

#include "util/password_hash.h"
#include "util/secure_bytes.h"

namespace login {

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
    verdict.accepted = korvan::sameBytes(password, stored);
  }
  if (verdict.accepted && korvan::needsRehash(stored)) {
    verdict.newHash = korvan::hashPassword(password);
  }
  return verdict;
}

}  // namespace login
