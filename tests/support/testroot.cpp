#include "testroot.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include "util/token_hash.h"

namespace fs = std::filesystem;

namespace korvantest {

namespace {

using Rows = std::vector<std::vector<std::string>>;

void runSql(const std::string& dbPath, const std::string& sql, Rows* rows) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open(dbPath.c_str(), &db);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
  if (rc != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  if (rows) {
    *rows = querySql(db, sql);
  } else {
    execSql(db, sql);
  }
}

std::string makeTempDir(std::string pattern) {
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

}  // namespace

// Memory-backed when possible: every request syncs the database.
TempRoot::TempRoot(bool seed)
    : dir_(makeTempDir(access("/dev/shm", W_OK) == 0 ? "/dev/shm/korvan-test-XXXXXX"
                                                     : "/tmp/korvan-test-XXXXXX")) {
  fs::create_directories(path("usr/app/yal/www/cgi"));
  fs::create_directories(path("sbin"));
  writeFile(path("usr/app/version"), "1.2.3-test\n");
  writeFile(path("usr/app/yal/www/HtmlBody.html"), "<div id='app'>\n</div>\n");
  writeFile(path("usr/app/yal/www/lib/language.js"),
            "// UI texts\nvar siteLang = 'zz';\nvar texts = {};\n");
  const std::string source = std::string(KORVAN_SOURCE_DIR) + "/db/";
  runSql(dbPath(), readFile(source + "schema.sql"), nullptr);
  if (seed) runSql(dbPath(), readFile(source + "seed.sql"), nullptr);
}

TempRoot::~TempRoot() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string TempRoot::path(const std::string& relative) const { return dir_ + "/" + relative; }

void TempRoot::exec(const std::string& sql) const { runSql(dbPath(), sql, nullptr); }

std::vector<std::vector<std::string>> TempRoot::query(const std::string& sql) const {
  Rows rows;
  runSql(dbPath(), sql, &rows);
  return rows;
}

std::string TempRoot::scalar(const std::string& sql) const {
  auto rows = query(sql);
  return rows.empty() || rows[0].empty() ? "" : rows[0][0];
}

std::string CgiResult::body() const {
  const size_t end = out.find("\r\n\r\n");
  return end == std::string::npos ? "" : out.substr(end + 4);
}

std::string CgiResult::header() const { return out.substr(0, out.size() - body().size()); }

// Collectors of the operation log are reached on this machine only.
const std::map<std::string, std::string> kShortDaemonWaits = {{"KORVAN_REPLY_TIMEOUT_MS", "2000"},
                                                              {"KORVAN_CONNECT_TIMEOUT_MS", "1000"},
                                                              {"KORVAN_PACKET_PAUSE_MS", "20"},
                                                              {"KORVAN_SYSLOG_LOOPBACK_ONLY", "1"},
#ifdef KORVAN_TEST_EMULATED
                                                              // A TLS handshake under the emulator
                                                              // outlasts the device's window.
                                                              {"KORVAN_SYSLOG_WINDOW_MS", "1000"},
#endif
};
const std::map<std::string, std::string> kRealDaemonWaits = {{"KORVAN_REPLY_TIMEOUT_MS", "10000"},
                                                             {"KORVAN_CONNECT_TIMEOUT_MS", "1000"},
                                                             {"KORVAN_PACKET_PAUSE_MS", "1000"}};

CgiResult runCgi(const TempRoot& root, const CgiRequest& request) {
  return finishCgi(startCgi(root, request));
}

RunningCgi startCgi(const TempRoot& root, const CgiRequest& request) {
  const std::string io = makeTempDir(root.path("io-XXXXXX"));
  writeFile(io + "/stdin", request.body);
  // Everything the child needs is made before the fork: a test process may
  // run threads (the fake daemon), and a child that allocated memory could
  // wait forever for a lock that a thread held at the fork. After the fork
  // only async-signal-safe calls run.
  std::map<std::string, std::string> env = {{"PATH", "/usr/bin:/bin"},
                                            {"KORVAN_ROOT", root.dir()},
                                            // The cheapest password hash: tests log in often.
                                            {"KORVAN_HASH_COST", "4"},
                                            {"REQUEST_METHOD", request.method},
                                            {"QUERY_STRING", request.query},
                                            {"REMOTE_ADDR", request.remoteAddr}};
  if (!request.contentType.empty()) env["CONTENT_TYPE"] = request.contentType;
  if (request.method != "GET" || !request.contentLength.empty()) {
    env["CONTENT_LENGTH"] =
        request.contentLength.empty() ? std::to_string(request.body.size()) : request.contentLength;
  }
  for (const auto& [name, value] : kShortDaemonWaits) env.emplace(name, value);
  for (const auto& [name, value] : request.extraEnv) env[name] = value;
  std::vector<std::string> entries;
  for (const auto& [name, value] : env) entries.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const std::string paths[] = {io + "/stdin", io + "/stdout", io + "/stderr"};
  const std::string cgiDir = root.cgiDir();
  std::string program = request.program;
  char* argv[] = {program.data(), nullptr};

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    for (int fd = 0; fd < 3; ++fd) {
      int opened = open(paths[fd].c_str(), fd == 0 ? O_RDONLY : O_WRONLY | O_CREAT, 0600);
      dup2(opened, fd);
    }
    if (chdir(cgiDir.c_str()) != 0) _exit(126);
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  return {pid, io};
}

CgiResult finishCgi(const RunningCgi& running) {
  const std::string& io = running.io;
  int status = 0;
  waitpid(running.pid, &status, 0);
  CgiResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readFile(io + "/stdout");
  result.err = readFile(io + "/stderr");
  std::error_code ec;
  fs::remove_all(io, ec);
  return result;
}

CgiResult postAjax(const TempRoot& root, const Json::Value& request,
                   const std::map<std::string, std::string>& extraEnv,
                   const std::string& remoteAddr) {
  CgiRequest post = ajaxRequest(request);
  post.remoteAddr = remoteAddr;
  post.extraEnv = extraEnv;
  return runCgi(root, post);
}

Json::Value replyOf(const CgiResult& result) {
  Json::Value reply;
  return Json::Reader().parse(result.body(), reply) ? reply : Json::Value();
}

Json::Value ajax(const TempRoot& root, const Json::Value& request,
                 const std::map<std::string, std::string>& extraEnv,
                 const std::string& remoteAddr) {
  return replyOf(postAjax(root, request, extraEnv, remoteAddr));
}

Json::Value parseJson(const std::string& text) {
  Json::Value value;
  if (!Json::Reader().parse(text, value)) ADD_FAILURE() << "not JSON: " << text;
  return value;
}

Json::Value withMembers(Json::Value request, const std::string& members) {
  const Json::Value more = parseJson(members);
  for (const std::string& name : more.getMemberNames()) request[name] = more[name];
  return request;
}

CgiRequest ajaxRequest(const Json::Value& request) {
  CgiRequest post;
  post.method = "POST";
  post.contentType = "application/x-www-form-urlencoded";
  post.body = "postKey=" + urlEncode(Json::FastWriter().write(request));
  return post;
}

const std::string kFormBoundary = "----kvTestBoundary7MA4YWxk";

CgiRequest multipartRequest(const std::vector<FormPart>& parts, bool closed) {
  CgiRequest request;
  request.method = "POST";
  request.contentType = "multipart/form-data; boundary=" + kFormBoundary;
  for (const FormPart& part : parts) {
    request.body += formPart(kFormBoundary, part.name, part.content, part.fileName);
  }
  if (closed) request.body += "--" + kFormBoundary + "--\r\n";
  return request;
}

std::string dumpTables(const TempRoot& root) {
  std::string out;
  for (const auto& table : root.query("select name from sqlite_master where type='table';")) {
    for (const auto& row : root.query("select * from \"" + table[0] + "\";")) {
      out += table[0];
      for (const std::string& cell : row) out += "|" + cell;
      out += "\n";
    }
  }
  return out;
}

std::string stubReboot(const TempRoot& root) {
  const std::string marker = root.path("rebooted");
  writeFile(root.path("sbin/reboot"), "#!/bin/sh\necho reboot >> '" + marker + "'\n");
  fs::permissions(root.path("sbin/reboot"), fs::perms::owner_all);
  return marker;
}

Json::Value completeReply(const CgiResult& r) {
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.header(), "Content-type: text/html;charset=utf-8\r\n\r\n");
  EXPECT_EQ(r.out.find("Content-type", 1), std::string::npos) << "header written twice";
  EXPECT_EQ(r.body().substr(r.body().size() < 3 ? 0 : r.body().size() - 3), "\n \n") << r.out;
  Json::Value reply = replyOf(r);
  EXPECT_TRUE(reply.isObject()) << r.out;
  return reply;
}

Json::Value sessionRequest(const TempRoot& root, const std::string& type,
                           const std::string& userId) {
  const std::string token = "test-token-" + userId;
  // The row keeps the token's hash, as a login stores it.
  root.exec("update user2 set status=1, token='" + korvan::tokenHash(token) +
            "', expireTime=" + std::to_string(time(nullptr) + 600) + " where id=" + userId + ";");
  Json::Value request;
  request["type"] = type;
  request["user"]["id"] = userId;
  request["user"]["token"] = token;
  request["user"]["nm"] = root.scalar("select nm from user2 where id=" + userId + ";");
  request["userID"] = userId;
  return request;
}

}  // namespace korvantest
