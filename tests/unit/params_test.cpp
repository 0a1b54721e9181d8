// Decoding a request document against its member rules: which member shape is
// refused first, which number refusal is kept for after the permission
// check, and what the typed fields receive.
#include "util/params.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "util/myerr.h"

namespace {

using korvan::MemberType;

// The refusal `step` throws, or "" when it returns.
template <class Step>
std::string refusal(Step step) {
  try {
    step();
    return "";
  } catch (const CMyErr& e) {
    return e.what();
  }
}

TEST(Params, DecodeRefusesShapesAndKeepsTheFirstNumberRefusal) {
  const korvan::MemberRules rules = {
      {"p", MemberType::object},
      {"p.id", MemberType::text, true, true},
      {"p.opt", MemberType::text, true, false},
      {"p.n", MemberType::object},
      {"p.later", MemberType::text, true, true},
  };
  struct Case {
    const char* document;
    const char* shape;   // thrown by decode
    const char* number;  // thrown by checkNumbers after a clean decode
  };
  const Case cases[] = {
      {R"({"p":{"id":"12","later":"-3"}})", "", ""},
      {R"({"p":{"id":7,"later":"0","n":{"a":"b"}}})", "", ""},
      {"", "", "invalid number: id"},  // nothing parsed: every number is missing
      {R"({})", "", "invalid number: id"},
      {R"({"p":{"id":"1"}})", "", "invalid number: later"},
      {R"({"p":{"id":"1","opt":"x","later":"x"}})", "", "invalid number: opt"},
      {R"({"p":{"id":"1e3","later":"1"}})", "", "invalid number: id"},
      {R"({"p":{"id":true,"later":"1"}})", "", "invalid number: id"},
      {R"({"p":{"id":"","later":"1"}})", "", "invalid number: id"},
      {R"({"p":{"id":"- 1","later":"1"}})", "", "invalid number: id"},
      {R"([1])", "invalid request: the document is not an object", nullptr},
      {R"({"p":[1]})", "invalid request: p is not an object", nullptr},
      {R"({"p":{"id":"x","m":{"a":"b"}}})", "invalid request: p.m is not text", nullptr},
      {R"({"p":{"id":"1","n":"x"}})", "invalid request: p.n is not an object", nullptr},
      {R"({"p":{"n":{"deep":[1]}}})", "invalid request: p.n.deep is not text", nullptr},
      {R"({"token":{},"p":1})", "invalid request: token is not text", nullptr},
      {R"({"p":{"id":"x"},"user":"1"})", "invalid request: user is not an object", nullptr},
      {R"({"q":[1],"user":{"id":[2]}})", "invalid request: user.id is not text", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    Json::Value document;
    Json::Reader().parse(c.document, document);
    korvan::Params params;
    EXPECT_EQ(refusal([&] { params.decode(rules, document); }), c.shape);
    if (c.number != nullptr) {
      EXPECT_EQ(refusal([&] { params.checkNumbers(); }), c.number);
    }
  }
}

// One field of each kind, filled from members of `p` and the common session.
struct Fields : korvan::Params {
  std::string text;
  std::optional<std::string> maybe;
  korvan::Number number;
  Json::Value whole;
  static const korvan::MemberRules& rules() {
    static const korvan::MemberRules rules = {
        {"p", MemberType::object, false, false, "", korvan::field<&Fields::whole>()},
        {"p.t", MemberType::text, false, false, "", korvan::field<&Fields::text>()},
        {"p.m", MemberType::text, false, false, "", korvan::field<&Fields::maybe>()},
        {"p.n", MemberType::text, true, false, "", korvan::field<&Fields::number>()},
    };
    return rules;
  }
};

TEST(Params, DecodeFillsTheTypedFields) {
  struct Case {
    const char* document;
    const char* text;
    std::optional<std::string> maybe;
    std::optional<long long> number;
    const char* session;  // user.id/user.token/userID ("-" when absent)
  };
  const Case cases[] = {
      {R"({"p":{"t":"a","m":"","n":"-12"}})", "a", "", -12, "//-"},
      {R"({"p":{"t":7,"m":null,"n":7}})", "7", "", 7, "//-"},
      {R"({"p":{"t":true,"n":"007"}})", "true", std::nullopt, 7, "//-"},
      {R"({"p":{"t":null,"n":"1x"}})", "", std::nullopt, std::nullopt, "//-"},
      {R"({"p":{"n":"99999999999999999999"}})", "", std::nullopt, LLONG_MAX, "//-"},
      {R"({"user":{"id":"3","token":"k"},"userID":""})", "", std::nullopt, std::nullopt, "3/k/"},
      {"", "", std::nullopt, std::nullopt, "//-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    Json::Value document;
    Json::Reader().parse(c.document, document);
    Fields fields;
    fields.decode(Fields::rules(), document);
    EXPECT_EQ(fields.text, c.text);
    EXPECT_EQ(fields.maybe, c.maybe);
    EXPECT_EQ(fields.number, c.number);
    EXPECT_EQ(fields.whole, document["p"]);
    EXPECT_EQ(fields.sessionId + "/" + fields.sessionToken + "/" + fields.userId.value_or("-"),
              c.session);
  }
}

}  // namespace
