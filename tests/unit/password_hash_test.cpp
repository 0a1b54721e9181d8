// Password hashes, the dummy hash, the cost setting and the password rule.
#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "util/myerr.h"
#include "util/password_hash.h"
#include "util/password_rule.h"
#include "util/secure_bytes.h"
#include "util/sha256.h"
#include "util/token_hash.h"

namespace {

struct Cost {
  explicit Cost(const char* value) {
    if (value) {
      setenv("KORVAN_HASH_COST", value, 1);
    } else {
      unsetenv("KORVAN_HASH_COST");
    }
  }
  ~Cost() { unsetenv("KORVAN_HASH_COST"); }
};

TEST(PasswordHash, CostSetting) {
  const struct {
    const char* env;
    int cost;
  } cases[] = {{nullptr, 10}, {"", 10}, {"4", 4}, {"12", 12}, {"3", 10}, {"32", 10}, {"5x", 10}};
  for (const auto& c : cases) {
    Cost cost(c.env);
    EXPECT_EQ(korvan::hashCost(), c.cost) << (c.env ? c.env : "unset");
  }
}

TEST(PasswordHash, VerifiesOnlyTheRightPassword) {
  Cost cost("4");
  const std::string hash = korvan::hashPassword("correct horse");
  EXPECT_EQ(hash.substr(0, 7), "$2b$04$");
  EXPECT_NE(hash, korvan::hashPassword("correct horse")) << "every hash has its own salt";
  const struct {
    const char* password;
    std::string stored;
    bool accepted;
  } cases[] = {
      {"correct horse", hash, true},
      {"correct hors", hash, false},
      {"correct horse ", hash, false},
      {"", hash, false},
      // Text is never accepted by the hash check, not even itself.
      {"correct horse", "correct horse", false},
      {"", "", false},
      // A truncated or altered hash opens nothing.
      {"correct horse", hash.substr(0, hash.size() - 1), false},
      {"correct horse", hash.substr(0, 29), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(korvan::verifyPassword(c.password, c.stored), c.accepted)
        << c.password << " / " << c.stored;
  }
}

TEST(PasswordHash, RecognisesHashesAndTheirCost) {
  Cost cost("4");
  const std::string current = korvan::hashPassword("x");
  const struct {
    std::string stored;
    bool isHash, rehash;
  } cases[] = {
      {current, true, false},
      {"$2b$10$WKrAMisMH3WcP9DZ126k3.mHgIK7ux8qde6vvJvrralzG/C0H2obO", true, true},
      {"$y$j9T$salt$hash", true, true},
      {"admin", false, true},
      {"", false, true},
      {"2b$04$abc", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(korvan::isPasswordHash(c.stored), c.isHash) << c.stored;
    EXPECT_EQ(korvan::needsRehash(c.stored), c.rehash) << c.stored;
  }
}

// The dummy must cost what a real hash of the cost in force costs: a hash of
// that method and cost, which the library computes in full and which no
// password opens.
TEST(PasswordHash, DummyHashHasTheCostInForce) {
  for (const char* value : {"4", "6"}) {
    Cost cost(value);
    const std::string dummy = korvan::dummyHash();
    EXPECT_TRUE(korvan::isPasswordHash(dummy)) << dummy;
    EXPECT_FALSE(korvan::needsRehash(dummy)) << dummy;
    EXPECT_EQ(dummy.size(), korvan::hashPassword("x").size());
    for (const char* guess : {"", "admin", "password"}) {
      EXPECT_FALSE(korvan::verifyPassword(guess, dummy));
    }
  }
}

TEST(PasswordRule, LengthAndName) {
  const struct {
    const char* password;
    const char* name;
    int minimum;
    const char* refusal;  // nullptr: accepted
  } cases[] = {
      {"12345678", "admin", 8, nullptr},
      {"1234567", "admin", 8, "password too short (minimum 8)"},
      {"", "admin", 8, "password too short (minimum 8)"},
      // Characters, not bytes: four two-byte letters are four.
      {"\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4", "x", 5, "password too short (minimum 5)"},
      {"\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4\xc3\xa4", "x", 5, nullptr},
      {"operator", "operator", 8, "password equals the user name"},
      {"Operator", "operator", 8, nullptr},
      {"abc", "abc", 3, "password equals the user name"},
  };
  for (const auto& c : cases) {
    std::string got;
    try {
      korvan::checkPasswordRule(c.password, c.name, c.minimum);
    } catch (const CMyErr& e) {
      EXPECT_EQ(e.type, CMyErr::warning);
      got = e.what();
    }
    EXPECT_EQ(got, c.refusal ? c.refusal : "") << c.password;
  }
}

TEST(PasswordRule, MinimumFromThePolicy) {
  const struct {
    const char* policy;
    int minimum;
  } cases[] = {{R"({"pwdTry":3})", 8}, {R"({"pwdMin":"12"})", 12}, {R"({"pwdMin":10})", 10},
               {R"({"pwdMin":"0"})", 1}, {R"({"pwdMin":"x"})", 8},  {R"({"pwdMin":"-3"})", 8},
               {"[]", 8}};
  for (const auto& c : cases) {
    Json::Value policy;
    Json::Reader().parse(c.policy, policy);
    EXPECT_EQ(korvan::passwordMinimum(policy), c.minimum) << c.policy;
  }
}

TEST(TokenHash, Sha256AndMatching) {
  EXPECT_EQ(korvan::tokenHash("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string stored = korvan::tokenHash("0123456789abcdef0123456789abcdef");
  const struct {
    const char* presented;
    std::string stored;
    bool matches;
  } cases[] = {
      {"0123456789abcdef0123456789abcdef", stored, true},
      {"0123456789abcdef0123456789abcde", stored, false},
      {"", korvan::tokenHash(""), false},  // no token opens no session
      {stored.c_str(), stored, false},     // the stored value itself
      {"0123456789abcdef0123456789abcdef", stored.substr(0, 63), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(korvan::tokenMatches(c.presented, c.stored), c.matches) << c.presented;
  }
}

// The program's own SHA-256 against OpenSSL's, over every length around the
// one- and two-block padding boundaries and a few multi-block inputs.
TEST(TokenHash, OwnSha256AgreesWithOpenSsl) {
  std::string data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<char>((i * 131 + 7) & 0xff));
  for (size_t n : {0, 1, 3, 54, 55, 56, 57, 63, 64, 65, 111, 119, 120, 127, 128, 129, 200, 300}) {
    const std::string input = data.substr(0, n);
    unsigned char expected[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(input.data()), input.size(), expected);
    const korvan::Sha256Digest got = korvan::sha256(input);
    EXPECT_EQ(0, std::memcmp(got.data(), expected, sizeof expected)) << "length " << n;
  }
  EXPECT_EQ(korvan::tokenHash(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(SecureBytes, CompareAndRandom) {
  const struct {
    std::string a, b;
    bool same;
  } cases[] = {
      {"", "", true},          {"abc", "abc", true},   {"abc", "abd", false},
      {"abc", "abcd", false},  {"xbc", "abc", false},  {std::string("a\0b", 3), std::string("a\0c", 3), false},
  };
  for (const auto& c : cases) EXPECT_EQ(korvan::sameBytes(c.a, c.b), c.same) << c.a << "/" << c.b;
  // Two draws of 32 bytes from the kernel are not equal, nor all zero.
  unsigned char first[32] = {}, second[32] = {}, zero[32] = {};
  korvan::randomBytes(first, sizeof first);
  korvan::randomBytes(second, sizeof second);
  EXPECT_NE(0, std::memcmp(first, second, sizeof first));
  EXPECT_NE(0, std::memcmp(first, zero, sizeof first));
}

}  // namespace
