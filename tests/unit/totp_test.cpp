// Time-based codes: the published SHA-1 test vectors, the window of one step
// either side, and replay.
#include <gtest/gtest.h>

#include "util/totp.h"

namespace {

const std::string kSeed = "12345678901234567890";

TEST(Totp, PublishedVectors) {
  // The eight-digit values of the published vectors, cut to six digits.
  const struct {
    time_t when;
    const char* code;
  } cases[] = {{59, "287082"},         {1111111109, "081804"}, {1111111111, "050471"},
               {1234567890, "005924"}, {2000000000, "279037"}, {20000000000, "353130"}};
  for (const auto& c : cases) {
    EXPECT_EQ(korvan::totpCode(kSeed, korvan::totpStep(c.when)), c.code) << c.when;
  }
  EXPECT_EQ(korvan::base32(kSeed), "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ");
  EXPECT_EQ(korvan::base32("f"), "MY");
  EXPECT_EQ(korvan::base32("fooba"), "MZXW6YTB");
}

TEST(Totp, WindowAndReplay) {
  const time_t now = 1111111111;  // step 37037037, 1 s into it
  const long long step = korvan::totpStep(now);
  const struct {
    long long offset;    // the code's step, from now's
    long long lastStep;  // the last step accepted before
    bool accepted;
  } cases[] = {
      {0, 0, true},         {-1, 0, true},        {1, 0, true},
      {-2, 0, false},       {2, 0, false},        {0, step, false},  // replay
      {1, step, true},      {0, step - 1, true},  {-1, step - 1, false},
  };
  for (const auto& c : cases) {
    const std::string code = korvan::totpCode(kSeed, step + c.offset);
    const std::optional<long long> got = korvan::acceptedStep(kSeed, code, now, c.lastStep);
    EXPECT_EQ(got.has_value(), c.accepted) << c.offset << " after " << c.lastStep - step;
    if (got) {
      EXPECT_EQ(*got, step + c.offset);
    }
  }
  // Only six digits are a code.
  const std::string right = korvan::totpCode(kSeed, step);
  for (const std::string& odd : {right + "0", right.substr(1), std::string(" ") + right.substr(1),
                                 std::string()}) {
    EXPECT_FALSE(korvan::acceptedStep(kSeed, odd, now, 0)) << odd;
  }
}

TEST(Totp, EnrolmentUri) {
  EXPECT_EQ(korvan::totpUri("Korvan", "o'neil x", kSeed),
            "otpauth://totp/Korvan:o%27neil%20x?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ"
            "&issuer=Korvan&algorithm=SHA1&digits=6&period=30");
}

}  // namespace
