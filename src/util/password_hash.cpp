#include "util/password_hash.h"

#include <crypt.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "util/myerr.h"
#include "util/secure_bytes.h"

namespace korvan {

namespace {

constexpr const char* kMethod = "$2b$";
constexpr int kSaltBytes = 16;

// crypt_data is about 32 KiB: on the heap, and zeroed as libxcrypt asks
// before its first use.
std::unique_ptr<crypt_data> freshData() {
  auto data = std::make_unique<crypt_data>();
  std::memset(data.get(), 0, sizeof *data);
  return data;
}

// The setting (method, cost, salt) for `salt`, or empty when the library
// refuses it.
std::string settingFor(const unsigned char* salt, int cost) {
  char setting[CRYPT_GENSALT_OUTPUT_SIZE];
  if (crypt_gensalt_rn(kMethod, static_cast<unsigned long>(cost),
                       reinterpret_cast<const char*>(salt), kSaltBytes, setting,
                       sizeof setting) == nullptr) {
    return std::string();
  }
  return setting;
}

// crypt_r of `password` with `setting`; empty on a refusal, which libxcrypt
// reports as a "*"-led failure token or a null.
std::string cryptWith(std::string_view password, const std::string& setting) {
  const std::string text(password);
  auto data = freshData();
  const char* out = crypt_r(text.c_str(), setting.c_str(), data.get());
  if (out == nullptr || out[0] == '*') return std::string();
  return out;
}

// "$2b$NN$": the method and cost part of a bcrypt hash or setting.
std::string costPrefix(int cost) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%s%02d$", kMethod, cost);
  return buf;
}

}  // namespace

int hashCost() {
  const char* text = std::getenv("KORVAN_HASH_COST");
  if (text == nullptr || *text == '\0') return kDefaultHashCost;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*end != '\0' || value < kMinHashCost || value > kMaxHashCost) return kDefaultHashCost;
  return static_cast<int>(value);
}

std::string hashPassword(std::string_view password) {
  unsigned char salt[kSaltBytes];
  randomBytes(salt, sizeof salt);
  const std::string setting = settingFor(salt, hashCost());
  const std::string hash = setting.empty() ? std::string() : cryptWith(password, setting);
  if (hash.empty()) throw CMyErr(CMyErr::err, "cannot hash the password");
  return hash;
}

bool isPasswordHash(std::string_view stored) {
  for (const char* prefix : {"$2b$", "$2y$", "$2a$", "$y$", "$7$", "$6$", "$5$"}) {
    if (stored.substr(0, std::strlen(prefix)) == prefix) return true;
  }
  return false;
}

bool verifyPassword(std::string_view password, std::string_view stored) {
  if (!isPasswordHash(stored)) return false;
  const std::string computed = cryptWith(password, std::string(stored));
  return !computed.empty() && sameBytes(computed, stored);
}

bool needsRehash(std::string_view stored) {
  return stored.substr(0, 7) != costPrefix(hashCost());
}

std::string dummyHash() {
  // Salt and digest in bcrypt's alphabet; made once, never a password's.
  return costPrefix(hashCost()) + "Q0b9mCk0R1sPzJ8yG5uS0eN3oTqYhVxWcZ2dLfA7iKjBnMpU4gH6.";
}

}  // namespace korvan
