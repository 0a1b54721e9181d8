// The CGI layer: environment capture, URL-encoded decoding, the lookups, the
// response header, and the start-up run as main does it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
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

TEST_F(CgicTest, LongContentTypeIsCutTo1023Bytes) {
  const std::string longType(2000, 'x');
  CgiEnv env;
  env.contentType = longType.c_str();
  capture(env, "");
  EXPECT_EQ(std::string(cgiContentType), longType.substr(0, 1023));
}

TEST_F(CgicTest, ContentLengthTakesLeadingDigitsOnly) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"42", 42}, {"12abc", 12}, {"abc", 0}, {"-5", 0}, {"", 0}, {"99999999999999", INT_MAX}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CgiEnv env;
    env.contentLength = c.text;
    capture(env, "");
    EXPECT_EQ(cgiContentLength, c.value);
  }
  // Unset variables read as empty strings, never as null.
  capture(CgiEnv{}, "");
  EXPECT_EQ(cgiContentLength, 0);
  ASSERT_TRUE(cgiRequestMethod != nullptr && cgiQueryString != nullptr && cgiRemoteAddr != nullptr);
  EXPECT_STREQ(cgiRequestMethod, "");
  EXPECT_STREQ(cgiQueryString, "");
  EXPECT_STREQ(cgiRemoteAddr, "");
}

TEST_F(CgicTest, CaseInsensitiveComparisonFoldsLettersOnly) {
  EXPECT_TRUE(cgiStrEqNc("POST", "post"));
  EXPECT_TRUE(cgiStrEqNc("", ""));
  EXPECT_FALSE(cgiStrEqNc("pos", "post"));
  EXPECT_FALSE(cgiStrEqNc("post", "pos"));
  EXPECT_FALSE(cgiStrEqNc("@", "`"));  // differ only in the case bit, but are no letters
  EXPECT_FALSE(cgiStrEqNc("[", "{"));
  EXPECT_TRUE(cgiStrBeginsNc("Boundary=x", "boundary="));
  EXPECT_TRUE(cgiStrBeginsNc("anything", ""));
  EXPECT_FALSE(cgiStrBeginsNc("bound", "boundary="));
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

TEST_F(CgicTest, CheckboxFindsEmptyValues) {
  decode("submitDownloadDB=&x=1");
  EXPECT_EQ(cgiFormCheckboxSingle("submitDownloadDB"), cgiFormSuccess);
  EXPECT_EQ(cgiFormCheckboxSingle("x"), cgiFormSuccess);
  EXPECT_EQ(cgiFormCheckboxSingle("submitdownloaddb"), cgiFormNotFound);
}

TEST_F(CgicTest, HeaderEndsWithAnEmptyLine) {
  FILE* out = tmpfile();
  ASSERT_NE(out, nullptr);
  cgiOut = out;
  cgiHeaderContentType("text/html;charset=utf-8");
  fflush(out);
  rewind(out);
  char text[64] = {};
  fread(text, 1, sizeof text - 1, out);
  fclose(out);
  EXPECT_STREQ(text, "Content-type: text/html;charset=utf-8\r\n\r\n");
}

// ---- The start-up as main runs it --------------------------------------------------

// What the stand-in request entry saw.
struct EntrySeen {
  int calls = 0;
  std::vector<cgitest::Entry> entries;
  std::string contentType;
  int contentLength = -1;
  mode_t tempMode = 0;
};
EntrySeen gSeen;

int recordingEntry() {
  ++gSeen.calls;
  gSeen.entries = entries();
  gSeen.contentType = cgiContentType;
  gSeen.contentLength = cgiContentLength;
  for (const auto& e : gSeen.entries) {
    struct stat st {};
    if (!e.tfileName.empty() && stat(e.tfileName.c_str(), &st) == 0) gSeen.tempMode = st.st_mode & 07777;
  }
  return 7;
}

// Runs the start-up with `body` on standard input and standard output caught,
// and a private root for the trace log.
class CgicRunTest : public CgicTest {
 protected:
  void SetUp() override {
    CgicTest::SetUp();
    gSeen = EntrySeen{};
    char rootTemplate[] = "/tmp/cgic_test_rootXXXXXX";
    ASSERT_NE(mkdtemp(rootTemplate), nullptr);
    root_ = rootTemplate;
    const char* old = getenv("KORVAN_ROOT");
    hadRoot_ = old != nullptr;
    if (hadRoot_) oldRoot_ = old;
    setenv("KORVAN_ROOT", root_.c_str(), 1);
    for (const char* dir : {"/usr", "/usr/app", "/usr/app/yal", "/usr/app/yal/www", "/usr/app/yal/www/cgi"}) {
      mkdir((root_ + dir).c_str(), 0700);
    }
  }
  void TearDown() override {
    if (hadRoot_) {
      setenv("KORVAN_ROOT", oldRoot_.c_str(), 1);
    } else {
      unsetenv("KORVAN_ROOT");
    }
    std::string log = root_ + "/usr/app/yal/www/cgi/log.txt";
    unlink(log.c_str());
    unlink((log + ".1").c_str());
    for (const char* dir : {"/usr/app/yal/www/cgi", "/usr/app/yal/www", "/usr/app/yal", "/usr/app", "/usr", ""}) {
      rmdir((root_ + dir).c_str());
    }
    CgicTest::TearDown();
  }

  // Returns cgicRunWith's result; *written gets what went to standard output.
  int run(const CgiEnv& env, const std::string& body, std::string* written) {
    env.apply();
    FILE* in = cgitest::fileWith(body);
    FILE* out = tmpfile();
    if (in == nullptr || out == nullptr) return INT_MIN;
    const int savedIn = dup(0);
    const int savedOut = dup(1);
    fflush(stdout);
    dup2(fileno(in), 0);
    dup2(fileno(out), 1);
    clearerr(stdin);
    fseek(stdin, 0, SEEK_SET);

    const int result = cgicRunWith(recordingEntry);

    fflush(stdout);
    dup2(savedIn, 0);
    dup2(savedOut, 1);
    close(savedIn);
    close(savedOut);
    clearerr(stdin);
    written->clear();
    rewind(out);
    char chunk[512];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, out)) > 0) written->append(chunk, got);
    fclose(in);
    fclose(out);
    return result;
  }

  std::string log() const { return cgitest::readWholeFile(root_ + "/usr/app/yal/www/cgi/log.txt"); }

  std::string root_;
  std::string oldRoot_;
  bool hadRoot_ = false;
};

TEST_F(CgicRunTest, GetDecodesTheQueryAndReturnsTheEntryResult) {
  CgiEnv env;
  env.method = "GET";
  env.query = "a=1&b=%41+c";
  env.contentLength = "999";
  std::string written;
  EXPECT_EQ(run(env, "", &written), 7);
  EXPECT_EQ(gSeen.calls, 1);
  ASSERT_EQ(gSeen.entries.size(), 2u);
  EXPECT_EQ(gSeen.entries[1].value, "A c");
  EXPECT_EQ(gSeen.contentLength, 11);
  EXPECT_EQ(cgiFormEntryFirst, nullptr);

  const std::string trace = log();
  const auto enter = trace.find("144_Time:");
  const auto method = trace.find("Msg:::GET\n");
  const auto get = trace.find("242_Time:");
  const auto before = trace.find("312_Time:");
  ASSERT_NE(enter, std::string::npos) << trace;
  ASSERT_NE(before, std::string::npos) << trace;
  EXPECT_LT(enter, method);
  EXPECT_LT(method, get);
  EXPECT_LT(get, before);
}

TEST_F(CgicRunTest, UrlEncodedPostWithCharsetIsDecoded) {
  CgiEnv env;
  env.method = "post";
  env.contentType = "Application/X-WWW-Form-Urlencoded; charset=UTF-8";
  env.contentLength = "9";
  env.query = "q=ignored";
  std::string written;
  EXPECT_EQ(run(env, "postKey=x", &written), 7);
  ASSERT_EQ(gSeen.entries.size(), 1u);
  EXPECT_EQ(gSeen.entries[0].attr, "postKey");
  EXPECT_EQ(gSeen.contentType, "Application/X-WWW-Form-Urlencoded");
}

TEST_F(CgicRunTest, OtherMediaTypesAndMethodsDecodeNothing) {
  struct Case {
    const char* method;
    const char* contentType;
    const char* contentLength;
  } cases[] = {
      {"POST", "application/json", "9"},
      {"PUT", "application/x-www-form-urlencoded", "9"},
      {"POST", "application/x-www-form-urlencoded", "0"},
      {"POST", "multipart/form-data; boundary=b", "0"},
      {nullptr, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method != nullptr ? c.method : "(unset)");
    gSeen = EntrySeen{};
    CgiEnv env;
    env.method = c.method;
    env.contentType = c.contentType;
    env.contentLength = c.contentLength;
    env.query = "q=1";
    std::string written;
    EXPECT_EQ(run(env, "postKey=x", &written), 7);
    EXPECT_EQ(gSeen.calls, 1);
    EXPECT_TRUE(gSeen.entries.empty());
  }
}

TEST_F(CgicRunTest, DecodingFailureEndsWithoutOutputOrEntry) {
  CgiEnv env;
  env.method = "POST";
  env.contentType = "application/x-www-form-urlencoded";
  env.contentLength = "50";
  std::string written = "unset";
  EXPECT_EQ(run(env, "a=1", &written), -1);
  EXPECT_EQ(gSeen.calls, 0);
  EXPECT_EQ(written, "");
  EXPECT_EQ(cgiFormEntryFirst, nullptr);
  EXPECT_EQ(log().find("312_Time:"), std::string::npos);
}

TEST_F(CgicRunTest, UploadedFileLivesUntilTheEntryReturns) {
  const std::string body =
      "--XyZ\r\n"
      "Content-Disposition: form-data; name=\"systemFile\"; filename=\"fw.bin\"\r\n"
      "Content-Type: application/octet-stream\r\n"
      "\r\n"
      "firmware\r\n"
      "--XyZ--\r\n";
  const std::string length = std::to_string(body.size());
  CgiEnv env;
  env.method = "POST";
  env.contentType = "multipart/form-data; boundary=XyZ";
  env.contentLength = length.c_str();
  std::string written;
  EXPECT_EQ(run(env, body, &written), 7);
  ASSERT_EQ(gSeen.entries.size(), 1u);
  const std::string temp = gSeen.entries[0].tfileName;
  EXPECT_EQ(temp.rfind("/tmp/cgic", 0), 0u) << temp;
  EXPECT_EQ(gSeen.tempMode, 0600u);
  EXPECT_EQ(gSeen.entries[0].valueLength, 8);
  EXPECT_NE(access(temp.c_str(), F_OK), 0);

  // The same body cut short: no entry, no output.
  gSeen = EntrySeen{};
  const std::string cut = body.substr(0, body.size() - 12);
  const std::string cutLength = std::to_string(cut.size());
  env.contentLength = cutLength.c_str();
  EXPECT_EQ(run(env, cut, &written), -1);
  EXPECT_EQ(gSeen.calls, 0);
  EXPECT_EQ(written, "");
}

}  // namespace
