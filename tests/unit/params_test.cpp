// Decoding a request document against its member rules: which member shape is
// refused first, and which number refusal is kept for after the permission
// check.
#include "util/params.h"

#include <gtest/gtest.h>

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

}  // namespace
