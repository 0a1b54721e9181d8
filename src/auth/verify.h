// The verification of a login's password: the one place where "is this the
// password of this name" is decided. It runs outside any transaction (a hash
// costs tens of milliseconds and must not hold the database's write lock)
// and within the bound of korvan::VerifySlot, which its caller holds.
#pragma once

#include <string>

namespace login {

// What the store knows of a login name when the attempt was counted.
struct Account {
  bool known = false;       // a local account of that name (with a group)
  std::string userId;       // user2.id
  std::string stored;       // user2.pw as stored: a hash, or text from an older version
  std::string level;        // priv2.level
  std::string pwdExpire;    // user2.pwdExpire
};

struct Verdict {
  bool accepted = false;
  // When accepted and the stored value is text or a hash of another cost:
  // the fresh hash to store in its place (made here, outside the
  // transaction).
  std::string newHash;
};

// Verifies `password` for `account`. A name that no source knows, and an
// account whose stored value is empty, verify against korvan::dummyHash() and
// are refused, so that their time matches a real verification. A stored value
// that is not a hash is compared as text, once: the verdict then carries its
// hash.
Verdict verifyPassword(const Account& account, const std::string& password);

}  // namespace login
