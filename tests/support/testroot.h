// Test support: a throw-away device root (KORVAN_ROOT) and a runner that
// starts build/korvan.cgi the way a web server does.
#pragma once

#include <gtest/gtest.h>
#include <json/json.h>
#include <sqlite3.h>
#include <sys/types.h>

#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core.h"  // files, URL encoding, form parts, SQL

namespace korvantest {

// A temporary root laid out like the device (the database from the schema,
// plus seed.sql when `seed`; the page files; cgi/ the working directory).
class TempRoot {
 public:
  explicit TempRoot(bool seed = true);
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;
  const std::string& dir() const { return dir_; }
  std::string path(const std::string& relative) const;
  std::string dbPath() const { return path("usr/app/korvan.db"); }
  std::string cgiDir() const { return path("usr/app/yal/www/cgi"); }
  std::string traceLog() const { return readFile(path("usr/app/yal/www/cgi/log.txt")); }
  // SQL on the database, throwing on failure; cells are text ("" for NULL).
  void exec(const std::string& sql) const;
  std::vector<std::vector<std::string>> query(const std::string& sql) const;
  std::string scalar(const std::string& sql) const;

 private:
  std::string dir_;
};

struct CgiRequest {
  std::string method = "GET";
  std::string query;
  std::string contentType;
  std::string body;
  std::string contentLength;  // by default the body's length (POST) or unset (GET)
  std::string remoteAddr = "127.0.0.1";
  std::map<std::string, std::string> extraEnv;  // e.g. KORVAN_ARM_PORT, TZ
  std::string program = KORVAN_CGI_PATH;        // the program to run
};

struct CgiResult {
  int exitStatus = -1;         // exit code, or 128 + signal
  std::string out;             // everything written to stdout
  std::string err;             // everything written to stderr
  std::string body() const;    // `out` after the first "\r\n\r\n"
  std::string header() const;  // `out` up to and with it
};

// Every run gets the short daemon waits; a test of the real ones passes
// kRealDaemonWaits in extraEnv, which wins.
extern const std::map<std::string, std::string> kShortDaemonWaits;
extern const std::map<std::string, std::string> kRealDaemonWaits;

// Runs the program as the web server would, KORVAN_ROOT = root.dir().
CgiResult runCgi(const TempRoot& root, const CgiRequest& request);
// The same in two steps, for a test that acts while the program runs:
// startCgi returns once the program has started; finishCgi waits for it.
struct RunningCgi {
  pid_t pid = -1;
  std::string io;  // the folder of its standard input and output
};
RunningCgi startCgi(const TempRoot& root, const CgiRequest& request);
CgiResult finishCgi(const RunningCgi& running);

// Posts `request` as the postKey form field; replyOf parses the reply (null
// on failure); ajax() is both.
CgiResult postAjax(const TempRoot& root, const Json::Value& request,
                   const std::map<std::string, std::string>& extraEnv = {},
                   const std::string& remoteAddr = "127.0.0.1");
Json::Value replyOf(const CgiResult& result);
Json::Value ajax(const TempRoot& root, const Json::Value& request,
                 const std::map<std::string, std::string>& extraEnv = {},
                 const std::string& remoteAddr = "127.0.0.1");

// A JSON text as a value (null, and a test failure, when it does not parse);
// withMembers sets the members of the JSON object `members` on `request`.
Json::Value parseJson(const std::string& text);
Json::Value withMembers(Json::Value request, const std::string& members);
// The POST that carries `request` as the postKey form field.
CgiRequest ajaxRequest(const Json::Value& request);

// A multipart/form-data POST of `parts` (boundary kFormBoundary), closed
// unless `closed` is false; a part with a file name is a file part.
struct FormPart {
  std::string name;
  std::optional<std::string> fileName;
  std::string content;
};
extern const std::string kFormBoundary;
CgiRequest multipartRequest(const std::vector<FormPart>& parts, bool closed = true);

// Every row of every table, one line each: compared before and after a call.
std::string dumpTables(const TempRoot& root);
// Makes sbin/reboot append to a marker file, whose path it returns.
std::string stubReboot(const TempRoot& root);
// The reply of a call that ended in order (status 0, one header, one JSON
// object), with a test failure otherwise.
Json::Value completeReply(const CgiResult& result);

// Opens a session for `userId` (600 s) and returns a request of `type` in it.
Json::Value sessionRequest(const TempRoot& root, const std::string& type,
                           const std::string& userId = "1");

// Runs `call(now)` until the clock stayed at `now` during the call.
template <class Call>
Json::Value atOneSecond(Call call) {
  for (int i = 0; i < 40; ++i) {
    time_t now = time(nullptr);
    Json::Value reply = call(now);
    if (time(nullptr) == now) return reply;
  }
  ADD_FAILURE() << "the clock kept moving";
  return Json::Value();
}

}  // namespace korvantest
