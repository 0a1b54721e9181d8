// Password hashes: local passwords are stored as crypt(3) hashes made by
// libxcrypt, never as the text typed.
//
// The method is bcrypt ("$2b$"): its memory is a few KiB, far inside the
// per-request memory bound. yescrypt was measured against it (libxcrypt,
// one x86-64 core): within 4 MiB (crypt_gensalt_rn "$y$" cost 3, N*r*128 =
// 4 MiB) a hash takes about 15 ms, well under the 50 ms a login should cost
// at the least, and the next cost needs 8 MiB (35 ms), the one after 16 MiB
// (63 ms); bcrypt cost 10 takes about 53 ms, cost 11 about 104 ms. So no
// yescrypt setting inside the bound gives a login a useful cost, and bcrypt
// does. The cost (bcrypt's log2 rounds) is a setting:
// kDefaultHashCost, or KORVAN_HASH_COST when that holds a whole number from
// kMinHashCost to kMaxHashCost. The test suites set the smallest cost so that
// their many logins stay cheap; nothing else reads the variable.
#pragma once

#include <string>
#include <string_view>

namespace korvan {

inline constexpr int kDefaultHashCost = 10;
inline constexpr int kMinHashCost = 4;
inline constexpr int kMaxHashCost = 31;

// The cost in force (see above).
int hashCost();

// A fresh hash of `password` at the cost in force, with a random salt.
// Throws CMyErr(err) when no random bytes or no hash can be had.
std::string hashPassword(std::string_view password);

// True when `stored` has the form of a hash this program can verify (a
// crypt(3) method prefix); anything else is a password stored as text by an
// older version or an uploaded older configuration.
bool isPasswordHash(std::string_view stored);

// True when `password` hashes to `stored` (compared in constant time). False
// for a `stored` that is not a hash, or that the library refuses.
bool verifyPassword(std::string_view password, std::string_view stored);

// True when `stored` is a hash made with another method or cost than the one
// in force, so that a successful login should store a fresh hash.
bool needsRehash(std::string_view stored);

// A fixed hash at the cost in force that no known password opens. A login for
// a name that no source knows verifies against it, so that it takes as long
// as one for a real account and the time tells nothing about which names
// exist.
std::string dummyHash();

}  // namespace korvan
