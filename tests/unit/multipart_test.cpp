// The multipart decoder and the uploaded-file lookups.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "cgi_test_util.h"

namespace {

using cgitest::CgiEnv;
using cgitest::entries;
using cgitest::readWholeFile;

const std::string kBoundary = "----KorvanFormB0undary7";

std::string part(const std::string& disposition, const std::string& body,
                 const std::string& moreHeaders = "") {
  return "--" + kBoundary + "\r\nContent-Disposition: " + disposition + "\r\n" + moreHeaders + "\r\n" +
         body + "\r\n";
}

std::string closing() { return "--" + kBoundary + "--\r\n"; }

class MultipartTest : public cgitest::CgiTest {
 protected:
  // Decodes `body` as a POST with the given content type; CONTENT_LENGTH is
  // the body's size unless `length` is given.
  cgiParseResultType decode(const std::string& body, long length = -1,
                            const std::string& contentType = "multipart/form-data; boundary=" + kBoundary) {
    const std::string lengthText = std::to_string(length >= 0 ? length : static_cast<long>(body.size()));
    CgiEnv env;
    env.method = "POST";
    env.contentType = contentType.c_str();
    env.contentLength = lengthText.c_str();
    capture(env, body);
    return cgiParsePostMultipartInput();
  }
};

TEST_F(MultipartTest, FieldsStayInMemoryAndFilesGoToPrivateTempFiles) {
  std::string firmware;
  for (int i = 0; i < 3000; ++i) firmware.push_back(static_cast<char>((i * 7) % 256));
  firmware += "\r\n--" + kBoundary.substr(0, 10) + "\r\n-\r\r\n";  // near misses of the boundary
  const std::string body = "preamble is ignored\r\n" +
                           part("form-data; name=\"postKey\"", "{\"type\":\"login\"}\r\nline two") +
                           part("form-data; name=\"systemFile\"; filename=\"fw.bin\"", firmware,
                                "Content-Type: application/octet-stream\r\n") +
                           closing() + "epilogue";
  ASSERT_EQ(decode(body), cgiParseSuccess);

  const auto list = entries();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].attr, "postKey");
  EXPECT_EQ(list[0].value, "{\"type\":\"login\"}\r\nline two");
  EXPECT_EQ(list[0].valueLength, 26);
  EXPECT_EQ(list[0].fileName, "");
  EXPECT_EQ(list[0].tfileName, "");

  EXPECT_EQ(list[1].attr, "systemFile");
  EXPECT_EQ(list[1].fileName, "fw.bin");
  EXPECT_EQ(list[1].contentType, "application/octet-stream");
  EXPECT_EQ(list[1].value, "");
  EXPECT_EQ(list[1].valueLength, static_cast<int>(firmware.size()));
  const std::string& temp = list[1].tfileName;
  ASSERT_EQ(temp.size(), 15u);
  EXPECT_EQ(temp.rfind("/tmp/cgic", 0), 0u) << temp;
  struct stat st {};
  ASSERT_EQ(stat(temp.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(readWholeFile(temp), firmware);

  cgiFreeResources();
  EXPECT_EQ(cgiFormEntryFirst, nullptr);
  EXPECT_NE(access(temp.c_str(), F_OK), 0);
}

TEST_F(MultipartTest, HeaderSpellingsAndParameters) {
  const std::string body =
      // extra parameters are ignored, before or after the name
      part("form-data; name=\"a\"; size=3", "1") + part("form-data; size=3; name=b", "2") +
      // header and parameter names ignore case; no blank after the colon
      "--" + kBoundary + "\r\ncontent-DISPOSITION:Form-Data; NAME=c; FileName=\"c.txt\"\r\n" +
      "CONTENT-TYPE:  \"text/x-c\" junk; charset=ascii\r\n\r\n3\r\n" +
      // header lines ended by a bare LF or a bare CR
      "--" + kBoundary + "\r\nContent-Disposition: form-data; name=d\n\n4\r\n" +
      "--" + kBoundary + "\r\nContent-Disposition: form-data; name=e\r\r5\r\n" +
      // a parameter without "=" ends the parameters
      part("form-data; name=f; creation-date=x; name=g", "6") + closing();
  ASSERT_EQ(decode(body), cgiParseSuccess);
  const auto list = entries();
  ASSERT_EQ(list.size(), 6u);
  const char* names[] = {"a", "b", "c", "d", "e", "f"};
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].attr, names[i]);
    EXPECT_EQ(list[i].valueLength, 1);
  }
  EXPECT_EQ(list[2].fileName, "c.txt");
  EXPECT_EQ(list[2].contentType, "text/x-c");
  EXPECT_EQ(readWholeFile(list[2].tfileName), "3");
  EXPECT_EQ(list[3].value, "4");
  EXPECT_EQ(list[4].value, "5");
}

TEST_F(MultipartTest, PartsThatAreNoFormFieldsAreSkippedWhole) {
  // The skipped part's body looks like a header block; it must not become one.
  const std::string body =
      part("attachment; name=\"x\"", "--" + kBoundary + "-\r\nContent-Disposition: form-data; name=evil\r\n\r\nv") +
      "--" + kBoundary + "\r\nContent-Type: text/plain\r\n\r\nno disposition\r\n" +
      part("form-data; name=\"kept\"", "yes") + closing();
  ASSERT_EQ(decode(body), cgiParseSuccess);
  const auto list = entries();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].attr, "kept");
  EXPECT_EQ(list[0].value, "yes");
}

TEST_F(MultipartTest, PipeHeldOpenByTheServerIsReadToTheDeclaredLength) {
  const std::string body = part("form-data; name=\"f\"; filename=\"f\"", std::string(5000, 'p')) +
                           part("form-data; name=\"g\"", "last") + closing();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], body.data(), body.size()), static_cast<ssize_t>(body.size()));
  // The writer stays open; a read past the body would fail at once.
  ASSERT_EQ(fcntl(fds[0], F_SETFL, O_NONBLOCK), 0);
  const std::string length = std::to_string(body.size());
  const std::string type = "multipart/form-data; boundary=" + kBoundary;
  CgiEnv env;
  env.method = "POST";
  env.contentType = type.c_str();
  env.contentLength = length.c_str();
  capture(env, "");
  FILE* pipeIn = fdopen(fds[0], "rb");
  ASSERT_NE(pipeIn, nullptr);
  cgiIn = pipeIn;
  EXPECT_EQ(cgiParsePostMultipartInput(), cgiParseSuccess);
  EXPECT_EQ(entries().size(), 2u);
  fclose(pipeIn);
  close(fds[1]);
}

TEST_F(MultipartTest, TempFileThatCannotBeMadeFailsTheRequest) {
  const std::string body =
      part("form-data; name=a", "1") + part("form-data; name=\"f\"; filename=\"f\"", "data") + closing();
  CgiEnv env;
  const std::string type = "multipart/form-data; boundary=" + kBoundary;
  const std::string length = std::to_string(body.size());
  env.method = "POST";
  env.contentType = type.c_str();
  env.contentLength = length.c_str();
  capture(env, body);

  // No descriptor left: mkstemp fails.
  rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int lowest = dup(0);
  ASSERT_GE(lowest, 0);
  close(lowest);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(lowest);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  const cgiParseResultType result = cgiParsePostMultipartInput();
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);

  EXPECT_EQ(result, cgiParseIO);
  EXPECT_EQ(entries().size(), 1u);
}

// Values made of the bytes a boundary is made of, in every order, survive the
// boundary scan unchanged, in memory and on disk.
TEST_F(MultipartTest, NearMissesOfTheBoundaryAreKeptExactly) {
  const std::string delimiter = "\r\n--" + kBoundary;
  const std::string alphabet = "\r\n--" + kBoundary.substr(4, 6) + "x";
  std::mt19937 random(20240607);
  for (int round = 0; round < 200; ++round) {
    std::string value;
    const int length = static_cast<int>(random() % 120);
    for (int i = 0; i < length; ++i) {
      if (random() % 8 == 0) {
        value += delimiter.substr(0, random() % delimiter.size());  // a cut-off delimiter
      } else {
        value.push_back(alphabet[random() % alphabet.size()]);
      }
    }
    if ((value + "\r\n").find(delimiter) != std::string::npos) continue;
    SCOPED_TRACE(round);
    const std::string body = part("form-data; name=m", value) +
                             part("form-data; name=f; filename=f", value) + closing();
    ASSERT_EQ(decode(body), cgiParseSuccess);
    const auto list = entries();
    ASSERT_EQ(list.size(), 2u);
    ASSERT_EQ(list[0].value, value);
    ASSERT_EQ(list[1].valueLength, static_cast<int>(value.size()));
    ASSERT_EQ(readWholeFile(list[1].tfileName), value);
  }
}

}  // namespace
