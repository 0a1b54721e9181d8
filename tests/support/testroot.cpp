#include "testroot.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace korvantest {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

bool fileExists(const std::string& path) { return fs::exists(path); }

namespace {

struct Db {
  sqlite3* handle = nullptr;
  explicit Db(const std::string& path) {
    if (sqlite3_open(path.c_str(), &handle) != SQLITE_OK) {
      throw std::runtime_error("cannot open " + path);
    }
  }
  ~Db() { sqlite3_close(handle); }
};

int collectRow(void* target, int columns, char** cells, char**) {
  auto* rows = static_cast<std::vector<std::vector<std::string>>*>(target);
  std::vector<std::string> row;
  for (int i = 0; i < columns; ++i) row.emplace_back(cells[i] ? cells[i] : "");
  rows->push_back(std::move(row));
  return 0;
}

void runSql(const std::string& dbPath, const std::string& sql,
            std::vector<std::vector<std::string>>* rows) {
  Db db(dbPath);
  char* error = nullptr;
  if (sqlite3_exec(db.handle, sql.c_str(), rows ? collectRow : nullptr, rows, &error) !=
      SQLITE_OK) {
    std::string text = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error(text + " in: " + sql);
  }
}

}  // namespace

TempRoot::TempRoot(bool seed) {
  // Memory-backed when the machine has it: every request writes the database,
  // and a disk shared with other builds makes each sync slow.
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/korvan-test-XXXXXX"
                                                      : "/tmp/korvan-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  fs::create_directories(path("usr/app/yal/www/cgi"));
  fs::create_directories(path("usr/app/yal/www/lib"));
  fs::create_directories(path("sbin"));
  writeFile(path("usr/app/version"), "1.2.3-test\n");
  writeFile(path("usr/app/yal/www/HtmlBody.html"), "<div id='app'>\n</div>\n");
  writeFile(path("usr/app/yal/www/lib/language.js"),
            "// UI texts\nvar siteLang = 'zz';\nvar texts = {};\n");
  runSql(dbPath(), readFile(std::string(KORVAN_SOURCE_DIR) + "/db/schema.sql"), nullptr);
  if (seed) runSql(dbPath(), readFile(std::string(KORVAN_SOURCE_DIR) + "/db/seed.sql"), nullptr);
}

TempRoot::~TempRoot() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string TempRoot::path(const std::string& relative) const { return dir_ + "/" + relative; }

void TempRoot::exec(const std::string& sql) const { runSql(dbPath(), sql, nullptr); }

std::vector<std::vector<std::string>> TempRoot::query(const std::string& sql) const {
  std::vector<std::vector<std::string>> rows;
  runSql(dbPath(), sql, &rows);
  return rows;
}

std::string TempRoot::scalar(const std::string& sql) const {
  auto rows = query(sql);
  return rows.empty() || rows[0].empty() ? "" : rows[0][0];
}

std::string CgiResult::body() const {
  size_t end = out.find("\r\n\r\n");
  return end == std::string::npos ? "" : out.substr(end + 4);
}

std::string CgiResult::header() const {
  size_t end = out.find("\r\n\r\n");
  return end == std::string::npos ? out : out.substr(0, end + 4);
}

const std::map<std::string, std::string> kShortDaemonWaits = {
    {"KORVAN_REPLY_TIMEOUT_MS", "2000"},
    {"KORVAN_CONNECT_TIMEOUT_MS", "1000"},
    {"KORVAN_PACKET_PAUSE_MS", "20"},
};
const std::map<std::string, std::string> kRealDaemonWaits = {
    {"KORVAN_REPLY_TIMEOUT_MS", "10000"},
    {"KORVAN_CONNECT_TIMEOUT_MS", "1000"},
    {"KORVAN_PACKET_PAUSE_MS", "1000"},
};

CgiResult runCgi(const TempRoot& root, const CgiRequest& request, const std::string& program) {
  std::string scratch = root.path("io-XXXXXX");
  std::vector<char> pattern(scratch.begin(), scratch.end());
  pattern.push_back('\0');
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  std::string io(pattern.data());
  writeFile(io + "/stdin", request.body);

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int in = open((io + "/stdin").c_str(), O_RDONLY);
    int out = open((io + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open((io + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(root.cgiDir().c_str()) != 0) _exit(126);
    clearenv();
    setenv("PATH", "/usr/bin:/bin", 1);
    setenv("KORVAN_ROOT", root.dir().c_str(), 1);
    setenv("REQUEST_METHOD", request.method.c_str(), 1);
    setenv("QUERY_STRING", request.query.c_str(), 1);
    setenv("REMOTE_ADDR", request.remoteAddr.c_str(), 1);
    if (!request.contentType.empty()) setenv("CONTENT_TYPE", request.contentType.c_str(), 1);
    if (request.setContentLength && (request.method != "GET" || !request.contentLength.empty())) {
      std::string length = request.contentLength.empty() ? std::to_string(request.body.size())
                                                         : request.contentLength;
      setenv("CONTENT_LENGTH", length.c_str(), 1);
    }
    for (const auto& [name, value] : kShortDaemonWaits) setenv(name.c_str(), value.c_str(), 1);
    for (const auto& [name, value] : request.extraEnv) setenv(name.c_str(), value.c_str(), 1);
    // Sanitizer settings of the test process carry over to the program.
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  CgiResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readFile(io + "/stdout");
  result.err = readFile(io + "/stderr");
  std::error_code ec;
  fs::remove_all(io, ec);
  return result;
}

std::string urlEncode(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

CgiResult postAjax(const TempRoot& root, const Json::Value& request,
                   const std::map<std::string, std::string>& extraEnv,
                   const std::string& remoteAddr) {
  CgiRequest r;
  r.method = "POST";
  r.contentType = "application/x-www-form-urlencoded";
  Json::FastWriter writer;
  r.body = "postKey=" + urlEncode(writer.write(request));
  r.remoteAddr = remoteAddr;
  r.extraEnv = extraEnv;
  return runCgi(root, r);
}

Json::Value replyOf(const CgiResult& result) {
  Json::Value reply;
  Json::Reader reader;
  if (!reader.parse(result.body(), reply)) return Json::Value();
  return reply;
}

Json::Value ajax(const TempRoot& root, const Json::Value& request,
                 const std::map<std::string, std::string>& extraEnv,
                 const std::string& remoteAddr) {
  return replyOf(postAjax(root, request, extraEnv, remoteAddr));
}

Json::Value sessionRequest(const TempRoot& root, const std::string& type,
                           const std::string& userId) {
  std::string token = "test-token-" + userId;
  long expire = static_cast<long>(time(nullptr)) + 600;
  root.exec("update user2 set status=1, token='" + token + "', expireTime=" +
            std::to_string(expire) + " where id=" + userId + ";");
  Json::Value request;
  request["type"] = type;
  request["user"]["id"] = userId;
  request["user"]["token"] = token;
  request["user"]["nm"] = root.scalar("select nm from user2 where id=" + userId + ";");
  request["userID"] = userId;
  return request;
}

}  // namespace korvantest
