// File transfers through the program: uploads, the database download, the
// refusals, and what a failed or malformed upload leaves behind.
#include <fcntl.h>
#include <glob.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "testroot.h"

using korvantest::CgiRequest;
using korvantest::readFile;
using korvantest::runCgi;

namespace {

using korvantest::kFormBoundary;
using Part = korvantest::FormPart;

const std::string kToken = "test-token-1";
const std::string kHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";
const std::string kDownloadHeader =
    "Content-Disposition:attachment;filename=korvan.db\nContent-type: text/html\r\n\r\n";

std::vector<std::string> matching(const std::string& pattern) {
  glob_t found{};
  glob(pattern.c_str(), 0, nullptr, &found);
  std::vector<std::string> out(found.gl_pathv, found.gl_pathv + found.gl_pathc);
  globfree(&found);
  return out;
}

class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    korvantest::sessionRequest(root_, "upload");
    korvantest::writeFile(firmware_, "previous firmware");
  }

  // A multipart POST of `parts` (and the session's fields), closed when asked.
  CgiRequest upload(std::vector<Part> parts, bool session = true, bool closed = true) {
    if (session) {
      parts.insert(parts.end(), {{"userID", std::nullopt, "1"}, {"token", std::nullopt, kToken}});
    }
    return korvantest::multipartRequest(parts, closed);
  }
  CgiRequest download(const std::string& query = "submitDownloadDB=1&userID=1&token=test-token-1") {
    CgiRequest request;
    request.query = query;
    return request;
  }

  korvantest::TempRoot root_;
  const std::string firmware_ = root_.path("usr/app/firmupdate");
};

// A firmware upload stores the file's exact bytes in the firmware file (a
// database upload stores its import: upload_import_test.cpp); of several file
// parts the first wins, and each spooled part is gone at exit.
TEST_F(Transfer, UploadsStoreTheExactBytes) {
  const std::string database = readFile(root_.dbPath());
  // Content that looks like the multipart syntax: line breaks, dashes, a
  // near-boundary and NUL bytes.
  std::string awkward;
  for (int i = 0; awkward.size() < 3000; ++i) {
    awkward += "\r\n--" + kFormBoundary.substr(0, 20) + std::string("\0\xff-\r", 4) + char(i);
  }
  const std::string marker = "spool-marker-" + root_.dir().substr(root_.dir().rfind('-') + 1);
  const struct {
    std::vector<Part> parts;
    std::string stored, out, event;
  } cases[] = {
      {{{"systemFile", "fw.bin", awkward}},
       awkward,
       "update firmware success \n",
       "firmwareUpload"},
      {{{"systemFile", "empty.bin", ""}}, "", "update firmware success \n", "firmwareUpload"},
      {{{"dbFile", "d.db", marker + "db"},
        {"systemFile", "a.bin", marker + "a"},
        {"systemFile", "b.bin", marker + "b"}},
       marker + "a",
       "update firmware success \n",
       "firmwareUpload"},
  };
  for (const auto& c : cases) {
    korvantest::CgiResult result = runCgi(root_, upload(c.parts));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, kHeader + c.out);
    EXPECT_EQ(readFile(firmware_), c.stored);
    // Each stored upload leaves its record: who, which, how large.
    EXPECT_EQ(root_.scalar("select user||'/'||typeSub||'/'||rtrim(sth,char(10)) from log2 order by "
                           "id desc limit 1"),
              "admin/" + c.event + R"(/[{"nm":"file size","v1":")" +
                  std::to_string(c.stored.size()) + R"("}])");
  }
  EXPECT_EQ(readFile(root_.dbPath()).size(), database.size());
  for (const std::string& spooled : matching("/tmp/cgic*")) {
    EXPECT_EQ(readFile(spooled).find(marker), std::string::npos) << spooled;
  }
}

TEST_F(Transfer, NoTransferWithoutACompleteFilePart) {
  // An empty file name, a plain text field, a body without any boundary: the
  // page shell is served.
  std::vector<CgiRequest> requests = {upload({{"systemFile", std::string(""), "x"}}),
                                      upload({{"dbFile", std::nullopt, "x"}}), upload({}, false)};
  requests.back().body = "just some bytes\r\n";
  for (const CgiRequest& request : requests) {
    korvantest::CgiResult result = runCgi(root_, request);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.body().find("<HEAD>"), std::string::npos);
  }
  // A part that no boundary closes fails the whole request.
  korvantest::CgiResult result =
      runCgi(root_, upload({{"systemFile", "fw.bin", "cut"}}, true, false));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(readFile(firmware_), "previous firmware");
}

TEST_F(Transfer, FailedUploadKeepsThePreviousFileAndLeavesNoCopy) {
  // The copy of a killed upload is removed by the next one.
  korvantest::writeFile(firmware_ + ".a1B2c3", "half an upload");
  EXPECT_EQ(runCgi(root_, upload({{"systemFile", "fw.bin", "new"}})).body(),
            "update firmware success \n");
  EXPECT_EQ(matching(firmware_ + ".*"), std::vector<std::string>{});
  // The destination cannot be replaced: reported as failed, no partial copy.
  std::filesystem::remove(firmware_);
  korvantest::writeFile(firmware_ + "/previous", "kept");
  EXPECT_EQ(runCgi(root_, upload({{"systemFile", "fw.bin", "new"}})).out,
            kHeader + "update firmware failed \n");
  EXPECT_EQ(runCgi(root_, upload({{"dbFile", "k.db", readFile(root_.dbPath())}})).out,
            kHeader + "update database failed \n");
  EXPECT_EQ(readFile(firmware_ + "/previous"), "kept");
  EXPECT_EQ(matching(firmware_ + ".*"), std::vector<std::string>{});
}

// An upload the spool cannot take is refused unread. A spool left by a killed
// upload goes with the next transfer; one that a live request holds stays.
TEST_F(Transfer, SpoolSpaceAndLeftovers) {
  const std::string spool = root_.path("spool");
  std::filesystem::create_directory(spool);
  const std::map<std::string, std::string> env = {{"KORVAN_SPOOL_DIR", spool}};

  CgiRequest huge = upload({{"systemFile", "fw.bin", "big"}});
  huge.contentLength = "99999999999999999";
  huge.extraEnv = env;
  korvantest::CgiResult refused = runCgi(root_, huge);
  EXPECT_EQ(refused.exitStatus, 0);
  EXPECT_EQ(refused.out, "Status: 413 Payload Too Large\r\n" + kHeader + "upload too large \n");
  EXPECT_EQ(readFile(firmware_), "previous firmware");

  // An upload killed while its file part arrives; its body comes on a pipe
  // that stays open.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  CgiRequest cut = upload({{"systemFile", "fw.bin", std::string(5000, 'k')}});
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(fds[0], 0);
    close(fds[1]);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    if (chdir(root_.cgiDir().c_str()) != 0) _exit(126);
    setenv("KORVAN_ROOT", root_.dir().c_str(), 1);
    setenv("KORVAN_SPOOL_DIR", spool.c_str(), 1);
    setenv("REQUEST_METHOD", "POST", 1);
    setenv("CONTENT_TYPE", cut.contentType.c_str(), 1);
    setenv("CONTENT_LENGTH", std::to_string(cut.body.size()).c_str(), 1);
    execl(KORVAN_CGI_PATH, KORVAN_CGI_PATH, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[0]);
  // The body stops inside the file part: the program waits for the rest.
  const size_t sent = cut.body.find(std::string(5000, 'k')) + 2000;
  ASSERT_EQ(write(fds[1], cut.body.data(), sent), static_cast<ssize_t>(sent));
  std::vector<std::string> left;
  for (int i = 0; i < 2000 && left.empty(); ++i) {
    usleep(5000);
    left = matching(spool + "/cgic*");
  }
  ASSERT_EQ(left.size(), 1u);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(fds[1]);
  EXPECT_EQ(matching(spool + "/cgic*"), left);

  // A spool held by a live request.
  const std::string held = spool + "/cgicHe1d00";
  korvantest::writeFile(held, "held");
  const int heldFd = open(held.c_str(), O_RDONLY);
  ASSERT_EQ(flock(heldFd, LOCK_EX), 0);

  CgiRequest next = upload({{"systemFile", "fw.bin", "new"}});
  next.extraEnv = env;
  EXPECT_EQ(runCgi(root_, next).out, kHeader + "update firmware success \n");
  EXPECT_EQ(matching(spool + "/cgic*"), std::vector<std::string>{held});
  // The program's files are private to it.
  EXPECT_EQ(std::filesystem::status(firmware_).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  close(heldFd);
}

// A download is the database as it stands and moves the session's expiry
// on; an address the lists refuse gets no transfer.
TEST_F(Transfer, DownloadAndRefusals) {
  const long soon = static_cast<long>(time(nullptr)) + 10;
  root_.exec("update user2 set expireTime=" + std::to_string(soon) + " where id=1;");
  for (const std::string& query : {std::string("submitDownloadDB=1&userID=1&token=test-token-1"),
                                   "submitDownloadDB=&userID=1&token=" + kToken}) {
    korvantest::CgiResult result = runCgi(root_, download(query));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.header(), kDownloadHeader);
    // The copy sent is the database as it stands, its own download record
    // included.
    EXPECT_EQ(result.body(), readFile(root_.dbPath()));
  }
  EXPECT_GE(std::stol(root_.scalar("select expireTime from user2 where id=1")), soon + 500);
  EXPECT_EQ(root_.scalar("select group_concat(user||'/'||type||'/'||typeSub||'/'||"
                         "(sth like '[{\"nm\":\"file size\",\"v1\":\"%\"}]%')) from log2"),
            "admin/system/dbDownload/1,admin/system/dbDownload/1");

  // The address lists hold for transfers too (the sessions are the access
  // tests' part).
  root_.exec("update other2 set ipsType=0; insert into ips2(ip) values('10.6.6.6');");
  for (CgiRequest request : {upload({{"systemFile", "fw.bin", "evil"}}), download()}) {
    request.remoteAddr = "10.6.6.6";
    EXPECT_EQ(runCgi(root_, request).body(), "ip black list error(your ip is in the list) \n");
  }
  EXPECT_EQ(readFile(firmware_), "previous firmware");
}

}  // namespace
