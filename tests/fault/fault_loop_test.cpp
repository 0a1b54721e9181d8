// Every request of the request table, with its successful input, run through
// korvan-fault.cgi with the k-th storage operation of one kind failed (read,
// write, full disk, sync, lock, allocation; for a full disk and allocation
// also every operation from the k-th on), or with the process killed at
// the k-th file operation, for k = 1, 2, ... until the request ends without
// reaching k. After every run:
//   - the program exited normally with one complete reply (unless killed),
//   - a successful reply means the change is stored, a failed one that it
//     is not,
//   - the change and its operation-log record are both stored or both not,
//   - the database passes integrity_check, and the next request works,
//   - no daemon packet went out without its committed record, and a change
//     told to the daemon but not stored is left in the journal for the next
//     request that reaches the daemon (such runs are counted and printed).
// ctest runs a sample of k (1, 2, 4, ...); with KORVAN_FAULT_FULL=1 (make
// fault-test) every k runs.
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>

#include <sqlite3.h>

#include "calls.h"
#include "util/device_key.h"
#include "util/totp.h"
#include "fake_daemon.h"
#include "testroot.h"

namespace {

using korvantest::CgiRequest;
using korvantest::CgiResult;
using korvantest::FakeDaemon;
using korvantest::RequestEntry;
using korvantest::TempRoot;

std::function<std::string(const TempRoot&)> sql(const char* query) {
  return [query](const TempRoot& root) { return root.scalar(query); };
}

enum class Reply { kAjax, kText, kDownload, kCsv };

// The operation-log record a request writes.
enum class Record {
  kNone,
  kWithChange,    // one, committed with the change
  kBeforeChange,  // one, committed before the change (a file) takes effect
  kOnSuccess,     // one with every successful reply (nothing else is stored)
  kFirst,         // one, committed before the daemon is told, the change after it
};

// What a request of the request table (its successful input) leaves.
struct Expect {
  bool daemon;    // runs against the fake daemon
  Record record;  // the log record that comes with it
  // The stored change as text (compared before and after), or nothing when
  // the request stores nothing but the session's extension.
  std::function<std::string(const TempRoot&)> state;
  Reply reply = Reply::kAjax;
  // A failed reply may follow a stored change: a login whose reply could not
  // be made is simply made again, with a new token.
  bool again = false;
};

const auto kFirmware = [](const TempRoot& r) {
  return korvantest::readFile(r.path("usr/app/firmupdate"));
};

// The collectors stored in the forwarding file ("" while there is none).
const auto kForwardState = [](const TempRoot& r) {
  sqlite3* db = nullptr;
  std::string out;
  if (sqlite3_open_v2(r.path("usr/app/korvan-forward.db").c_str(), &db, SQLITE_OPEN_READONLY,
                      nullptr) == SQLITE_OK) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, "select group_concat(slot||'/'||host||'/'||port, ',') from collector",
                           -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0) != nullptr)
      out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
  }
  sqlite3_close(db);
  return out;
};

// By type; a type of the table missing here fails.
const std::map<std::string, Expect> kExpect = {
    {"login",
     {false, Record::kWithChange, sql("select status||'/'||token from user2 where id=1"),
      Reply::kAjax, true}},
    {"logout",
     {false, Record::kWithChange, sql("select status||'/'||token from user2 where id=1")}},
    {"ref", {false, Record::kNone, nullptr}},
    // A new pending seed has no record; a reply lost after it is asked again.
    {"totpBegin",
     {false, Record::kNone, sql("select totpPending<>'' from user2 where id=1"), Reply::kAjax,
      true}},
    // The code of a pending seed made for the run (prepare()): the seed
    // becomes the user's, with its record.
    {"totpConfirm",
     {false, Record::kWithChange, sql("select totpSecret<>'' from user2 where id=1")}},
    {"totpReset", {false, Record::kWithChange, sql("select totpSecret from user2 where id=2")}},
    {"selLog", {false, Record::kNone, nullptr}},
    {"qt", {true, Record::kOnSuccess, nullptr}},
    {"setTime", {true, Record::kOnSuccess, nullptr}},
    {"restart", {true, Record::kOnSuccess, nullptr}},
    {"saveLanguage", {false, Record::kWithChange, sql("select f_language from secureConf")}},
    {"selDirectory", {false, Record::kNone, nullptr}},
    {"testDirectory", {false, Record::kNone, nullptr}},
    {"updDirectory", {false, Record::kWithChange, sql("select settings from directory2")}},
    {"unlockUser",
     {false, Record::kWithChange,
      sql("select count(*) from userLock where f_userName='operator'")}},
    {"modifyIPS",
     {false, Record::kWithChange,
      sql("select ipsType||':'||ifnull((select group_concat(ip) from ips2),'') from other2")}},
    {"modifyServerIPS",
     {false, Record::kWithChange, sql("select group_concat(ip||'/'||reserved) from iplist")}},
    {"operaSerial", {false, Record::kWithChange, sql("select serialUserID from dog2 where id=3")}},
    {"convertToClientMode", {false, Record::kWithChange, sql("select factoryMode from other2")}},
    {"unsetDogInfo",
     {false, Record::kWithChange, sql("select setted||uid||nm from dogInfo2 where id=5")}},
    {"updServer", {true, Record::kFirst, sql("select ip||'/'||nm from server2")}},
    {"updDog",
     {true, Record::kFirst,
      sql("select d.nm||'/'||d.frame||'/'||i.nm from dog2 d, dogInfo2 i where d.id=1 and i.id=1")}},
    {"updPriv",
     {false, Record::kWithChange,
      sql("select p.nm||'/'||p.dog||'/'||group_concat(u.dog) from priv2 p, user2 u"
          " where p.id=2 and u.pid=2")}},
    {"updUser", {false, Record::kWithChange, sql("select memo||'/'||dog from user2 where id=2")}},
    {"insUser",
     {false, Record::kWithChange, sql("select count(*) from user2 where nm='newcomer'")}},
    {"delUser", {false, Record::kWithChange, sql("select count(*) from user2 where id=4")}},
    {"systemFile", {false, Record::kBeforeChange, kFirmware, Reply::kText}},
    {"dbFile", {false, Record::kBeforeChange, kFirmware, Reply::kText}},
    {"submitDownloadDB", {false, Record::kOnSuccess, nullptr, Reply::kDownload}},
    {"submitExportLog", {false, Record::kNone, nullptr, Reply::kCsv}},
    {"selSessions", {false, Record::kNone, nullptr}},
    {"endSession",
     {false, Record::kWithChange, sql("select status from user2 where id=5")}},
    {"selConsoles", {false, Record::kNone, nullptr}},
    {"health", {true, Record::kNone, nullptr}},
    // Log forwarding keeps its settings in a file of its own, committed after
    // the record of the change.
    {"selSyslog", {false, Record::kNone, nullptr}},
    {"setSyslog", {false, Record::kBeforeChange, kForwardState}},
    {"testSyslog", {false, Record::kNone, nullptr}},
};

// The request of `entry` by the administrator. A transfer's session is due
// for the extension that every transfer writes, and an uploaded image spans
// several pieces of the upload's copy.
CgiRequest prepare(const TempRoot& root, const RequestEntry& entry) {
  if (entry.type == "testSyslog") {
    // A collector to test: the table's setSyslog stores one.
    for (const RequestEntry& other : korvantest::requestTable())
      if (other.type == "setSyslog") korvantest::runCgi(root, korvantest::tableCall(root, other));
  }
  if (entry.type == "totpConfirm") {
    // A pending seed sealed with this root's device key, and its current code.
    const std::string seed = "fault-loop-seed-0123";
    setenv("KORVAN_ROOT", root.dir().c_str(), 1);
    const std::string sealed = korvan::sealSecret(seed, "totp:1");
    unsetenv("KORVAN_ROOT");
    root.exec("update user2 set totpPending='" + sealed + "' where id=1;");
    RequestEntry sent = entry;
    sent.members["otp"] = korvan::totpCode(seed, korvan::totpStep(time(nullptr)));
    return korvantest::tableCall(root, sent);
  }
  if (!entry.transfer) return korvantest::tableCall(root, entry);
  RequestEntry sent = entry;
  for (const auto& file : entry.files) {
    std::string& content = sent.form[file.first];
    while (!content.empty() && content.size() < 5000) content += content;
  }
  korvantest::sessionRequest(root, "", "1");
  root.exec("update user2 set expireTime=expireTime-100 where id=1;");
  return korvantest::transferCall(root, sent, "1", "test-token-1");
}

// What the fault layer saw in one run.
struct Report {
  std::map<std::string, long> seen;
  bool fired = false;
  bool present = false;
};

Report readReport(const std::string& path) {
  Report report;
  std::istringstream in(korvantest::readFile(path));
  std::string item;
  while (in >> item) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos) continue;
    const long n = std::stol(item.substr(eq + 1));
    if (item.compare(0, eq, "fired") == 0) {
      report.fired = n != 0;
      report.present = true;
    } else {
      report.seen[item.substr(0, eq)] = n;
    }
  }
  return report;
}

// Whether a reply reports success, and whether it is complete.
struct ReplyState {
  bool complete = false;
  bool ok = false;
  std::string message;
};

ReplyState judge(Reply kind, const CgiResult& result, const TempRoot& root) {
  ReplyState state;
  const std::string body = result.body();
  if (kind == Reply::kAjax) {
    Json::Value reply;
    state.complete = Json::Reader().parse(body, reply) && reply.isObject() &&
                     reply["ret"].isString() && body.size() >= 2 &&
                     body.compare(body.size() - 2, 2, " \n") == 0;
    state.ok = state.complete && reply["ret"].asString() == "ok";
    state.message = reply.isObject() ? reply["retMsg"].asString() : "";
  } else if (kind == Reply::kCsv && result.header().find("text/csv") != std::string::npos) {
    // Every line of the export, the heading included, ends in CR LF.
    state.complete = body.rfind("id,time,", 0) == 0 && body.size() >= 2 &&
                     body.compare(body.size() - 2, 2, "\r\n") == 0;
    state.ok = state.complete;
  } else if (kind == Reply::kDownload &&
             result.header().find("attachment;filename=korvan.db") != std::string::npos) {
    // A download is the whole database file as it is after the request.
    state.complete = body == korvantest::readFile(root.dbPath());
    state.ok = state.complete;
  } else {
    state.complete = body.size() > 2 && body.compare(body.size() - 2, 2, " \n") == 0;
    state.ok = state.complete && body.find("success") != std::string::npos;
    state.message = body;
  }
  return state;
}

std::string env(const char* name) {
  const char* value = getenv(name);
  return value != nullptr ? value : "";
}

// KORVAN_FAULT_KINDS, a list such as "read,oom", limits the loops to those
// kinds; unset, every kind runs.
bool kindWanted(const std::string& kind) {
  const std::string kinds = env("KORVAN_FAULT_KINDS");
  return kinds.empty() || ("," + kinds + ",").find("," + kind + ",") != std::string::npos;
}

bool fullLoop() { return env("KORVAN_FAULT_FULL") == "1"; }

// The next k of the sample: doubling, so that a request's whole range is
// crossed in a dozen runs.
long nextK(long k) { return fullLoop() ? k + 1 : 2 * k; }

// Tallies of one loop, printed when it ends.
struct Tally {
  int runs = 0;
  int failed = 0;  // the fault was hit
  int gaps = 0;    // a packet went out for a change the commit then lost
  long lastK = 0;
};

class FaultLoop : public ::testing::TestWithParam<RequestEntry> {
 protected:
  const RequestEntry& entry() const { return GetParam(); }
  const Expect& expected() const { return kExpect.at(entry().type); }

  // One run with KORVAN_FAULT=`fault`:k (k 0: no fault, and the request must
  // succeed); false once k lies past the last operation of its kind.
  bool runOnce(const std::string& fault, long k, bool kill, Tally& tally) {
    const Expect& c = expected();
    const std::string where =
        entry().type + " " + fault + ":" + std::to_string(k) + (kill ? " (killed)" : "");
    TempRoot root;
    CgiRequest request = prepare(root, entry());
    const std::string before = c.state ? c.state(root) : "";
    const std::string logsBefore = root.scalar("select count(*) from log2");
    const size_t packetsBefore = daemon_.packets().size();
    // The request that follows the run, in another user's session, so that
    // it leaves the caller's session as the run left it.
    const Json::Value next = korvantest::sessionRequest(root, "ref", "2");
    request.program = KORVAN_FAULT_CGI_PATH;
    if (k > 0) request.extraEnv["KORVAN_FAULT"] = fault + ":" + std::to_string(k);
    request.extraEnv["KORVAN_FAULT_REPORT"] = root.path("fault-report");
    if (kill) request.extraEnv["KORVAN_FAULT_KILL"] = "1";
    if (c.daemon) request.extraEnv["KORVAN_ARM_PORT"] = std::to_string(daemon_.port());
    const CgiResult result = korvantest::runCgi(root, request);
    const Report report = readReport(root.path("fault-report"));
    if (k == 0) {
      std::cout << "[ fault    ] " << entry().type << " without a fault:";
      for (const auto& [kind, n] : report.seen) std::cout << " " << kind << "=" << n;
      std::cout << "\n";
    }
    ++tally.runs;
    tally.lastK = k;

    EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << where << "\n" << result.err;
    EXPECT_EQ(result.err.find("runtime error"), std::string::npos) << where << "\n" << result.err;
    const bool killed = result.exitStatus == 128 + SIGKILL;
    ReplyState reply;
    if (kill && killed) {
      EXPECT_FALSE(report.present) << where;
    } else {
      EXPECT_EQ(result.exitStatus, 0) << where << "\n" << result.err;
      EXPECT_TRUE(report.present) << where << ": no report from the fault layer";
      reply = judge(c.reply, result, root);
      EXPECT_TRUE(reply.complete) << where << "\n" << result.out;
      if (k == 0) {
        EXPECT_TRUE(reply.ok) << where << ": " << reply.message;
      }
    }
    const bool hit = report.fired || killed;
    if (hit) ++tally.failed;

    // The next request works on what the run left, a journal to roll back
    // included; only then does this process open the database. A failed
    // statement has rolled back already, so the sample asks it after kills
    // only.
    if (killed || fullLoop()) {
      const Json::Value after =
          korvantest::replyOf(korvantest::runCgi(root, korvantest::ajaxRequest(next)));
      EXPECT_EQ(after["ret"], "ok") << where << ": the next request " << after["retMsg"];
    }
    EXPECT_EQ(root.scalar("pragma integrity_check"), "ok") << where;

    const bool changed = c.state && c.state(root) != before;
    const int logs = std::stoi(root.scalar("select count(*) from log2")) - std::stoi(logsBefore);
    if (reply.ok && c.state) {
      EXPECT_TRUE(changed) << where << ": ok, but nothing stored";
    }
    if (!killed && !reply.ok && !c.again) {
      EXPECT_FALSE(changed) << where << ": stored, but reported " << reply.message;
    }
    switch (c.record) {
      case Record::kNone:
        EXPECT_EQ(logs, 0) << where << ": a record of nothing";
        break;
      case Record::kWithChange:
        EXPECT_EQ(logs, changed ? 1 : 0) << where << ": the change without its record";
        break;
      case Record::kBeforeChange:
        // A crash between the record's commit and the change leaves the
        // record alone: it says more than happened, never less.
        EXPECT_EQ(logs, changed || (killed && logs == 1) ? 1 : 0)
            << where << ": the change without its record";
        break;
      case Record::kOnSuccess:
      case Record::kFirst:
        EXPECT_LE(logs, 1) << where;
        if (reply.ok || changed) {
          EXPECT_EQ(logs, 1) << where << ": stored or ok without its record";
        }
        break;
    }
    if (c.daemon && daemon_.packets().size() > packetsBefore) {
      EXPECT_EQ(logs, 1) << where << ": a packet without its committed record";
      if (c.state && !changed) {
        // Told, then not stored: the journal keeps the change.
        const bool kept =
            root.scalar("select count(*) from sqlite_master where name='journal'") == "1" &&
            root.scalar("select count(*) from journal") == "1";
        EXPECT_TRUE(kept) << where << ": a packet for a change neither stored nor journalled: "
                          << reply.message;
        ++tally.gaps;
      }
    }
    if (kill) return killed;
    return report.fired;
  }

  void loop(const std::string& fault, bool kill) {
    if (!kindWanted(fault)) return;
    Tally tally;
    // KORVAN_FAULT_FROM=K starts every loop at K, to repeat a finding.
    for (long k = std::max(1L, atol(env("KORVAN_FAULT_FROM").c_str()));
         runOnce(fault, k, kill, tally); k = nextK(k)) {
      if (HasFailure()) break;
    }
    std::cout << "[ fault    ] " << entry().type << " " << fault << (kill ? " killed" : "") << ": "
              << tally.runs << " runs, " << tally.failed << " hit, last k " << tally.lastK << ", "
              << tally.gaps << " left in the journal after the packet\n";
  }

  FakeDaemon daemon_;
};

std::string caseName(const ::testing::TestParamInfo<RequestEntry>& info) { return info.param.type; }

using StorageFaults = FaultLoop;
using CrashPoints = FaultLoop;

TEST_P(StorageFaults, EveryOperationFails) {
  ASSERT_TRUE(kExpect.count(entry().type)) << entry().type << ": write down what it leaves";
  Tally baseline;
  runOnce("", 0, false, baseline);
  if (HasFailure()) return;
  // "+": the k-th operation and every later one fail (a disk that stays full,
  // memory that stays exhausted).
  // The sample leaves out a single full-disk write: its path is that of a
  // failed write.
  for (const char* fault : {"read", "write", "full", "full+", "sync", "lock", "oom", "oom+"}) {
    if (fullLoop() || std::string(fault) != "full") loop(fault, false);
  }
}

TEST_P(CrashPoints, KilledAtEveryFileOperation) {
  ASSERT_TRUE(kExpect.count(entry().type)) << entry().type << ": write down what it leaves";
  loop("file", true);
}

INSTANTIATE_TEST_SUITE_P(Requests, StorageFaults, ::testing::ValuesIn(korvantest::requestTable()),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Requests, CrashPoints, ::testing::ValuesIn(korvantest::requestTable()),
                         caseName);

}  // namespace
