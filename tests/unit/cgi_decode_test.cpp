// The CGI layer's decoding: environment, URL-encoded and multipart bodies.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cgi/cgic.h"
#include "form/form.h"
#include "testroot.h"

using korvan::ParseResult;

namespace {

const std::string kBoundary = "----KorvanFormB0undary7";
// The boundary parameter quoted, in capitals and after another one.
const std::string kMultipart = "multipart/form-data; charset=utf-8; BOUNDARY=\"" + kBoundary + "\"";

std::string part(const std::string& disposition, const std::string& body) {
  return "--" + kBoundary + "\r\nContent-Disposition: " + disposition + "\r\n\r\n" + body + "\r\n";
}
const std::string kEnd = "--" + kBoundary + "--\r\n";

// The decoded entries as "name=value;", a file part as "name=@file:type:contents;"
// and "!" after an entry whose length field disagrees with its value.
std::string listing() {
  std::string out;
  for (const korvan::FormEntry& e : requestForm().entries()) {
    const bool file = !e.tfileName().empty();
    std::string value = file ? korvantest::readFile(e.tfileName()) : e.value;
    out += e.attr + "=" + (file ? "@" + e.fileName + ":" + e.contentType + ":" : "") + value +
           (e.valueLength == static_cast<int>(value.size()) ? ";" : "!;");
  }
  return out;
}

class CgiDecode : public ::testing::Test {
 protected:
  void TearDown() override {
    cgiFreeResources();
    for (const char* name : {"REQUEST_METHOD", "CONTENT_TYPE", "CONTENT_LENGTH"}) unsetenv(name);
    cgiIn = stdin;
    if (input_ != nullptr) fclose(input_);
  }
  // Captures a POST of `body` with `contentType`, the body on cgiIn.
  void post(const std::string& body, const std::string& contentType = kMultipart) {
    setenv("REQUEST_METHOD", "POST", 1);
    setenv("CONTENT_TYPE", contentType.c_str(), 1);
    setenv("CONTENT_LENGTH", std::to_string(body.size()).c_str(), 1);
    env_ = korvan::CgiEnvironment::capture();
    cgiFreeResources();
    if (input_ != nullptr) fclose(input_);
    input_ = tmpfile();
    fwrite(body.data(), 1, body.size(), input_);
    rewind(input_);
    cgiIn = input_;
  }
  std::string decodeQuery(const std::string& query) {
    cgiFreeResources();
    EXPECT_EQ(requestForm().parsePairs(query), ParseResult::kSuccess);
    return listing();
  }
  ParseResult decode() {
    return korvan::equalsNoCase(env_.mediaType, "multipart/form-data")
               ? requestForm().parseMultipart(cgiIn, env_.contentLength, env_.boundary)
               : requestForm().parseUrlEncodedBody(cgiIn, env_.contentLength);
  }
  FILE* input_ = nullptr;
  korvan::CgiEnvironment env_;
};

TEST_F(CgiDecode, UrlEncodedPairs) {
  const std::pair<const char*, const char*> cases[] = {
      {"a=1&b=%41+c", "a=1;b=A c;"},
      {"a&b=1", "a&b=1;"},
      {"a=1&b", "a=1;"},
      {"=x", "=x;"},
      {"a=&b=", "a=;b=;"},
      {"a=1=2&&c=3", "a=1=2;&c=3;"},
      {"", ""},
      {"noequals", ""},
      {"k%3D=%6a%4A%2b+", "k==jJ+ ;"},
      {"a=x%4", "a=x;"},
      {"a=x%", "a=x;"},
      {"a=x%zzy", "a=x;"},  // non-hex digits count as 0: a NUL, which ends the value
  };
  for (const auto& [query, pairs] : cases) EXPECT_EQ(decodeQuery(query), pairs) << query;
}

// Fields stay in memory, files go to private temporary files that go away
// with the entries; headers are read in every spelling a client may use.
TEST_F(CgiDecode, MultipartFieldsFilesAndHeaderSpellings) {
  std::string firmware;
  for (int i = 0; i < 3000; ++i) firmware.push_back(static_cast<char>((i * 7) % 256));
  firmware += "\r\n--" + kBoundary.substr(0, 10) + "\r\n-\r\r\n";  // near misses of the boundary
  post("preamble is ignored\r\n" + part("form-data; name=\"a\"; size=3", "1\r\nline two") +
       part("form-data; size=3; name=b", "2") +
       // header and parameter names ignore case; no blank after the colon
       "--" + kBoundary + "\r\ncontent-DISPOSITION:Form-Data; NAME=c; FileName=\"c.txt\"\r\n" +
       "CONTENT-TYPE:  \"text/x-c\" junk; charset=ascii\r\n\r\n" + firmware + "\r\n" +
       // header lines ended by a bare LF or a bare CR
       "--" + kBoundary + "\r\nContent-Disposition: form-data; name=d\n\n4\r\n" + "--" + kBoundary +
       "\r\nContent-Disposition: form-data; name=e\r\r5\r\n" +
       // a parameter without "=" ends the parameters
       part("form-data; name=f; creation-date=x; name=g", "6") +
       // parts that are no form fields are skipped whole, a body that looks
       // like a header block included
       part("attachment; name=\"x\"",
            "--" + kBoundary + "-\r\nContent-Disposition: form-data; name=evil\r\n\r\nv") +
       "--" + kBoundary + "\r\nContent-Type: text/plain\r\n\r\nno disposition\r\n" + kEnd +
       "epilogue");
  ASSERT_EQ(decode(), ParseResult::kSuccess);
  EXPECT_EQ(listing(), "a=1\r\nline two;b=2;c=@c.txt:text/x-c:" + firmware + ";d=4;e=5;f=6;");
  const std::string temp = requestForm().entries().at(2).tfileName();
  struct stat st {};
  EXPECT_TRUE(temp.rfind("/tmp/cgic", 0) == 0 && stat(temp.c_str(), &st) == 0) << temp;
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  // The spool is held while its entry lives: a sweep leaves it alone.
  korvan::removeAbandonedSpools();
  EXPECT_EQ(access(temp.c_str(), F_OK), 0);
  const int fd = open(temp.c_str(), O_RDONLY);
  EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
  close(fd);
  cgiFreeResources();
  EXPECT_TRUE(requestForm().entries().empty());
  EXPECT_NE(access(temp.c_str(), F_OK), 0);
}

TEST_F(CgiDecode, BodyOnAPipeHeldOpenIsReadToTheDeclaredLength) {
  const std::pair<std::string, std::string> cases[] = {
      {"application/x-www-form-urlencoded", "postKey=%7B%22type%22%3A1%7D"},
      {kMultipart, part("form-data; name=f; filename=f", std::string(5000, 'p')) +
                       part("form-data; name=postKey", "{\"type\":1}") + kEnd},
  };
  for (const auto& [type, body] : cases) {
    post(body, type);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], body.data(), body.size()), static_cast<ssize_t>(body.size()));
    // The writer stays open; a read past the body would fail at once.
    ASSERT_EQ(fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
    cgiIn = fdopen(fds[0], "rb");
    EXPECT_EQ(decode(), ParseResult::kSuccess);
    char buffer[64];
    EXPECT_EQ(cgiFormStringNoNewlines("postKey", buffer, sizeof buffer), cgiFormSuccess) << type;
    EXPECT_STREQ(buffer, "{\"type\":1}");
    fclose(cgiIn);
    close(fds[1]);
  }
}

}  // namespace
