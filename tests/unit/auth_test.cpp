// Pieces of login and the snapshot that work without a request: session
// tokens, the lock-out arithmetic and the module conversion.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>

#include "auth/login.h"
#include "store/db.h"

namespace {

TEST(SessionToken, Is128RandomBitsInLowerCaseHex) {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    std::string token = login::newSessionToken();
    ASSERT_EQ(token.size(), 32u);
    EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos) << token;
    seen.insert(token);
  }
  EXPECT_EQ(seen.size(), 200u);
}

TEST(LockOut, CountsLockAndExpiry) {
  // With pwdTry 3 the attempts numbered 1..3 are tested, the 4th checks the lock.
  EXPECT_FALSE(login::lockCheckDue(3, 3));
  EXPECT_TRUE(login::lockCheckDue(3, 4));
  EXPECT_FALSE(login::lockCheckDue(0, 50));
  EXPECT_FALSE(login::lockCheckDue(-2, 50));
  EXPECT_TRUE(login::stillLocked(1200));
  EXPECT_FALSE(login::stillLocked(1201));

  using login::FailureRecord;
  EXPECT_EQ(login::failureRecord(0, 3), FailureRecord::insertFirst);
  EXPECT_EQ(login::failureRecord(2, 3), FailureRecord::countOnly);
  EXPECT_EQ(login::failureRecord(3, 3), FailureRecord::renewLockTime);
  // Without a limit every failure after the first renews the time.
  EXPECT_EQ(login::failureRecord(2, 0), FailureRecord::renewLockTime);

  EXPECT_FALSE(login::passwordExpired(90, 90 * 86400.0));
  EXPECT_TRUE(login::passwordExpired(90, 90 * 86400.0 + 1));
  EXPECT_FALSE(login::passwordExpired(0, 1e12));
  EXPECT_TRUE(login::passwordExpired(INT_MAX, 1e20));  // no overflow in the product
}

TEST(LockOut, PolicyNumbersReadLeadingIntegers) {
  Json::Value policy;
  Json::Reader().parse(R"({"pwdTry":"5 tries","pwdExpire":30.9,"a":[1],"b":true,"c":" -7x"})",
                       policy);
  EXPECT_EQ(login::policyNumber(policy, "pwdTry"), 5);
  EXPECT_EQ(login::policyNumber(policy, "pwdExpire"), 30);
  EXPECT_EQ(login::policyNumber(policy, "a"), 0);
  EXPECT_EQ(login::policyNumber(policy, "b"), 0);
  EXPECT_EQ(login::policyNumber(policy, "c"), -7);
  EXPECT_EQ(login::policyNumber(policy, "missing"), 0);
  EXPECT_EQ(login::policyNumber(Json::Value(Json::arrayValue), "pwdTry"), 0);
  EXPECT_EQ(login::leadingInt("99999999999"), INT_MAX);
  EXPECT_EQ(login::leadingInt("-99999999999"), INT_MIN);
  EXPECT_EQ(login::leadingInt("abc"), 0);
}

TEST(LockOut, LocalTimesParseOrClear) {
  setenv("TZ", "UTC0", 1);
  tzset();
  EXPECT_EQ(login::parseLocalTime("2026-03-07 09:05:02"), 1772874302);
  time_t cleared = login::parseLocalTime("");
  EXPECT_EQ(login::parseLocalTime("not a time"), cleared);
  EXPECT_LT(cleared, 0);  // long before any lock or password: never "recent"
  unsetenv("TZ");
  tzset();
}

Json::Value dog(const std::string& uid, const std::string& frame, const std::string& code) {
  Json::Value d;
  d["uid"] = uid;
  d["frame"] = frame;
  d["code"] = code;
  d["type2"] = "0";
  return d;
}

TEST(ModuleConversion, KindsFramesAndCodes) {
  Json::Value reply;
  reply["dogs"].append(dog("U1xx", "25", "1500"));
  reply["dogs"].append(dog("V3xx", "35", "500"));
  reply["dogs"].append(dog("S2xx", "25", "1500"));
  reply["dogs"].append(dog("U1xx", "24", "999"));  // not in the tables
  reply["dogs"].append(dog("", "1", "500"));
  reply["dogs"].append(dog("X", "1", "500"));
  reply["dogs"].append(dog("x4", "1", "500"));
  CDB::convertDogTCF(reply);
  const Json::Value& d = reply["dogs"];
  auto expect = [&](int i, int type2, int frame, int code) {
    EXPECT_EQ(d[i]["type2"], type2) << i;
    EXPECT_EQ(d[i]["frame"], frame) << i;
    EXPECT_EQ(d[i]["code"], code) << i;
    EXPECT_TRUE(d[i]["frame"].isInt()) << i;
  };
  expect(0, 1, 5, 2);
  expect(1, 3, 7, 0);
  expect(2, 2, 10, 30);
  expect(3, 1, -1, -1);
  expect(4, 0, 10, 30);
  expect(5, 0, 10, 30);
  expect(6, 0, 10, 30);

  Json::Value none(Json::objectValue);
  CDB::convertDogTCF(none);
  EXPECT_FALSE(none.isMember("dogs"));
}

}  // namespace
