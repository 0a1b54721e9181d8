// The reply writer must give exactly the library writer's text, escaped.
#include <gtest/gtest.h>

#include <string>

#include "cgi/reply.h"

namespace {

Json::Value text(const std::string& s) { return Json::Value(s.data(), s.data() + s.size()); }

TEST(ReplyText, EqualsTheLibraryWritersEscapedText) {
  Json::Value holes(Json::arrayValue);
  holes[3] = 1;  // elements 0..2 were never set
  Json::Value nested;
  nested["a"]["b"][0]["c"] = Json::Value(Json::objectValue);
  nested["a"]["e"] = Json::Value(Json::arrayValue);
  const Json::Value cases[] = {
      Json::Value(),
      Json::Value(Json::objectValue),
      holes,
      nested,
      Json::Value(-7),
      Json::Value(Json::UInt64(18446744073709551615ULL)),
      Json::Value(Json::Int64(-9223372036854775807LL - 1)),
      Json::Value(0.1),
      Json::Value(-0.0),
      Json::Value(1e300),
      Json::Value(123456789.125),
      Json::Value(true),
      text("plain text / with slash"),
      text("quote \" backslash \\ tab \t newline \n bell \x07 del \x7f"),
      text("</script><b>&amp;</b>"),
      text("a < b"),
      text("caf\xC3\xA9 \xE2\x80\xA8 \xE2\x80\xA9 \xF0\x9F\x98\x80"),
      text("broken \xC3 utf-8 \xFF"),
      text(std::string("nul\0inside", 10)),
  };
  for (const Json::Value& value : cases) {
    Json::Value doc;
    doc["value"] = value;
    doc[std::string("key \"<&>\"\xE2\x80\xA8", 10)] = value;
    doc[std::string("nul\0key", 7)] = Json::Value("x");
    doc["list"].append(value);
    doc["list"].append(doc["value"]);
    const std::string expected = escapeMarkup(Json::FastWriter().write(doc));
    EXPECT_EQ(replyText(doc), expected) << expected;
  }
}

}  // namespace
