// The CGI layer: environment capture, URL-encoded decoding and the lookups.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "cgi_test_util.h"

namespace {

using cgitest::CgiEnv;
using cgitest::entries;

class CgicTest : public cgitest::CgiTest {};

// ---- Environment capture -------------------------------------------------------

TEST_F(CgicTest, ContentTypeLosesItsParametersAndYieldsTheBoundary) {
  struct Case {
    const char* contentType;
    const char* mediaType;
    const char* boundary;
  } cases[] = {
      {"application/x-www-form-urlencoded; charset=UTF-8", "application/x-www-form-urlencoded", ""},
      {"multipart/form-data; boundary=----WebKitX1", "multipart/form-data", "----WebKitX1"},
      {"multipart/form-data;charset=x;  BOUNDARY=abc def", "multipart/form-data", "abc"},
      {"multipart/form-data; boundary=abc; charset=utf-8", "multipart/form-data", "abc"},
      {"multipart/form-data; boundary=\"a b;c\"", "multipart/form-data", "a b;c"},
      {"text/plain;boundary=", "text/plain", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contentType);
    CgiEnv env;
    env.contentType = c.contentType;
    capture(env, "");
    EXPECT_STREQ(cgiContentType, c.mediaType);
    EXPECT_STREQ(cgiMultipartBoundary, c.boundary);
  }
}

// ---- URL-encoded pairs -----------------------------------------------------------

std::vector<std::pair<std::string, std::string>> decodeQuery(const std::string& query) {
  cgiFreeResources();
  std::string copy = query;
  EXPECT_EQ(cgiParseFormInput(copy.data(), static_cast<int>(copy.size())), cgiParseSuccess);
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& e : entries()) {
    EXPECT_EQ(e.valueLength, static_cast<int>(strlen(e.value.c_str())));
    EXPECT_EQ(e.fileName, "");
    EXPECT_EQ(e.contentType, "");
    EXPECT_EQ(e.tfileName, "");
    out.emplace_back(e.attr, e.value.c_str());
  }
  return out;
}

TEST_F(CgicTest, PairsSplitAtEqualsAndAmpersand) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(decodeQuery("a=1&b=%41+c"), (Pairs{{"a", "1"}, {"b", "A c"}}));
  EXPECT_EQ(decodeQuery("a&b=1"), (Pairs{{"a&b", "1"}}));
  EXPECT_EQ(decodeQuery("a=1&b"), (Pairs{{"a", "1"}}));
  EXPECT_EQ(decodeQuery("=x"), (Pairs{{"", "x"}}));
  EXPECT_EQ(decodeQuery("a=&b="), (Pairs{{"a", ""}, {"b", ""}}));
  EXPECT_EQ(decodeQuery("a=1=2&&c=3"), (Pairs{{"a", "1=2"}, {"&c", "3"}}));
  EXPECT_EQ(decodeQuery(""), Pairs{});
  EXPECT_EQ(decodeQuery("noequals"), Pairs{});
}

TEST_F(CgicTest, UnescapingHandlesHexCasePlusAndCutOffEscapes) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(decodeQuery("k%3D=%6a%4A%2b+"), (Pairs{{"k=", "jJ+ "}}));
  EXPECT_EQ(decodeQuery("a=x%4"), (Pairs{{"a", "x"}}));
  EXPECT_EQ(decodeQuery("a=x%"), (Pairs{{"a", "x"}}));
  // Non-hex digits count as 0: "%zz" is a NUL byte, which ends the value.
  EXPECT_EQ(decodeQuery("a=x%zzy"), (Pairs{{"a", "x"}}));
}

TEST_F(CgicTest, PostBodyFromAPipeHeldOpenNeedsNoEndOfFile) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string body = "postKey=%7B%22type%22%3A1%7D";
  ASSERT_EQ(write(fds[1], body.data(), body.size()), static_cast<ssize_t>(body.size()));
  // The writer stays open; a read past the body would fail at once.
  ASSERT_EQ(fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
  const std::string length = std::to_string(body.size());
  CgiEnv env;
  env.contentLength = length.c_str();
  capture(env, "");
  FILE* pipeIn = fdopen(fds[0], "rb");
  ASSERT_NE(pipeIn, nullptr);
  cgiIn = pipeIn;
  EXPECT_EQ(cgiParsePostFormInput(), cgiParseSuccess);
  char buffer[64];
  EXPECT_EQ(cgiFormStringNoNewlines("postKey", buffer, sizeof buffer), cgiFormSuccess);
  EXPECT_STREQ(buffer, "{\"type\":1}");
  fclose(pipeIn);
  close(fds[1]);
}

// ---- Lookups -----------------------------------------------------------------------

void decode(std::string query) {
  ASSERT_EQ(cgiParseFormInput(query.data(), static_cast<int>(query.size())), cgiParseSuccess);
}

TEST_F(CgicTest, StringLookupFitsMaxMinusOneBytes) {
  std::vector<char> buffer(30000, 'z');
  decode("fits=" + std::string(29999, 'a') + "&long=" + std::string(30000, 'b'));

  EXPECT_EQ(cgiFormStringNoNewlines("fits", buffer.data(), 30000), cgiFormSuccess);
  EXPECT_EQ(std::string(buffer.data()), std::string(29999, 'a'));

  EXPECT_EQ(cgiFormStringNoNewlines("long", buffer.data(), 30000), cgiFormTruncated);
  EXPECT_EQ(std::string(buffer.data()), std::string(29999, 'b'));
}

TEST_F(CgicTest, StringLookupDropsLineBreaksBeforeCounting) {
  decode("only=%0D%0A%0A%0D&mixed=a%0D%0Ab%0A&dup=first&dup=second");
  char buffer[3] = {'x', 'x', 'x'};
  EXPECT_EQ(cgiFormStringNoNewlines("only", buffer, sizeof buffer), cgiFormEmpty);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(cgiFormStringNoNewlines("mixed", buffer, sizeof buffer), cgiFormSuccess);
  EXPECT_STREQ(buffer, "ab");
  char wide[16];
  EXPECT_EQ(cgiFormStringNoNewlines("dup", wide, sizeof wide), cgiFormSuccess);
  EXPECT_STREQ(wide, "first");
  EXPECT_EQ(cgiFormStringNoNewlines("DUP", wide, sizeof wide), cgiFormNotFound);
  EXPECT_STREQ(wide, "");
}

}  // namespace
