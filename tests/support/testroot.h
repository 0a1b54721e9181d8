// Test support: a throw-away device root (KORVAN_ROOT) with a database built
// from db/schema.sql, and a runner that starts build/korvan.cgi the way a web
// server does (environment, body on stdin, response on stdout).
#pragma once

#include <gtest/gtest.h>
#include <json/json.h>

#include <ctime>
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

namespace korvantest {

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

// A temporary root laid out like the device:
//   usr/app/korvan.db          schema (+ seed.sql when `seed` is true)
//   usr/app/version            "1.2.3-test\n"
//   usr/app/yal/www/HtmlBody.html, usr/app/yal/www/lib/language.js
//   usr/app/yal/www/cgi/       working directory of the program
// It lives under /dev/shm when that exists, else under /tmp; the directory
// is removed when the object goes away.
class TempRoot {
 public:
  explicit TempRoot(bool seed = true);
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  const std::string& dir() const { return dir_; }
  // `relative` below the root, e.g. path("usr/app/korvan.db").
  std::string path(const std::string& relative) const;
  std::string dbPath() const { return path("usr/app/korvan.db"); }
  std::string cgiDir() const { return path("usr/app/yal/www/cgi"); }
  std::string traceLog() const { return readFile(path("usr/app/yal/www/cgi/log.txt")); }

  // Runs statements on the database (throws std::runtime_error on failure).
  void exec(const std::string& sql) const;
  // Runs a query; every cell as text ("" for NULL).
  std::vector<std::vector<std::string>> query(const std::string& sql) const;
  // The first cell of the first row, or "" when there is none.
  std::string scalar(const std::string& sql) const;

 private:
  std::string dir_;
};

struct CgiRequest {
  std::string method = "GET";
  std::string query;
  std::string contentType;
  std::string body;
  // CONTENT_LENGTH; by default the body's length (POST) or unset (GET).
  std::string contentLength;
  bool setContentLength = true;
  std::string remoteAddr = "127.0.0.1";
  std::map<std::string, std::string> extraEnv;  // e.g. KORVAN_ARM_PORT, TZ
};

struct CgiResult {
  int exitStatus = -1;  // exit code, or 128 + signal
  std::string out;      // everything written to stdout
  std::string err;      // everything written to stderr
  // The part of `out` after the first empty line ("\r\n\r\n").
  std::string body() const;
  std::string header() const;
};

// The daemon waits the program reads from its environment. Every run gets the
// short ones, so that a silent daemon or the pause between console packets
// costs little; a test of the real waits passes kRealDaemonWaits (or its own
// values) in extraEnv, which wins.
extern const std::map<std::string, std::string> kShortDaemonWaits;
extern const std::map<std::string, std::string> kRealDaemonWaits;

// Runs the program with KORVAN_ROOT = root.dir(), in root.cgiDir(), with
// kShortDaemonWaits and then request.extraEnv in its environment.
CgiResult runCgi(const TempRoot& root, const CgiRequest& request,
                 const std::string& program = KORVAN_CGI_PATH);

// URL-encodes `text` for a form body.
std::string urlEncode(const std::string& text);

// Posts `request` as the postKey field of an URL-encoded body.
CgiResult postAjax(const TempRoot& root, const Json::Value& request,
                   const std::map<std::string, std::string>& extraEnv = {},
                   const std::string& remoteAddr = "127.0.0.1");
// The reply document of an AJAX call (parses the body; null on failure).
Json::Value replyOf(const CgiResult& result);
// postAjax + replyOf.
Json::Value ajax(const TempRoot& root, const Json::Value& request,
                 const std::map<std::string, std::string>& extraEnv = {},
                 const std::string& remoteAddr = "127.0.0.1");

// Opens a session for user `id` directly in the database (status 1, token,
// expireTime now + 600) and returns a request skeleton carrying `type`,
// `user`.`id`, `user`.`token`, `user`.`nm` and `userID`.
Json::Value sessionRequest(const TempRoot& root, const std::string& type,
                           const std::string& userId = "1");

// Runs `call(now)` until the clock did not move to the next second during the
// call, so that the program saw exactly `now` (for tests of time boundaries).
template <class Call>
Json::Value atOneSecond(Call call) {
  // A loaded machine may need several tries; each one is a single request.
  for (int i = 0; i < 40; ++i) {
    time_t now = time(nullptr);
    Json::Value reply = call(now);
    if (time(nullptr) == now) return reply;
  }
  ADD_FAILURE() << "the clock kept moving";
  return Json::Value();
}

}  // namespace korvantest
