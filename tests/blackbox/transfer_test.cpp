// File transfers through the program: multipart uploads built by hand, the
// database download, the session and IP refusals, and what a failed or
// malformed upload leaves behind.
#include <glob.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "testroot.h"

using korvantest::CgiRequest;
using korvantest::CgiResult;
using korvantest::readFile;
using korvantest::runCgi;
using korvantest::TempRoot;

namespace {

constexpr const char* kBoundary = "----kvTestBoundary7MA4YWxk";
constexpr const char* kTextHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";

struct Part {
  std::string name;
  std::optional<std::string> fileName;  // a file part when set
  std::string content;
  std::string extraDisposition;  // appended to the Content-Disposition line
};

CgiRequest multipart(const std::vector<Part>& parts, bool closed = true) {
  CgiRequest request;
  request.method = "POST";
  request.contentType = std::string("multipart/form-data; boundary=") + kBoundary;
  for (const Part& part : parts) {
    request.body += std::string("--") + kBoundary + "\r\n";
    request.body += "Content-Disposition: form-data; name=\"" + part.name + "\"";
    if (part.fileName) request.body += "; filename=\"" + *part.fileName + "\"";
    request.body += part.extraDisposition + "\r\n";
    if (part.fileName) request.body += "Content-Type: application/octet-stream\r\n";
    request.body += "\r\n" + part.content + "\r\n";
  }
  if (closed) request.body += std::string("--") + kBoundary + "--\r\n";
  return request;
}

// Content that looks like the multipart syntax: line breaks, dashes, a
// near-boundary and NUL bytes.
std::string awkwardBytes(size_t size) {
  std::string pattern =
      "\r\n--" + std::string(kBoundary).substr(0, 20) + std::string("\0\xff-\r", 4);
  std::string out;
  for (size_t i = 0; out.size() < size; ++i) {
    out += pattern;
    out += static_cast<char>(i & 0xff);
  }
  out.resize(size);
  return out;
}

class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    Json::Value session = korvantest::sessionRequest(root_, "upload");
    userId_ = session["userID"].asString();
    token_ = session["user"]["token"].asString();
    korvantest::writeFile(firmware(), "previous firmware");
  }

  std::vector<Part> withSession(std::vector<Part> parts) {
    parts.push_back({"userID", std::nullopt, userId_, ""});
    parts.push_back({"token", std::nullopt, token_, ""});
    return parts;
  }
  std::string firmware() const { return root_.path("usr/app/firmupdate"); }
  std::string downloadQuery() const {
    return "submitDownloadDB=1&userID=" + userId_ + "&token=" + token_;
  }

  TempRoot root_;
  std::string userId_;
  std::string token_;
};

// Either upload field stores the file's exact bytes in the firmware file.
TEST_F(Transfer, UploadsStoreTheExactBytes) {
  const std::string database = readFile(root_.dbPath());
  const Part uploads[] = {
      {"systemFile", "fw.bin", awkwardBytes(3000), ""},
      {"dbFile", "korvan.db", "DB", "; size=2"},  // an extra parameter is ignored
      {"systemFile", "empty.bin", "", ""},
      {"systemFile", std::string(1023, 'n'), "longest name", ""},
  };
  for (const Part& upload : uploads) {
    CgiResult result = runCgi(root_, multipart(withSession({upload})));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, std::string(kTextHeader) + "update " +
                              (upload.name == "dbFile" ? "database" : "firmware") + " success \n");
    EXPECT_EQ(readFile(firmware()), upload.content);
  }
  EXPECT_EQ(readFile(root_.dbPath()).size(), database.size());
}

TEST_F(Transfer, FirstFileWinsAndSpoolFilesAreDeleted) {
  // Both fields: only the firmware; two parts of one name: the first. Each
  // file part is spooled to a temporary file of its own, gone at exit.
  std::string marker = "spool-marker-" + root_.dir().substr(root_.dir().rfind('-') + 1);
  CgiResult result =
      runCgi(root_, multipart(withSession({{"dbFile", "d.db", marker + "db", ""},
                                           {"systemFile", "a.bin", marker + "a", ""},
                                           {"systemFile", "b.bin", marker + "b", ""}})));
  EXPECT_EQ(result.body(), "update firmware success \n");
  EXPECT_EQ(readFile(firmware()), marker + "a");
  glob_t found{};
  glob("/tmp/cgic*", 0, nullptr, &found);
  for (size_t i = 0; i < found.gl_pathc; ++i) {
    EXPECT_EQ(readFile(found.gl_pathv[i]).find(marker), std::string::npos) << found.gl_pathv[i];
  }
  globfree(&found);
}

TEST_F(Transfer, NoTransferWithoutACompleteFilePart) {
  // An empty file name (the part is kept in memory), a plain text field, a
  // file name longer than the lookup buffer, a body without any boundary: no
  // transfer, the page shell is served.
  std::vector<CgiRequest> requests = {
      multipart(withSession({{"systemFile", std::string(""), "x", ""}})),
      multipart(withSession({{"dbFile", std::nullopt, "x", ""}})),
      multipart(withSession({{"systemFile", std::string(1024, 'n'), "x", ""}})),  // name too long
      multipart({})};
  requests.back().body = "just some bytes\r\n";
  for (const CgiRequest& request : requests) {
    CgiResult result = runCgi(root_, request);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.body().find("<HEAD>"), std::string::npos);
  }
  // A part that no boundary closes fails the whole request.
  std::vector<Part> parts = withSession({});
  parts.push_back({"systemFile", "fw.bin", "unterminated upload", ""});
  CgiResult result = runCgi(root_, multipart(parts, false));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(readFile(firmware()), "previous firmware");
}

TEST_F(Transfer, UploadThatCannotBeStoredKeepsThePreviousFile) {
  // The destination cannot be replaced: the upload is reported as failed and
  // leaves no partial copy behind.
  std::filesystem::remove(firmware());
  korvantest::writeFile(firmware() + "/previous", "kept");
  CgiResult result = runCgi(root_, multipart(withSession({{"systemFile", "fw.bin", "new", ""}})));
  EXPECT_EQ(result.out, std::string(kTextHeader) + "update firmware failed \n");
  result = runCgi(root_, multipart(withSession({{"dbFile", "k.db", "new", ""}})));
  EXPECT_EQ(result.out, std::string(kTextHeader) + "update database failed \n");
  EXPECT_EQ(readFile(firmware() + "/previous"), "kept");
  glob_t found{};
  EXPECT_EQ(glob((firmware() + ".*").c_str(), 0, nullptr, &found), GLOB_NOMATCH);
  globfree(&found);
}

TEST_F(Transfer, NextUploadRemovesTheCopyOfAKilledOne) {
  korvantest::writeFile(firmware() + ".a1B2c3", "half an upload");
  CgiResult result = runCgi(root_, multipart(withSession({{"systemFile", "fw.bin", "new", ""}})));
  EXPECT_EQ(result.out, std::string(kTextHeader) + "update firmware success \n");
  glob_t found{};
  EXPECT_EQ(glob((firmware() + ".*").c_str(), 0, nullptr, &found), GLOB_NOMATCH);
  globfree(&found);
}

TEST_F(Transfer, DownloadSendsTheDatabase) {
  for (const std::string& query :
       {downloadQuery(), "submitDownloadDB=&userID=" + userId_ + "&token=" + token_}) {
    CgiRequest request;
    request.query = query;
    CgiResult result = runCgi(root_, request);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.header(),
              "Content-Disposition:attachment;filename=korvan.db\nContent-type: text/html\r\n\r\n");
    EXPECT_EQ(result.body(), readFile(root_.dbPath()));
    EXPECT_EQ(result.body().compare(0, 16, std::string("SQLite format 3\0", 16)), 0);
  }
}

TEST_F(Transfer, RefusedWithoutSession) {
  std::string refusal = std::string(kTextHeader) + "curUser has loginned or idle timeout \n";
  std::vector<std::vector<Part>> uploads = {
      {{"systemFile", "fw.bin", "evil", ""}},
      {{"dbFile", "k.db", "evil", ""}, {"userID", std::nullopt, userId_, ""}},
      {{"systemFile", "fw.bin", "evil", ""},
       {"userID", std::nullopt, "1 or 1=1", ""},
       {"token", std::nullopt, token_, ""}},
      {{"systemFile", "fw.bin", "evil", ""},
       {"userID", std::nullopt, userId_, ""},
       {"token", std::nullopt, "wrong", ""}},
  };
  for (const auto& parts : uploads) EXPECT_EQ(runCgi(root_, multipart(parts)).out, refusal);
  CgiRequest download;
  download.query = "submitDownloadDB=1&userID=" + userId_ + "&token=x'";
  EXPECT_EQ(runCgi(root_, download).out, refusal);

  // An idle session is refused; the refusal writes nothing.
  root_.exec("update user2 set expireTime=1 where id=" + userId_ + ";");
  download.query = downloadQuery();
  EXPECT_EQ(runCgi(root_, download).out, refusal);
  EXPECT_EQ(root_.scalar("select status from user2 where id=" + userId_ + ";"), "1");
  EXPECT_EQ(readFile(firmware()), "previous firmware");
}

TEST_F(Transfer, SessionIsExtendedAndIpListApplies) {
  long soon = static_cast<long>(time(nullptr)) + 10;
  root_.exec("update user2 set expireTime=" + std::to_string(soon) + " where id=" + userId_ + ";");
  CgiRequest download;
  download.query = downloadQuery();
  EXPECT_EQ(runCgi(root_, download).exitStatus, 0);
  EXPECT_GE(std::stol(root_.scalar("select expireTime from user2 where id=" + userId_ + ";")),
            soon + 500);

  root_.exec("update other2 set ipsType=0; insert into ips2(ip) values('10.6.6.6');");
  CgiRequest upload = multipart(withSession({{"systemFile", "fw.bin", "evil", ""}}));
  upload.remoteAddr = "10.6.6.6";
  EXPECT_EQ(runCgi(root_, upload).out,
            std::string(kTextHeader) + "ip black list error(your ip is in the list) \n");
  download.remoteAddr = "10.6.6.6";
  EXPECT_EQ(runCgi(root_, download).body(), "ip black list error(your ip is in the list) \n");
  EXPECT_EQ(readFile(firmware()), "previous firmware");
}

TEST_F(Transfer, TransferFieldsWinOverAjaxAndTheUploadOverTheDownload) {
  // A valid AJAX call in the same request: the transfer is served, not the call.
  const std::string postKey = Json::FastWriter().write(korvantest::sessionRequest(root_, "ref"));

  CgiResult result = runCgi(
      root_, multipart(withSession({{"postKey", std::nullopt, postKey, ""},
                                    {"submitDownloadDB", std::nullopt, "1", ""},
                                    {"dbFile", "k.db", "database upload", ""}})));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, std::string(kTextHeader) + "update database success \n");
  EXPECT_EQ(readFile(firmware()), "database upload");

  CgiRequest download;
  download.query = "postKey=" + korvantest::urlEncode(postKey) + "&" + downloadQuery();
  result = runCgi(root_, download);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.header(),
            "Content-Disposition:attachment;filename=korvan.db\nContent-type: text/html\r\n\r\n");
  EXPECT_EQ(result.body(), readFile(root_.dbPath()));
}

}  // namespace
