// Fuzzes the whole request: the program's own entry (cgicRun) in this
// process, against a scratch root with a seeded database (db/schema.sql,
// db/seed.sql, tests/fuzz/fixture.sql), sessions of every level and the
// simulator's server as the switch daemon on a loopback port.
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
// Every input starts from the same database and must leave:
//   - exactly one complete reply: one header; an AJAX call's body one JSON
//     object with `ret`, byte for byte the compact writer's text of that
//     object escaped for markup, with no raw control or markup character;
//     the page shell's body a whole page; a transfer's body its text line or
//     the database;
//   - no transaction open on the program's connection, and a database that
//     passes "pragma integrity_check" (checked after every 4th input that
//     wrote: the database is put back after each one);
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
//
// Speed: an input that wrote nothing (the file's change counter is as put
// back) is compared with the stored state without reading the database
// again, and the file is put back only after an input that wrote. The daemon
// waits are a few milliseconds, and the program's shell commands run no shell
// (see system() below).
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdio_ext.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "auth/first_login.h"
#include "auth/session.h"
#include "cgi/cgic.h"
#include "cgi/permissions.h"
#include "core.h"
#include "daemon/arm.h"
#include "daemon/packets.h"
#include "store/db.h"
#include "switch-sim/server.h"
#include "util/json_text.h"
#include "util/token_hash.h"

using namespace korvantest;

// A smaller quarantine than the default 256 MB: freed memory is reused after
// a few requests instead of each allocation touching fresh pages, which
// halves the time of an input; a use after free within a request is still
// found.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace {

struct Account {
  const char *id, *name, *password, *token;
};
// Passwords and tokens no reply may carry unless the request did; texts that
// occur nowhere else. Account 4's session has lapsed.
const Account kAccounts[] = {{"1", "admin", "Adm1n-pw-4f7c", "t0k3n-admin-8d2e61"},
                             {"2", "operator", "0per-pw-91be", "t0k3n-oper-5c7a03"},
                             {"3", "viewer", "V1ew-pw-2ad8", "t0k3n-view-e4b719"},
                             {"4", "lapsed", "Laps-pw-6e30", "t0k3n-laps-0f92c4"}};
const char kBoundary[] = "----korvanFuzzBoundary7MA4YWxk";

struct Session {
  bool present = false;
  std::string id, token, name;
};

Session sessionOf(uint8_t selector) {
  const auto of = [](const Account& a) { return Session{true, a.id, a.token, a.name}; };
  switch (selector % 8) {
    case 0:
    case 1:
    case 2:
      return of(kAccounts[selector % 8]);
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

std::string gRequest, gReply;  // of the input being checked, for the report

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

// What the checks compare, read from the database file, each part by its
// statements: the configuration whose changes are logged; dog2 (logged, but
// not in factory mode); server2.ip (logged, but also stored for a serverIP
// member); configuration changed without a record; the session columns and
// failed logins; the number of change records (log2 rows but audit ones);
// whether the newest change record names its outcome.
enum Part {
  kLogged, kModules, kServerIp, kUnlogged, kSessions, kOtherRecords, kNewestOutcome, kPasswords,
  kParts
};
using State = std::array<std::string, kParts>;
const std::vector<const char*> kStateSql[kParts] = {
    {"select id,nm,memo,pid,dog,code,frame,media,prior,nm2,addrH,addrC,phone,email,memo2,"
     "createTime,pwdExpire,pwdDepth,interval from user2 order by id",
     "select * from priv2 order by id",
     "select uid,nm,encrypt,gateway,subnetMask,portKM,portV,portWeb,temp,humid from server2",
     "select ip from ips2 order by rowid", "select ipsType from other2",
     "select f_pwd,f_ntpServer,f_snmpServer,f_firstLogin from secureConf"},
    {"select id,uid,nm,sm,code,frame,status,usrstatus,type2 from dog2 order by id"},
    {"select ip from server2"},
    {"select factoryMode from other2", "select * from iplist order by rowid",
     "select * from dogInfo2 order by id", "select id,serialUserID from dog2 order by id",
     "select f_language from secureConf",
     // The journal's tables are made by the first change that tells the
     // daemon, whatever its outcome.
     "select type,name,sql from sqlite_master where name not in ('journal','journalTry') "
     "order by name"},
    {"select id,token,status,expireTime,loginTime,loginTime2,timezone from user2 order by id",
     "select * from userLock order by f_id", "select * from loginStranger order by f_ip"},
    {"select count(*) from log2 where type not in ('access','system')"},
    {"select count(*) from log2 where id=(select max(id) from log2 where type not in "
     "('access','system')) and sth like '%\"nm\":\"outcome\"%'"},
    // The stored passwords: a change record's, or a login's, which replaces
    // a plain or outdated stored form by its hash under its access record.
    {"select id,pw from user2 order by id"}};

// Read with statements prepared once: the schema stays, so they stay valid.
State readState(sqlite3* db) {
  static std::vector<sqlite3_stmt*> statements;
  State state;
  size_t next = 0;
  for (int part = 0; part < kParts; ++part) {
    for (const char* sql : kStateSql[part]) {
      if (next == statements.size()) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
            SQLITE_OK) {
          fail(std::string("harness statement failed: ") + sqlite3_errmsg(db));
        }
        statements.push_back(statement);
      }
      sqlite3_stmt* statement = statements[next++];
      int rc;
      while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
          const auto* cell = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
          state[part] += cell ? cell : "<null>";
          state[part] += '\x1f';
        }
        state[part] += '\x1e';
      }
      sqlite3_reset(statement);
      if (rc != SQLITE_DONE) fail(std::string("harness query failed: ") + sqlite3_errmsg(db));
    }
  }
  return state;
}

// Device variants, by the top two bits of byte 2.
constexpr int kVariants = 4;
const char* const kVariantSql[kVariants] = {
    "", "update other2 set factoryMode=1;", "update secureConf set f_firstLogin=1;",
    "update other2 set factoryMode=1; update secureConf set f_firstLogin=1;"};

struct Fixture {
  std::string root, spoolDir, dbPath, firmwareDir;
  sqlite3* file = nullptr;  // the harness's connection to the database file
  // The database file each variant starts from, and its state.
  std::string image[kVariants];
  State before[kVariants];
  int variant = -1;      // whose image the file holds, -1 after a write
  uint32_t counter = 0;  // the change counter last put in the file
  int fd = -1;           // the database file
  long writes = 0;       // inputs that wrote
  int inFd = -1, outFd = -1, savedIn = -1, savedOut = -1, home = -1, cgiDirFd = -1;
  switchsim::Server* daemon = nullptr;  // runs on its own thread until the process ends
  int daemonPort = 0, closedPort = 0;
};
Fixture* gFixture = nullptr;

// Runs harness statements, which must not fail.
void sql(const std::string& text) {
  try {
    execSql(gFixture->file, text);
  } catch (const std::exception& e) {
    fail(std::string("harness statement failed: ") + e.what());
  }
}

uint32_t changeCounter() {
  unsigned char bytes[4];
  if (pread(gFixture->fd, bytes, 4, 24) != 4) fail("cannot read the database header");
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | bytes[2] << 8 | bytes[3];
}

// Puts the variant's image back into the database file, with a change
// counter (and its valid-for copy) above the file's, which no connection has
// seen, so that both connections drop what they cached; the schema cookie
// stays, so that neither parses the schema again.
void restore(int variant) {
  Fixture& f = *gFixture;
  std::string image = f.image[variant];
  f.counter = changeCounter() + 1;
  for (size_t at : {24, 92}) {
    for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>(f.counter >> (24 - 8 * i));
  }
  // Written over, not emptied first: the file's pages stay allocated.
  if (pwrite(f.fd, image.data(), image.size(), 0) != static_cast<ssize_t>(image.size()) ||
      ftruncate(f.fd, static_cast<off_t>(image.size())) != 0) {
    fail("cannot put the database back");
  }
  f.variant = variant;
}

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
      b.delayMs = 3;
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

void setSessions() {
  const long long far = static_cast<long long>(time(nullptr)) + 10LL * 365 * 86400;
  for (const Account& a : kAccounts) {
    const bool lapsed = std::string(a.id) == "4";
    sql(std::string("update user2 set pw='") + a.password + "',token='" + korvan::tokenHash(a.token) +
        "',status=1,expireTime=" + (lapsed ? std::string("1") : std::to_string(far)) +
        " where id=" + a.id + ";");
  }
}

// Runs one request as the web server would start the program: the
// environment, the body on standard input, the reply from standard output.
int serve(const std::string& contentType, const std::string& body, std::string& reply) {
  Fixture& f = *gFixture;
  setenv("CONTENT_TYPE", contentType.c_str(), 1);
  setenv("CONTENT_LENGTH", std::to_string(body.size()).c_str(), 1);
  // The body is written over the last one and the reply read up to where
  // the program's writes ended, so that the files keep their pages.
  if (pwrite(f.inFd, body.data(), body.size(), 0) != static_cast<ssize_t>(body.size()) ||
      ftruncate(f.inFd, static_cast<off_t>(body.size())) != 0) {
    fail("cannot write the body");
  }
  lseek(f.inFd, 0, SEEK_SET);
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
  // Every input starts without log collectors, as from the same database.
  unlink((f.root + "/usr/app/korvan-forward.db").c_str());
  const off_t size = lseek(f.outFd, 0, SEEK_CUR);
  reply.assign(static_cast<size_t>(size), '\0');
  if (size > 0 && pread(f.outFd, reply.data(), reply.size(), 0) != size) fail("cannot read reply");
  return result;
}

// The document with the session's members put in front of its own.
std::string withSession(const Session& s, const std::string& document) {
  const size_t open = document.find_first_not_of(" \t\r\n");
  if (!s.present || open == std::string::npos || document[open] != '{') return document;
  const size_t next = document.find_first_not_of(" \t\r\n", open + 1);
  const bool empty = next != std::string::npos && document[next] == '}';
  return document.substr(0, open + 1) + "\"user\":{\"id\":\"" + s.id + "\",\"token\":\"" + s.token +
         "\",\"nm\":\"" + s.name + "\"},\"userID\":\"" + s.id + "\"" + (empty ? "" : ",") +
         document.substr(open + 1);
}

std::string sessionParts(const Session& s) {
  return s.present ? formPart(kBoundary, "userID", s.id) + formPart(kBoundary, "token", s.token)
                   : "";
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
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

Json::Value parseReply(const std::string& text) {
  try {
    return parseObject(text);
  } catch (const std::exception& e) {
    fail(std::string("the reply body: ") + e.what());
  }
}

// The reply's JSON text: no control character or markup character left
// raw, and byte for byte what the library's compact writer gives for the
// document it reads as (then escaped for markup). Returns the document.
Json::Value checkJsonText(const std::string& text) {
  for (const char c : text) {
    check(static_cast<unsigned char>(c) >= 0x20, "a raw control character in JSON");
    check(c != '<' && c != '>' && c != '&', "a markup character left raw in the reply");
  }
  Json::Value document = parseReply(text);
  check(escapeMarkup(Json::FastWriter().write(document)) == text + "\n",
        "the reply is not the compact writer's text of its document");
  return document;
}

// Below level 3 a caller sees of the accounts only its own, of the groups
// only its own, and neither address list. The level is the one the request
// was admitted with, the seeded account's: an administrator who moves their
// own account to a lower group in this request still gets the
// administrator's view with it.
void checkRestrictedView(const Json::Value& reply) {
  const Json::Value& self = reply["curUser"];
  if (!self.isObject() || !self["id"].isString()) return;
  const std::string id = self["id"].asString();
  if (id != kAccounts[1].id && id != kAccounts[2].id) return;
  for (const char* list : {"users", "privs"}) {
    const Json::Value& rows = reply[list];
    check(rows.isNull() || (rows.isArray() && rows.size() <= 1),
          "other accounts or groups shown below level 3");
    for (const Json::Value& row : rows) {
      check(row["id"] == self[list[0] == 'u' ? "id" : "pid"],
            "another account or group shown below level 3");
    }
  }
  check(reply["ips"]["ips"].empty() && reply["serverips"]["serverips"].empty(),
        "an address list shown below level 3");
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
bool writesRecord(const std::string& document, bool factory) {
  Json::Value request;
  (void)Json::Reader().parse(postKeyAsRead(document), request, true);
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
  const std::string header = reply.substr(0, end + 4), body = reply.substr(end + 4);
  const size_t type = header.find("Content-type: ");
  check(type != std::string::npos && header.find("Content-type: ", type + 1) == std::string::npos,
        "not exactly one content type in the header");
  check(type == 0 || header[type - 1] == '\n', "the content type does not start a line");
  check(header.find('\n', type) == end + 1, "the content type is not the header's last line");
  check(body.find("Content-type: text/html") == std::string::npos, "a second header in the body");
  if (kind < 4) {
    const std::string key = postKeyAsRead(document);
    if (key.empty() || key.size() >= 30000) {
      check(endsWith(body, "</BODY></HTML>\n \n"), "the page shell is incomplete");
      return outcome;
    }
    check(endsWith(body, "\n \n"), "the JSON reply does not end with \"\\n \\n\"");
    const Json::Value answer = checkJsonText(body.substr(0, body.size() - 3));
    const std::string ret = answer["ret"].isString() ? answer["ret"].asString() : "";
    check(ret == "ok" || ret == "err" || ret == "warning" || ret == "lockErr" || ret == "armErr",
          "no ret or an unknown one");
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
  if (header.find("Content-Disposition:attachment;filename=korvan.db\n") == 0) {
    check(kind == 6 || kind == 7, "a download for an upload");
    check(body.compare(0, 16, std::string("SQLite format 3\0", 16)) == 0,
          "the download is no database");
    outcome.download = true;
    return outcome;
  }
  if (kind == 7) return outcome;  // anything else the form makes of it, once
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

void checkDatabase(const Outcome& outcome, int kind, const std::string& document, int variant) {
  Fixture& f = *gFixture;
  if (CDB::dbCnn != nullptr) {
    check(sqlite3_get_autocommit(CDB::dbCnn) != 0, "the request left a transaction open");
  }
  const State& before = f.before[variant];
  const bool wrote = changeCounter() != f.counter;
  if (wrote) {
    f.variant = -1;  // to be put back before the next input
    if (++f.writes % 4 == 0) {
      check(querySql(f.file, "pragma integrity_check") == SqlRows{{"ok"}},
            "integrity_check failed");
    }
  }
  const State after = wrote ? readState(f.file) : before;
  // server2.ip is stored without a record for a serverIP member of the request.
  const bool serverIpSent = document.find("serverIP") != std::string::npos;
  // A console module is set up without a record in factory mode.
  const bool factory = (variant & 1) != 0;
  const auto changed = [&](Part part) { return after[part] != before[part]; };
  const bool loginRehash = !outcome.refused && !outcome.failed &&
                           document.find("\"login\"") != std::string::npos;
  const bool loggedChanged = changed(kLogged) || (!loginRehash && changed(kPasswords)) ||
                             (!serverIpSent && changed(kServerIp)) || (!factory && changed(kModules));
  const bool anyConfigChanged = changed(kLogged) || changed(kPasswords) || changed(kServerIp) ||
                                changed(kModules) || changed(kUnlogged);
  const long long records = std::stoll(before[kOtherRecords]);
  const long long recordsAfter = std::stoll(after[kOtherRecords]);
  if (loggedChanged && recordsAfter == records) fail("a logged table changed without a log record");
  if (outcome.refused) {
    check(!anyConfigChanged && !changed(kSessions) && recordsAfter == records,
          "a refused request wrote");
  } else if (outcome.failed) {
    // A change that reached the daemon keeps its record, which says how it
    // ended.
    const bool ownRecord = recordsAfter == records + 1 && after[kNewestOutcome][0] == '1';
    check(!anyConfigChanged && (recordsAfter == records || ownRecord),
          "a failed request changed the configuration");
  } else if (outcome.changed) {
    check(recordsAfter == records + 1, "a change did not leave one log record");
  } else if (kind < 4) {
    check(recordsAfter == records, "a call that is no change wrote a record");
  }
}

// Files a request may leave: none in the spool folder, no temporary
// firmware copy. Removes the firmware file an upload stored.
void checkAndClearFiles() {
  Fixture& f = *gFixture;
  const auto none = [](const std::string& dir, const char* prefix) {
    const std::unique_ptr<DIR, int (*)(DIR*)> d(opendir(dir.c_str()), closedir);
    while (const dirent* e = d ? readdir(d.get()) : nullptr) {
      if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0 &&
          strncmp(e->d_name, prefix, strlen(prefix)) == 0) {
        fail(std::string("a spool file or firmware copy left behind: ") + e->d_name);
      }
    }
  };
  none(f.spoolDir, "");
  none(f.firmwareDir, "firmupdate.");
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
  // No sbin/reboot: a local reboot finds no program and the request goes on.
  std::filesystem::create_directories(f->root + "/usr/app/yal/www/cgi");
  std::filesystem::create_directories(f->root + "/spool");
  f->spoolDir = f->root + "/spool";
  f->firmwareDir = f->root + "/usr/app";
  f->dbPath = f->root + "/usr/app/korvan.db";
  writeFile(f->root + "/usr/app/version", "1.2.3-fuzz\n");
  writeFile(f->root + "/usr/app/yal/www/HtmlBody.html", "<div id='app'>\n</div>\n");
  writeFile(f->root + "/usr/app/yal/www/lib/language.js", "var siteLang = 'en';\n");

  if (sqlite3_open(f->dbPath.c_str(), &f->file) != SQLITE_OK) fail("cannot open the database");
  const std::string source = std::string(KORVAN_SOURCE_DIR) + "/";
  for (const char* file : {"db/schema.sql", "db/seed.sql", "tests/fuzz/fixture.sql"}) {
    sql(readFile(source + file));
  }
  setSessions();
  setenv("KORVAN_ROOT", f->root.c_str(), 1);
  setenv("KORVAN_HASH_COST", "4", 1);
  setenv("KORVAN_SPOOL_DIR", f->spoolDir.c_str(), 1);
  setenv("REMOTE_ADDR", "192.168.1.10", 1);
  setenv("REQUEST_METHOD", "POST", 1);
  setenv("QUERY_STRING", "", 1);
  setenv("KORVAN_REPLY_TIMEOUT_MS", "25", 1);
  setenv("KORVAN_CONNECT_TIMEOUT_MS", "200", 1);
  // A made-up syslog collector is never looked up or reached off this machine.
  setenv("KORVAN_SYSLOG_LOOPBACK_ONLY", "1", 1);
  setenv("KORVAN_PACKET_PAUSE_MS", "0", 1);

  f->fd = open(f->dbPath.c_str(), O_RDWR | O_CLOEXEC);
  f->inFd = memfd_create("request", MFD_CLOEXEC);
  f->outFd = memfd_create("reply", MFD_CLOEXEC);
  f->savedIn = dup(STDIN_FILENO);
  f->savedOut = dup(STDOUT_FILENO);
  f->home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  f->cgiDirFd =
      open((f->root + "/usr/app/yal/www/cgi").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (f->fd < 0 || f->inFd < 0 || f->outFd < 0 || f->savedIn < 0 || f->savedOut < 0 ||
      f->home < 0 || f->cgiDirFd < 0) {
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

  // One refresh, so that the images have what every request's upkeep
  // leaves (the console slots of the online modules); then the sessions again.
  setDaemon(0);
  serve("application/x-www-form-urlencoded",
        "postKey=" + urlEncode(withSession(sessionOf(0), "{\"type\":\"ref\"}")), gReply);
  check(gReply.find("\"ret\":\"ok\"") != std::string::npos, "the first refresh failed");
  setSessions();
  const std::string seeded = readFile(f->dbPath);
  for (int v = 0; v < kVariants; ++v) {
    f->image[v] = seeded;
    restore(v);
    sql(kVariantSql[v]);
    f->image[v] = readFile(f->dbPath);
    f->before[v] = readState(f->file);
  }
  f->variant = -1;
}

}  // namespace

// The program's shell commands, the language edit of every page shell and
// the reboot pipeline, run no shell here: forking this process costs more
// than a request. Each must be one of those two, the language a plain code
// (nothing a shell reads as more than a word); the program ignores the result.
extern "C" int system(const char* command) {
  if (command == nullptr) return 0;
  const std::string text = command;
  const std::string edit = "sed -i \"/var siteLang = */c\\var siteLang ='",
                    end = "';\" ../lib/language.js";
  const bool isEdit = text.size() >= edit.size() + end.size() &&
                      text.size() <= edit.size() + end.size() + 16 && text.rfind(edit, 0) == 0 &&
                      endsWith(text, end) &&
                      std::all_of(text.begin() + edit.size(), text.end() - end.size(), [](char c) {
                        return isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
                      });
  check(isEdit || text == "'" + gFixture->root + "/sbin/reboot' 2>&1 | tee -a '" + gFixture->root +
                               "/var/run/korvan-reboot.log'",
        "an unexpected shell command");
  return 127 << 8;  // as a shell that found no program
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 1 << 20) return 0;
  if (gFixture == nullptr) setUp();
  const int variant = data[2] >> 6;
  if (gFixture->variant != variant) restore(variant);
  const Session s = sessionOf(data[0]);
  setDaemon(data[1]);
  const int kind = data[2] % 8;
  const std::string payload(reinterpret_cast<const char*>(data + 3), size - 3);

  std::string document, body;
  std::string contentType = std::string("multipart/form-data; boundary=") + kBoundary;
  const std::string end = std::string("--") + kBoundary + "--\r\n";
  switch (kind) {
    case 4:
      body = sessionParts(s) + formPart(kBoundary, "systemFile", payload, "firmware.bin") + end;
      break;
    case 5:
      body = sessionParts(s) + formPart(kBoundary, "dbFile", payload, "korvan.db") + end;
      break;
    case 6:
      body = sessionParts(s) + formPart(kBoundary, "submitDownloadDB", payload) + end;
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
  static const bool show = getenv("FUZZ_REQUEST_SHOW") != nullptr;
  if (show) {
    const size_t start = gReply.find("\r\n\r\n");
    fprintf(stderr, "reply: %.400s\n",
            start == std::string::npos ? gReply.c_str() : gReply.c_str() + start + 4);
  }
  const Outcome outcome = checkReply(result, kind, payload, document, gReply);
  if (!outcome.download) checkNoSecrets(body, gReply);
  checkDatabase(outcome, kind, kind < 4 ? document : body, variant);
  checkAndClearFiles();
  return 0;
}
