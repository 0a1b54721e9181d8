// Stored credentials through the login: password hashes, the upgrade of
// passwords an older version stored as text, names nobody knows, and the
// bound on verifications running at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "calls.h"
#include "testroot.h"
#include "util/password_hash.h"
#include "util/token_hash.h"

namespace korvantest {
namespace {

std::string outcome(const Json::Value& reply) {
  return reply["ret"].asString() + " " + reply["retMsg"].asString();
}

std::string storedPw(const TempRoot& root, const char* name) {
  return root.scalar(std::string("select pw from user2 where nm='") + name + "';");
}

// A stored value that is not a hash is compared as text once and replaced by
// its hash at that login; a hash of another cost is replaced too. A refused
// login leaves the stored value as it was.
TEST(Credentials, StoredValuesUpgradeAtTheFirstSuccess) {
  const struct {
    const char* stored;  // put into admin's row
    const char* typed;
    bool accepted;
  } cases[] = {
      {"admin", "admin", true},
      {"admin", "Admin", false},
      {"admin", "admin ", false},
      {"", "", false},  // an empty stored value opens nothing
      {nullptr, "", false},  // nor does a directory account's null
      {"$2b$05$abcdefghijklmnopqrstuu", "admin", false},  // broken hash: not text either
  };
  for (const auto& c : cases) {
    TempRoot root;
    root.exec(c.stored ? std::string("update user2 set pw='") + c.stored + "' where id=1;"
                       : "update user2 set pw=null where id=1;");
    const Json::Value reply = ajax(root, loginRequest("admin", c.typed));
    const std::string was = c.stored ? c.stored : "";
    EXPECT_EQ(reply["ret"], c.accepted ? "ok" : "err") << was << "/" << c.typed;
    const std::string after = storedPw(root, "admin");
    if (!c.accepted) {
      EXPECT_EQ(after, was);
      continue;
    }
    EXPECT_EQ(after.substr(0, 7), "$2b$04$");
    EXPECT_TRUE(korvan::verifyPassword(c.typed, after));
    // The text no longer opens as text: only the hash is stored.
    EXPECT_EQ(root.scalar("select count(*) from user2 where pw='admin';"), "0");
    EXPECT_EQ(ajax(root, loginRequest("admin", c.typed))["ret"], "ok");
    EXPECT_EQ(storedPw(root, "admin"), after) << "a current hash stays";
  }
  // A hash of the default cost (the factory's) is replaced by one of the cost
  // in force.
  TempRoot root(false), seeded;
  root.exec(readFile(std::string(KORVAN_SOURCE_DIR) + "/db/factory.sql"));
  ASSERT_EQ(storedPw(root, "admin").substr(0, 7), "$2b$10$");
  // The factory and development databases ship hashes only.
  for (const TempRoot* shipped : {&root, &seeded}) {
    EXPECT_EQ(shipped->scalar("select count(*) from user2 where pw not like '$2b$__$%'"), "0");
  }
  EXPECT_EQ(ajax(root, loginRequest("admin", "admin"))["ret"], "ok");
  EXPECT_EQ(storedPw(root, "admin").substr(0, 7), "$2b$04$");
}

// A name nobody knows gets the reply a known name with a wrong password gets,
// and counts in the same way.
TEST(Credentials, UnknownNamesAnswerAsWrongPasswords) {
  TempRoot root;
  for (int n = 1; n <= 2; ++n) {
    EXPECT_EQ(outcome(ajax(root, loginRequest("operator", "guess"))),
              outcome(ajax(root, loginRequest("nobody", "guess"))))
        << n;
  }
  EXPECT_EQ(root.scalar("select group_concat(f_userName||f_wrongTimes) from "
                        "(select * from userLock order by f_userName);"),
            "nobody2,operator2");
}

// While every verification slot is held, logins of known and unknown names,
// and the requests that hash a new password, are refused as busy without
// writing anything.
TEST(Credentials, BusyWhenEveryVerificationSlotIsTaken) {
  TempRoot root;
  const std::string slots = root.path("usr/app/korvan.verify");
  const int fd = open(slots.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 3;
  ASSERT_EQ(fcntl(fd, F_SETLK, &lock), 0);
  // Three of four held: logins pass.
  EXPECT_EQ(ajax(root, loginRequest("admin", "admin"))["ret"], "ok");
  lock.l_len = 4;
  ASSERT_EQ(fcntl(fd, F_SETLK, &lock), 0);
  Json::Value own = sessionRequest(root, "updUser", "1");
  own["userPara"] = parseJson(
      R"({"id":"1","nm":"admin","pid":"1","prior":"1","setPW":"yes","pw":"new-secret","oldPw":"admin"})");
  Json::Value added = sessionRequest(root, "insUser", "1");
  added["userPara"] = parseJson(R"({"nm":"newcomer","pw":"new-secret","pid":3,"dogDB":"1","prior":"0"})");
  const std::string before = dumpTables(root);
  for (const char* name : {"admin", "nobody"}) {
    EXPECT_EQ(outcome(ajax(root, loginRequest(name, "admin"))), "err busy, try again") << name;
  }
  EXPECT_EQ(dumpTables(root), before);
  // The password changes, in a session (which each request extends), store
  // no password and no record.
  const std::string stored =
      "select (select group_concat(nm||pw) from user2)||'/'||(select count(*) from log2)";
  const std::string storedBefore = root.scalar(stored);
  for (const Json::Value& request : {own, added}) {
    EXPECT_EQ(outcome(ajax(root, request)), "err busy, try again") << request;
  }
  EXPECT_EQ(root.scalar(stored), storedBefore);
  close(fd);
  EXPECT_EQ(ajax(root, loginRequest("admin", "admin"))["ret"], "ok");
}

// A login verifies its password between two short transactions: while the
// hash is being computed (a stored hash of a high cost, most of a second
// here) another request can take the database's write lock at once.
TEST(Credentials, VerificationHoldsNoDatabaseLock) {
  TempRoot root;
  root.exec("update user2 set pw='$2b$14$KBCwKxOzLha2MUDgW0PjXe9B8rgJW/MkFOGgfDlr2qjexZWJqW4GS' "
            "where id=1;");
  const RunningCgi running = startCgi(root, ajaxRequest(loginRequest("admin", "admin")));
  // The attempt is counted before the verification starts (a read while
  // that commits finds the file locked and tries again).
  auto counted = [&root] {
    try {
      return root.scalar("select count(*) from userLock where f_userName='admin'") == "1";
    } catch (...) {
      return false;
    }
  };
  for (int i = 0; i < 2000 && !counted(); ++i) usleep(1000);
  LockHolder other(root);  // fails at once when the login holds the lock
  // Still verifying: the outcome is not stored yet.
  EXPECT_EQ(root.scalar("select status from user2 where id=1"), "0");
  other.release();
  EXPECT_EQ(replyOf(finishCgi(running))["ret"], "ok");
}

// The database keeps only the hash of a session's token and of each
// password: its download (an older version's text password upgraded by the
// login before it) opens no session, and the reply carries the token the
// request presented.
TEST(Credentials, DownloadedDatabaseOpensNoSession) {
  TempRoot root;
  root.exec("update user2 set pw='Plain-Text-Pw' where id=1;");
  const Json::Value reply = ajax(root, loginRequest("admin", "Plain-Text-Pw"));
  ASSERT_EQ(reply["ret"], "ok");
  const std::string token = reply["curUser"]["token"].asString();
  const std::string stored = root.scalar("select token from user2 where id=1;");
  EXPECT_EQ(stored, korvan::tokenHash(token));
  Json::Value ref = sessionOf(reply, "ref");
  for (const std::string& presented : {stored, std::string(), token.substr(1), token + "0"}) {
    ref["user"]["token"] = presented;
    EXPECT_EQ(ajax(root, ref)["ret"], "err") << presented;
  }
  ref["user"]["token"] = token;
  const Json::Value ok = ajax(root, ref);
  EXPECT_EQ(ok["ret"], "ok");
  EXPECT_EQ(ok["curUser"]["token"], token);
  // No text of the password or the token is anywhere in the copy's bytes.
  CgiRequest download;
  download.query = "submitDownloadDB=1&userID=1&token=" + token;
  const std::string copy = runCgi(root, download).body();
  ASSERT_EQ(copy.substr(0, 15), "SQLite format 3");
  for (const std::string& secret : {token, std::string("Plain-Text-Pw")}) {
    EXPECT_EQ(copy.find(secret), std::string::npos) << secret;
  }
}

}  // namespace
}  // namespace korvantest
