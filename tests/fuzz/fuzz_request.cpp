// Fuzzes the whole request: the program's own entry (cgicRun) in this
// process, against a scratch root with a seeded database, sessions of every
// level and the simulator's server as the switch daemon on a loopback port.
//
// Input: three control bytes, then the payload.
//   byte 0 (mod 8), the session: 0 administrator (level 3), 1 operator (2),
//     2 viewer (1), 3 and 7 none, 4 the administrator's id with a wrong
//     token, 5 a session that has lapsed (level 3), 6 the operator's id with
//     the administrator's token.
//   byte 1 (mod 8), how the daemon answers every packet: 0 at once, 1 late
//     (within the reply limit), 2 with a failure result, 3 by closing, 4 with
//     part of a reply, 5 never (the reply limit runs out), 6 there is no
//     daemon, 7 with bytes that are no reply.
//   byte 2 (mod 8), the request: 0-3 the payload is the postKey document of
//     an URL-encoded POST; 4 a firmware upload and 5 a database upload of the
//     payload; 6 a database download; 7 the payload is the rest of a
//     multipart body after the session fields. Its top two bits choose
//     the device: 0 as seeded, 1 in factory mode, 2 before the initial
//     password is replaced, 3 both.
// The session's members go in front of the document's own members, which win.
//
// Every input starts from the same database, copied back from a template in
// memory (which holds stored texts of every kind: markup, control
// characters, broken UTF-8), and must leave:
//   - exactly one complete reply: one header; an AJAX call's body one JSON
//     object with `ret`, byte for byte the compact writer's text of that
//     object escaped for markup, with no raw control or markup character;
//     the page shell's body a whole page; a transfer's body its text line or
//     the database;
//   - no transaction open on the program's connection, and a database that
//     passes "pragma integrity_check";
//   - no change of a logged configuration table without a new change record
//     (log2 rows but audit ones); a successful change exactly one, any other
//     call none;
//   - no reply carrying a stored password or another session's token that
//     the request did not carry itself; below level 3 no other account or
//     group and neither address list;
//   - after a refusal (no session, permission, IP list, first login) no
//     write at all but audit records (access, system) in log2, and after any
//     other failure no configuration change and no change record but one
//     that names its outcome (a change the daemon was told of);
//   - no spool file and no partial firmware copy behind it.
// A violation aborts with its reason, the request and the reply.
// FUZZ_REQUEST_SHOW=1 prints the start of every reply body.
#include <dirent.h>
#include <fcntl.h>
#include <json/json.h>
#include <netinet/in.h>
#include <sqlite3.h>
#include <stdio_ext.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "auth/first_login.h"
#include "auth/session.h"
#include "cgi/cgic.h"
#include "cgi/permissions.h"
#include "daemon/arm.h"
#include "daemon/packets.h"
#include "store/db.h"
#include "switch-sim/server.h"
#include "util/json_text.h"

namespace {

// ---- The accounts of the seeded database ------------------------------------

struct Account {
  const char* id;
  const char* name;
  const char* password;
  const char* token;
};
// Passwords and tokens no reply may carry unless the request did; texts that
// occur nowhere else. Account 4's session has lapsed.
const Account kAccounts[] = {
    {"1", "admin", "Adm1n-pw-4f7c", "t0k3n-admin-8d2e61"},
    {"2", "operator", "0per-pw-91be", "t0k3n-oper-5c7a03"},
    {"3", "viewer", "V1ew-pw-2ad8", "t0k3n-view-e4b719"},
    {"4", "lapsed", "Laps-pw-6e30", "t0k3n-laps-0f92c4"},
};

// The caller's session members, or none.
struct Session {
  bool present = false;
  std::string id, token, name;
};

Session sessionOf(uint8_t selector) {
  const auto of = [](const Account& a) { return Session{true, a.id, a.token, a.name}; };
  switch (selector % 8) {
    case 0:
      return of(kAccounts[0]);
    case 1:
      return of(kAccounts[1]);
    case 2:
      return of(kAccounts[2]);
    case 4:
      return Session{true, "1", "not-a-token", "admin"};
    case 5:
      return of(kAccounts[3]);
    case 6:
      return Session{true, "2", kAccounts[0].token, "operator"};
    default:
      return Session{};
  }
}

// ---- Failing --------------------------------------------------------------------

// The request and reply of the input being checked, for the report.
std::string gRequest;
std::string gReply;

[[noreturn]] void fail(const std::string& what) {
  fprintf(stderr,
          "fuzz_request: %s\n--- request (%zu bytes) ---\n%.2000s\n--- reply (%zu bytes) ---\n"
          "%.4000s\n---\n",
          what.c_str(), gRequest.size(), gRequest.c_str(), gReply.size(), gReply.c_str());
  abort();
}

void check(bool condition, const char* what) {
  if (!condition) fail(what);
}

// ---- Files and the database -------------------------------------------------------

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeWhole(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

void makeDir(const std::string& path) {
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) fail("cannot create " + path);
}

void exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error != nullptr ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    fail("harness statement failed: " + text + " in: " + sql);
  }
}

// Every cell of every row of `sql`, as one text.
std::string rowsText(sqlite3* db, const std::string& sql) {
  std::string text;
  auto collect = [](void* target, int columns, char** cells, char**) {
    std::string& out = *static_cast<std::string*>(target);
    for (int i = 0; i < columns; ++i) {
      out += cells[i] != nullptr ? cells[i] : "<null>";
      out += '\x1f';
    }
    out += '\x1e';
    return 0;
  };
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), collect, &text, &error) != SQLITE_OK) {
    const std::string message = error != nullptr ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    fail("harness query failed: " + message + " in: " + sql);
  }
  return text;
}

void copyDatabase(sqlite3* to, sqlite3* from) {
  sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
  if (backup == nullptr) fail(std::string("backup: ") + sqlite3_errmsg(to));
  const int rc = sqlite3_backup_step(backup, -1);
  sqlite3_backup_finish(backup);
  // Busy or locked: the program left a lock on the database.
  if (rc != SQLITE_DONE) fail(std::string("database copy failed: ") + sqlite3_errstr(rc));
}

// What the checks compare, read from the database file.
struct State {
  std::string logged;          // configuration whose changes are logged
  std::string modules;         // dog2: logged, but not in factory mode
  std::string serverIp;        // server2.ip: logged, but also stored for a serverIP member
  std::string unlogged;        // configuration changed without a record
  std::string sessions;        // session columns and the failure counts of logins
  long long records = 0;       // log2 rows
  long long otherRecords = 0;  // change records: log2 rows but audit ones
  // Whether the newest change record names its outcome.
  bool newestSaysOutcome = false;
};

State readState(sqlite3* db) {
  State s;
  s.logged = rowsText(db,
                      "select id,nm,pw,memo,pid,dog,code,frame,media,prior,nm2,addrH,addrC,phone,"
                      "email,memo2,createTime,pwdExpire,pwdDepth,interval from user2 order by id;"
                      "select * from priv2 order by id;"
                      "select uid,nm,encrypt,gateway,subnetMask,portKM,portV,portWeb,temp,humid "
                      "from server2;"
                      "select ip from ips2 order by rowid;"
                      "select ipsType from other2;"
                      "select f_pwd,f_ntpServer,f_snmpServer,f_firstLogin from secureConf;");
  s.modules = rowsText(db,
                       "select id,uid,nm,sm,code,frame,status,usrstatus,type2 from dog2 "
                       "order by id;");
  s.serverIp = rowsText(db, "select ip from server2;");
  s.unlogged = rowsText(db,
                        "select factoryMode from other2;"
                        "select * from iplist order by rowid;"
                        "select * from dogInfo2 order by id;"
                        "select id,serialUserID from dog2 order by id;"
                        "select f_language from secureConf;"
                        // The journal's tables are made by the first change that
                        // tells the daemon, whatever its outcome.
                        "select type,name,sql from sqlite_master where name not in "
                        "('journal','journalTry') order by name;");
  s.sessions = rowsText(db,
                        "select id,token,status,expireTime,loginTime,loginTime2,timezone "
                        "from user2 order by id;"
                        "select * from userLock order by f_id;"
                        "select * from loginStranger order by f_ip;");
  s.records = std::stoll(rowsText(db, "select count(*) from log2").c_str());
  s.otherRecords = std::stoll(
      rowsText(db, "select count(*) from log2 where type not in ('access','system')").c_str());
  s.newestSaysOutcome =
      rowsText(db,
               "select count(*) from log2 where id=(select max(id) from log2 where type not in "
               "('access','system')) and sth like '%\"nm\":\"outcome\"%'")[0] == '1';
  return s;
}

// ---- The fixture, made once -------------------------------------------------------

// Device variants, by the top two bits of byte 2: as seeded, in factory
// mode, before the initial password is replaced (the first-login flag set),
// both.
constexpr int kVariants = 4;
const char* const kVariantSql[kVariants] = {
    "",
    "update other2 set factoryMode=1;",
    "update secureConf set f_firstLogin=1;",
    "update other2 set factoryMode=1; update secureConf set f_firstLogin=1;",
};

struct Fixture {
  std::string root, cgiDir, spoolDir, dbPath, firmwareDir;
  sqlite3* file = nullptr;  // the harness's connection to the database file
  // The databases inputs start from, by device variant, and their states.
  sqlite3* templ[kVariants] = {};
  State before[kVariants];
  int variant = 0;            // of the input being checked
  int inFd = -1, outFd = -1;  // the request's body and reply
  int savedIn = -1, savedOut = -1, home = -1, cgiDirFd = -1;
  switchsim::Server* daemon = nullptr;  // runs on its own thread until the process ends
  int daemonPort = 0, closedPort = 0;
};
Fixture* gFixture = nullptr;

int closedLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len) != 0) {
    fail("no loopback port");
  }
  close(fd);  // nothing listens there now: a connect is refused at once
  return ntohs(address.sin_port);
}

void setDaemon(uint8_t selector) {
  Fixture& f = *gFixture;
  switchsim::Behaviour b;
  int port = f.daemonPort;
  switch (selector % 8) {
    case 1:
      b.delayMs = 10;
      break;
    case 2:
      b.ret = 1;
      break;
    case 3:
      b.close = true;
      break;
    case 4:
      b.shortReply = true;
      break;
    case 5:
      b.silent = true;
      break;
    case 6:
      port = f.closedPort;
      break;
    case 7:
      b.raw = switchsim::Bytes(48, 0xEE);
      break;
    default:
      break;
  }
  for (const auto& info : korvan::pak::kTypes) f.daemon->setBehaviour(info.type, b);
  setenv("KORVAN_ARM_PORT", std::to_string(port).c_str(), 1);
}

void setSessions(sqlite3* db) {
  const long long far = static_cast<long long>(time(nullptr)) + 10LL * 365 * 86400;
  for (const Account& a : kAccounts) {
    const bool lapsed = std::string(a.id) == "4";
    exec(db, std::string("update user2 set pw='") + a.password + "',token='" + a.token +
                 "',status=1,expireTime=" + (lapsed ? std::string("1") : std::to_string(far)) +
                 " where id=" + a.id + ";");
  }
}

// Runs one request as the web server would start the program: the
// environment, the body on standard input, the reply from standard output.
// Returns the entry's result; the reply goes to `reply`.
int serve(const std::string& contentType, const std::string& body, std::string& reply) {
  Fixture& f = *gFixture;
  setenv("REQUEST_METHOD", "POST", 1);
  setenv("CONTENT_TYPE", contentType.c_str(), 1);
  setenv("CONTENT_LENGTH", std::to_string(body.size()).c_str(), 1);

  if (ftruncate(f.inFd, 0) != 0 ||
      pwrite(f.inFd, body.data(), body.size(), 0) != static_cast<ssize_t>(body.size())) {
    fail("cannot write the body");
  }
  lseek(f.inFd, 0, SEEK_SET);
  if (ftruncate(f.outFd, 0) != 0) fail("cannot empty the reply");
  lseek(f.outFd, 0, SEEK_SET);
  fflush(stdout);
  dup2(f.inFd, STDIN_FILENO);
  dup2(f.outFd, STDOUT_FILENO);
  // What stdio buffered of the last body must go: a seek within the buffer
  // would keep it.
  __fpurge(stdin);
  clearerr(stdin);
  if (fchdir(f.cgiDirFd) != 0) fail("cannot enter the cgi folder");

  const int result = cgicRun();

  fflush(stdout);
  if (fchdir(f.home) != 0) fail("cannot return to the working folder");
  dup2(f.savedOut, STDOUT_FILENO);
  dup2(f.savedIn, STDIN_FILENO);
  clearerr(stdin);
  CArm::disconnect();

  const off_t size = lseek(f.outFd, 0, SEEK_END);
  reply.assign(static_cast<size_t>(size), '\0');
  if (size > 0 && pread(f.outFd, reply.data(), reply.size(), 0) != size) fail("cannot read reply");
  return result;
}

std::string urlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// The document with the session's members put in front of its own.
std::string withSession(const Session& s, const std::string& document) {
  if (!s.present) return document;
  const size_t open = document.find_first_not_of(" \t\r\n");
  if (open == std::string::npos || document[open] != '{') return document;
  const size_t next = document.find_first_not_of(" \t\r\n", open + 1);
  const bool empty = next != std::string::npos && document[next] == '}';
  const std::string members = "\"user\":{\"id\":\"" + s.id + "\",\"token\":\"" + s.token +
                              "\",\"nm\":\"" + s.name + "\"},\"userID\":\"" + s.id + "\"" +
                              (empty ? "" : ",");
  return document.substr(0, open + 1) + members + document.substr(open + 1);
}

const char kBoundary[] = "----korvanFuzzBoundary7MA4YWxk";

std::string part(const std::string& name, const std::string& value,
                 const char* fileName = nullptr) {
  std::string text =
      std::string("--") + kBoundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"";
  if (fileName != nullptr) {
    text +=
        std::string("; filename=\"") + fileName + "\"\r\nContent-Type: application/octet-stream";
  }
  return text + "\r\n\r\n" + value + "\r\n";
}

std::string sessionParts(const Session& s) {
  if (!s.present) return "";
  return part("userID", s.id) + part("token", s.token);
}

// ---- Reply checks -------------------------------------------------------------------

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The postKey value as the program reads it: up to its first NUL byte,
// without CR and LF bytes.
std::string postKeyAsRead(const std::string& document) {
  std::string text;
  for (char c : document) {
    if (c == '\0') break;
    if (c != '\r' && c != '\n') text += c;
  }
  return text;
}

bool isRefusal(const std::string& message) {
  return message == session::kSessionRefused || message == kPermissionDenied ||
         message == first_login::kRefused ||
         message == "ip black list error(your ip is in the list)";
}

Json::Value parseObject(const std::string& text) {
  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors) ||
      !value.isObject()) {
    fail("the reply body is not one JSON object: " + errors);
  }
  return value;
}

// The reply's JSON text: no control character or markup character left
// raw, and byte for byte what the library's compact writer gives for the
// document it reads as (then escaped for markup).
void checkJsonText(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 && !(c == '\n' && i + 1 == text.size())) fail("a raw control character in JSON");
    if (c == '<' || c == '>' || c == '&') fail("a markup character left raw in the reply");
  }
  const Json::Value document = parseObject(text);
  if (escapeMarkup(Json::FastWriter().write(document)) != text) {
    fail("the reply is not the compact writer's text of its document");
  }
}

// Below level 3 a caller sees of the accounts only its own, of the groups
// only its own, and neither address list. The level is the one the request
// was admitted with, the seeded account's (operator and viewer are below 3):
// an administrator who moves their own account to a lower group in this
// request still gets the administrator's view with it.
void checkRestrictedView(const Json::Value& reply) {
  const Json::Value& self = reply["curUser"];
  if (!self.isObject() || !self["id"].isString()) return;
  const std::string id = self["id"].asString();
  if (id != kAccounts[1].id && id != kAccounts[2].id) return;
  const Json::Value& users = reply["users"];
  const Json::Value& privs = reply["privs"];
  check(users.isNull() || (users.isArray() && users.size() <= 1),
        "other accounts shown below level 3");
  for (const Json::Value& user : users) {
    check(user["id"] == self["id"], "another account shown below level 3");
  }
  check(privs.isNull() || (privs.isArray() && privs.size() <= 1),
        "other groups shown below level 3");
  for (const Json::Value& group : privs) {
    check(group["id"] == self["pid"], "another group shown below level 3");
  }
  const Json::Value& ips = reply["ips"]["ips"];
  const Json::Value& serverIps = reply["serverips"]["serverips"];
  check(ips.isNull() || ips.empty(), "the access list shown below level 3");
  check(serverIps.isNull() || serverIps.empty(), "the server list shown below level 3");
}

// How the request ended, for the database checks.
struct Outcome {
  bool refused = false;   // an admission refusal
  bool failed = false;    // any other failure
  bool download = false;  // the database went out
  bool changed = false;   // an AJAX change that must leave one log record
};

// Whether a call of `document` that succeeds writes one log record: a change
// action (but a module update in factory mode) or an edit of the access list.
// The document is read as the dispatcher reads it, errors ignored.
bool writesRecord(const std::string& document, bool factory) {
  Json::Value request;
  Json::Reader reader;
  (void)reader.parse(postKeyAsRead(document), request, true);
  if (!request.isObject() || !request["type"].isString()) return false;
  const std::string type = request["type"].asString();
  if (type == "updDog") return !factory;
  return type == "updServer" || type == "updPriv" || type == "updUser" || type == "insUser" ||
         type == "delUser" || type == "modifyIPS";
}

// Checks the reply's form; returns how the request ended.
Outcome checkReply(int result, int kind, const std::string& payload, const std::string& document,
                   const std::string& reply) {
  Outcome outcome;
  if (result == -1) {
    // Decoding failed: nothing may have been written. A body built here
    // decodes unless the payload holds the boundary (or is the body).
    check(kind == 7 || (kind >= 4 && payload.find(kBoundary) != std::string::npos),
          "a well-formed request was not served");
    check(reply.empty(), "a request that failed to decode wrote a reply");
    return outcome;
  }
  const size_t end = reply.find("\r\n\r\n");
  check(end != std::string::npos, "no complete header");
  const std::string header = reply.substr(0, end + 4);
  const std::string body = reply.substr(end + 4);
  check(count(header, "Content-type: ") == 1, "not exactly one content type in the header");
  const size_t lastLine = end == 0 ? std::string::npos : reply.rfind('\n', end - 1);
  check(reply.compare(lastLine == std::string::npos ? 0 : lastLine + 1, 14, "Content-type: ") == 0,
        "the content type is not the header's last line");
  check(body.find("Content-type: text/html") == std::string::npos, "a second header in the body");

  const bool download = header.find("Content-Disposition:attachment;filename=korvan.db\n") == 0;
  if (kind < 4) {
    const std::string key = postKeyAsRead(document);
    if (key.empty() || key.size() >= 30000) {
      check(endsWith(body, "</BODY></HTML>\n \n"), "the page shell is incomplete");
      return outcome;
    }
    check(endsWith(body, " \n"), "the JSON reply does not end with \" \\n\"");
    checkJsonText(body.substr(0, body.size() - 2));
    const Json::Value answer = parseObject(body);
    check(answer["ret"].isString(), "the reply has no ret");
    const std::string ret = answer["ret"].asString();
    check(ret == "ok" || ret == "err" || ret == "warning" || ret == "lockErr" || ret == "armErr",
          "unknown ret");
    if (ret != "ok") {
      check(answer["retMsg"].isString(), "a failure without retMsg");
      outcome.refused = isRefusal(answer["retMsg"].asString());
      outcome.failed = !outcome.refused;
    } else {
      outcome.changed = writesRecord(document, (gFixture->variant & 1) != 0);
      checkRestrictedView(answer);
    }
    return outcome;
  }
  if (kind == 7) return outcome;  // anything the form makes of it, once
  if (download) {
    check(kind == 6, "a download for an upload");
    check(body.compare(0, 16, std::string("SQLite format 3\0", 16)) == 0,
          "the download is no database");
    outcome.download = true;
    return outcome;
  }
  check(endsWith(body, " \n") && body.find('\n') == body.size() - 1,
        "a transfer reply that is not one line");
  const std::string text = body.substr(0, body.size() - 2);
  outcome.refused = isRefusal(text);
  outcome.failed = !outcome.refused && text.find("success") == std::string::npos;
  return outcome;
}

void checkNoSecrets(const std::string& request, const std::string& reply) {
  for (const Account& a : kAccounts) {
    for (const char* secret : {a.password, a.token}) {
      if (request.find(secret) == std::string::npos && reply.find(secret) != std::string::npos) {
        fail(std::string("the reply carries the password or token of ") + a.name);
      }
    }
  }
}

void checkDatabase(const Outcome& outcome, int kind, const std::string& document) {
  Fixture& f = *gFixture;
  if (CDB::dbCnn != nullptr) {
    check(sqlite3_get_autocommit(CDB::dbCnn) != 0, "the request left a transaction open");
  }
  check(rowsText(f.file, "pragma integrity_check") == "ok\x1f\x1e", "integrity_check failed");
  const State after = readState(f.file);
  const State& before = f.before[f.variant];
  // server2.ip is stored without a record for a serverIP member of the request.
  const bool serverIpSent = document.find("serverIP") != std::string::npos;
  // A console module is set up without a record in factory mode.
  const bool factory = (f.variant & 1) != 0;
  const bool loggedChanged = after.logged != before.logged ||
                             (!serverIpSent && after.serverIp != before.serverIp) ||
                             (!factory && after.modules != before.modules);
  const bool anyConfigChanged =
      after.logged != before.logged || after.serverIp != before.serverIp ||
      after.modules != before.modules || after.unlogged != before.unlogged;
  if (loggedChanged && after.otherRecords == before.otherRecords) {
    fail("a logged table changed without a log record");
  }
  if (outcome.refused) {
    check(!anyConfigChanged && after.sessions == before.sessions &&
              after.otherRecords == before.otherRecords,
          "a refused request wrote");
  } else if (outcome.failed) {
    // A change that reached the daemon keeps its record, which says how it
    // ended.
    const bool ownRecord = after.otherRecords == before.otherRecords + 1 && after.newestSaysOutcome;
    check(!anyConfigChanged && (after.otherRecords == before.otherRecords || ownRecord),
          "a failed request changed the configuration");
  } else if (outcome.changed) {
    check(after.otherRecords == before.otherRecords + 1, "a change did not leave one log record");
  } else if (kind < 4) {
    check(after.otherRecords == before.otherRecords, "a call that is no change wrote a record");
  }
}

// Files a request may leave: none in the spool folder, no temporary
// firmware copy. Removes the firmware file an upload stored.
void checkAndClearFiles() {
  Fixture& f = *gFixture;
  std::unique_ptr<DIR, int (*)(DIR*)> spool(opendir(f.spoolDir.c_str()), closedir);
  while (const dirent* e = spool ? readdir(spool.get()) : nullptr) {
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) {
      fail(std::string("spool file left behind: ") + e->d_name);
    }
  }
  std::unique_ptr<DIR, int (*)(DIR*)> app(opendir(f.firmwareDir.c_str()), closedir);
  while (const dirent* e = app ? readdir(app.get()) : nullptr) {
    if (strncmp(e->d_name, "firmupdate.", 11) == 0) {
      fail(std::string("temporary firmware copy left behind: ") + e->d_name);
    }
  }
  unlink((f.firmwareDir + "/firmupdate").c_str());
}

void setUp() {
  auto* f = new Fixture;  // lives as long as the process
  gFixture = f;
  char pattern[] = "/dev/shm/korvan-fuzz-request-XXXXXX";
  char fallback[] = "/tmp/korvan-fuzz-request-XXXXXX";
  const char* made = access("/dev/shm", W_OK) == 0 ? mkdtemp(pattern) : mkdtemp(fallback);
  if (made == nullptr) fail("cannot make the scratch root");
  f->root = made;
  // The scratch root goes with the process (not after a crash: then it is
  // kept with the finding).
  atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(gFixture->root, ignored);
  });
  for (const char* dir : {"/usr", "/usr/app", "/usr/app/yal", "/usr/app/yal/www",
                          "/usr/app/yal/www/cgi", "/usr/app/yal/www/lib", "/sbin", "/spool"}) {
    makeDir(f->root + dir);
  }
  // No sbin/reboot: a local reboot finds no program and the request goes on.
  f->cgiDir = f->root + "/usr/app/yal/www/cgi";
  f->spoolDir = f->root + "/spool";
  f->firmwareDir = f->root + "/usr/app";
  f->dbPath = f->root + "/usr/app/korvan.db";
  writeWhole(f->root + "/usr/app/version", "1.2.3-fuzz\n");
  writeWhole(f->root + "/usr/app/yal/www/HtmlBody.html", "<div id='app'>\n</div>\n");
  writeWhole(f->root + "/usr/app/yal/www/lib/language.js", "var siteLang = 'en';\n");

  if (sqlite3_open(f->dbPath.c_str(), &f->file) != SQLITE_OK) fail("cannot open the database");
  const std::string source = std::string(KORVAN_SOURCE_DIR) + "/db/";
  exec(f->file, readWhole(source + "schema.sql"));
  exec(f->file, readWhole(source + "seed.sql"));
  exec(f->file,
       "insert into user2 (id,nm,pw,memo,pid,dog,token,createTime,pwdExpire,pwdDepth,interval) "
       "values (3,'viewer','x','',3,'11110000','6274',datetime('now','localtime'),"
       "datetime('now','localtime'),'1',600),"
       "(4,'lapsed','x','',1,'33333333','6274',datetime('now','localtime'),"
       "datetime('now','localtime'),'1',600);");
  setSessions(f->file);
  // Stored texts of every kind a request may have left: quotes, backslashes,
  // markup, control characters, line separators, multi-byte and broken UTF-8.
  const std::string odd =
      "cast(X'22275C3C623E26616D703B3C2F623E01097FE280A8E280A95AC3BC72696368F09F9880FFFE' as text)";
  exec(f->file,
       "update user2 set memo=" + odd + ", email=" + odd +
           " where id=2;"
           "insert into dog2 (id,uid,nm,sm,code,frame,status,usrstatus,type2,serialUserID) "
           "values (7,'S2B0000007'," +
           odd +
           ",0,500,10,1,0,1,-1);"
           "insert into log2 (id,user,time,ip,type,typeSub,typeSubCN,sth) values "
           "(null,'admin','2026-01-02 03:04:05','10.0.0.1','user','updUser','update user'," +
           odd + "),(null," + odd + ",'2026-01-02 03:04:06'," + odd + ",'ips','updIPS'," + odd +
           "," + odd +
           ");"
           // Failed logins: "lapsed" is locked out now, the lock of "viewer"
           // has run out, "ghost" is no user and its row is due to go.
           "insert into userLock (f_id,f_datetime,f_userName,f_wrongTimes) values "
           "(null,datetime('now','localtime'),'lapsed',3),"
           "(null,datetime('now','-1 hour','localtime'),'viewer',3),"
           "(null,datetime('now','-2 hours','localtime'),'ghost',1);"
           // Entries in both address lists (the seeded kind 2 enforces neither).
           "insert into ips2(ip) values('10.9.8.7'); insert into iplist values(134744072,0);");

  setenv("KORVAN_ROOT", f->root.c_str(), 1);
  setenv("KORVAN_SPOOL_DIR", f->spoolDir.c_str(), 1);
  setenv("REMOTE_ADDR", "192.168.1.10", 1);
  setenv("QUERY_STRING", "", 1);
  setenv("KORVAN_REPLY_TIMEOUT_MS", "100", 1);
  setenv("KORVAN_CONNECT_TIMEOUT_MS", "200", 1);
  setenv("KORVAN_PACKET_PAUSE_MS", "0", 1);

  f->inFd = memfd_create("request", MFD_CLOEXEC);
  f->outFd = memfd_create("reply", MFD_CLOEXEC);
  f->savedIn = dup(STDIN_FILENO);
  f->savedOut = dup(STDOUT_FILENO);
  f->home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  f->cgiDirFd = open(f->cgiDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (f->inFd < 0 || f->outFd < 0 || f->savedIn < 0 || f->savedOut < 0 || f->home < 0 ||
      f->cgiDirFd < 0) {
    fail("cannot set up the request's descriptors");
  }

  switchsim::Options options;
  options.port = 0;
  options.quiet = true;
  f->daemon = new switchsim::Server(options);
  if (!f->daemon->start()) fail("the daemon cannot listen");
  f->daemonPort = f->daemon->port();
  f->closedPort = closedLoopbackPort();
  std::thread([daemon = f->daemon] { daemon->run(); }).detach();

  // One refresh, so that the template has what every request's upkeep
  // leaves (the console slots of the online modules); then the sessions again.
  setDaemon(0);
  std::string reply;
  serve("application/x-www-form-urlencoded",
        "postKey=" + urlEncode(withSession(sessionOf(0), "{\"type\":\"ref\"}")), reply);
  if (reply.find("\"ret\":\"ok\"") == std::string::npos) {
    gReply = reply;
    fail("the first refresh failed");
  }
  setSessions(f->file);
  sqlite3* seeded = nullptr;
  if (sqlite3_open(":memory:", &seeded) != SQLITE_OK) fail("cannot open the template");
  copyDatabase(seeded, f->file);
  for (int v = 0; v < kVariants; ++v) {
    copyDatabase(f->file, seeded);
    exec(f->file, kVariantSql[v]);
    if (sqlite3_open(":memory:", &f->templ[v]) != SQLITE_OK) fail("cannot open the template");
    copyDatabase(f->templ[v], f->file);
    f->before[v] = readState(f->file);
  }
  sqlite3_close(seeded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 1 << 20) return 0;
  if (gFixture == nullptr) setUp();
  Fixture& f = *gFixture;
  f.variant = data[2] >> 6;
  copyDatabase(f.file, f.templ[f.variant]);

  const Session s = sessionOf(data[0]);
  setDaemon(data[1]);
  const int kind = data[2] % 8;
  const std::string payload(reinterpret_cast<const char*>(data + 3), size - 3);

  std::string document;
  std::string contentType = std::string("multipart/form-data; boundary=") + kBoundary;
  std::string body;
  const std::string end = std::string("--") + kBoundary + "--\r\n";
  switch (kind) {
    case 4:
      body = sessionParts(s) + part("systemFile", payload, "firmware.bin") + end;
      break;
    case 5:
      body = sessionParts(s) + part("dbFile", payload, "korvan.db") + end;
      break;
    case 6:
      body = sessionParts(s) + part("submitDownloadDB", payload) + end;
      break;
    case 7:
      body = sessionParts(s) + payload;
      break;
    default:
      document = withSession(s, payload);
      contentType = "application/x-www-form-urlencoded";
      body = "postKey=" + urlEncode(document);
      break;
  }

  gRequest = body;
  const int result = serve(contentType, body, gReply);
  // To see what the seeds reach.
  static const bool show = getenv("FUZZ_REQUEST_SHOW") != nullptr;
  if (show) {
    const size_t start = gReply.find("\r\n\r\n");
    fprintf(stderr, "reply: %.400s\n",
            start == std::string::npos ? gReply.c_str() : gReply.c_str() + start + 4);
  }
  const Outcome outcome = checkReply(result, kind, payload, document, gReply);
  if (!outcome.download) checkNoSecrets(body, gReply);
  checkDatabase(outcome, kind, kind < 4 ? document : body);
  checkAndClearFiles();
  return 0;
}
