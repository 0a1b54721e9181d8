// The second factor through the program: enrolment, logins with codes (the
// clock held by KORVAN_TOTP_NOW), replay, counted failures, reset, and the
// policy that makes administrators enrol.
#include <gtest/gtest.h>

#include <filesystem>

#include "calls.h"
#include "testroot.h"
#include "util/totp.h"

namespace korvantest {
namespace {

const time_t kNow = 1800000015;  // 15 s into a step

// The seed of a base32 text, as an authenticator app reads it.
std::string fromBase32(const std::string& text) {
  static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
  std::string out;
  unsigned buffer = 0;
  int bits = 0;
  for (char c : text) {
    buffer = (buffer << 5) | static_cast<unsigned>(kAlphabet.find(c));
    bits += 5;
    if (bits >= 8) {
      out.push_back(static_cast<char>((buffer >> (bits - 8)) & 0xff));
      bits -= 8;
    }
  }
  return out;
}

class SecondFactor : public ::testing::Test {
 protected:
  Json::Value at(time_t when, const Json::Value& request) {
    return ajax(root_, request, {{"KORVAN_TOTP_NOW", std::to_string(when)}});
  }
  std::string outcome(const Json::Value& reply) {
    return reply["ret"].asString() + " " + reply["retMsg"].asString();
  }
  Json::Value login(time_t when, const std::string& otp, const char* name = "operator",
                    const char* pw = "operator") {
    Json::Value request = loginRequest(name, pw);
    if (!otp.empty()) request["otp"] = otp;
    return at(when, request);
  }
  // Enrols the operator at kNow; returns the seed.
  std::string enrol() {
    const Json::Value begun = at(kNow, sessionRequest(root_, "totpBegin", "2"));
    EXPECT_EQ(begun["ret"], "ok") << begun;
    const std::string text = begun["totp"]["secret"].asString();
    EXPECT_NE(begun["totp"]["uri"].asString().find("secret=" + text), std::string::npos);
    const std::string seed = fromBase32(text);
    Json::Value confirm = sessionRequest(root_, "totpConfirm", "2");
    confirm["otp"] = korvan::totpCode(seed, korvan::totpStep(kNow) + 3);
    EXPECT_EQ(outcome(at(kNow, confirm)), "warning code wrong");
    EXPECT_EQ(root_.scalar("select totpSecret from user2 where id=2"), "") << "not active yet";
    confirm["otp"] = korvan::totpCode(seed, korvan::totpStep(kNow));
    EXPECT_EQ(at(kNow, confirm)["ret"], "ok");
    return seed;
  }
  std::string code(const std::string& seed, time_t when) {
    return korvan::totpCode(seed, korvan::totpStep(when));
  }
  // Each listed account's `totp` member as `caller` sees it ("-" when absent).
  std::string factors(const char* caller) {
    const Json::Value reply = ajax(root_, sessionRequest(root_, "ref", caller));
    std::string out;
    for (const Json::Value& user : reply["users"]) {
      out += user["nm"].asString() + "=" + user.get("totp", "-").asString() + " ";
    }
    return out;
  }
  std::string failures() {
    return root_.scalar("select ifnull((select f_wrongTimes from userLock where "
                        "f_userName='operator'), 0)");
  }
  TempRoot root_;
};

TEST_F(SecondFactor, EnrolAndLogInWithACode) {
  const std::string seed = enrol();
  const std::string stored = root_.scalar("select totpSecret from user2 where id=2");
  EXPECT_EQ(stored.substr(0, 3), "k1:") << "sealed with the device key";
  EXPECT_EQ(dumpTables(root_).find(korvan::base32(seed)), std::string::npos);

  // The password alone asks for the code and counts no failure.
  const time_t later = kNow + 30;
  EXPECT_EQ(outcome(login(later, "")), "err second factor code required");
  EXPECT_EQ(failures(), "0");
  // The enrolment's code was used: replayed, it is refused and counted.
  EXPECT_EQ(outcome(login(kNow, code(seed, kNow))), "err Second factor code error: 1 times");
  const Json::Value ok = login(later, code(seed, later));
  EXPECT_EQ(ok["ret"], "ok") << ok;
  EXPECT_EQ(failures(), "0");
  // Once used, the code is spent; the next step's is accepted a step early.
  EXPECT_EQ(outcome(login(later, code(seed, later))), "err Second factor code error: 1 times");
  EXPECT_EQ(login(later, code(seed, later + 30))["ret"], "ok");
  // A wrong password is refused before any code is looked at; the code it
  // left unspent is not in the trace log.
  EXPECT_EQ(outcome(login(later, code(seed, later + 60), "operator", "wrong")),
            "err User Name or Password error: 1 times");
  const std::string trace = root_.traceLog();
  EXPECT_NE(trace.find("\"otp\" : \"***\""), std::string::npos);
  EXPECT_EQ(trace.find("\"otp\" : \"" + code(seed, later + 60)), std::string::npos);
  EXPECT_EQ(root_.scalar("select group_concat(typeSub, ' ') from (select typeSub from log2 "
                         "where typeSub like 'totp%' order by id)"),
            "totpFailed totpEnrol");
}

TEST_F(SecondFactor, WrongCodesLockTheNameAndResetRemovesTheFactor) {
  EXPECT_EQ(factors("1"), "operator=0 admin=0 ");
  const std::string seed = enrol();
  // Administrators see who has a factor (what a reset would remove); no one
  // else sees the member, and no reply carries the seed.
  EXPECT_EQ(factors("1"), "operator=1 admin=0 ");
  EXPECT_EQ(factors("2"), "operator=- ");
  for (const char* caller : {"1", "2"}) {
    const std::string text = ajax(root_, sessionRequest(root_, "ref", caller)).toStyledString();
    EXPECT_EQ(text.find(korvan::base32(seed)), std::string::npos) << caller;
  }
  for (int n = 1; n <= 3; ++n) {
    EXPECT_EQ(outcome(login(kNow + 60, "000000")),
              "err Second factor code error: " + std::to_string(n) + " times");
  }
  EXPECT_EQ(outcome(login(kNow + 60, code(seed, kNow + 60))),
            "err Exceed max retry count. Please login after 20 minutes");
  EXPECT_NE(root_.scalar("select group_concat(sth) from log2 where typeSub='loginFailed'")
                .find("wrong code"),
            std::string::npos);

  // An administrator resets it, which is recorded; the operator then logs in
  // with the password alone.
  Json::Value reset = sessionRequest(root_, "totpReset", "1");
  reset["id"] = "2";
  EXPECT_EQ(ajax(root_, reset)["ret"], "ok");
  EXPECT_EQ(ajax(root_, reset)["retMsg"], "Nothing modified");
  EXPECT_EQ(root_.scalar("select count(*) from log2 where typeSub='totpReset'"), "1");
  EXPECT_EQ(factors("1"), "operator=0 admin=0 ");
  root_.exec("delete from userLock");
  EXPECT_EQ(login(kNow + 60, "")["ret"], "ok");
}

// A database on another switch meets another device key: its seeds do not
// open there, and its users log in with the password until they enrol again.
TEST_F(SecondFactor, SeedsDoNotOpenUnderAnotherKey) {
  enrol();
  std::filesystem::remove(root_.path("usr/app/korvan.key"));
  EXPECT_EQ(login(kNow + 30, "")["ret"], "ok");
}

TEST_F(SecondFactor, PolicyMakesAdministratorsEnrol) {
  root_.exec("update secureConf set f_pwd='{\"pwdTry\":3,\"totpAdmin\":\"1\"}';");
  const Json::Value reply = login(kNow, "", "admin", "admin");
  ASSERT_EQ(reply["ret"], "ok") << reply;
  EXPECT_EQ(reply["totpEnrol"], true);
  Json::Value call = sessionOf(reply, "saveLanguage");
  call["language"] = "de";
  EXPECT_EQ(outcome(at(kNow, call)), "err second factor enrolment required");
  for (const char* type : {"ref", "totpBegin"}) {
    call = sessionOf(reply, type);
    EXPECT_EQ(at(kNow, call)["ret"], "ok") << type;
  }
  // Operators are not held.
  EXPECT_EQ(ajax(root_, sessionRequest(root_, "setTime", "2"))["retMsg"].asString().find(
                "enrolment"),
            std::string::npos);
}

}  // namespace
}  // namespace korvantest
