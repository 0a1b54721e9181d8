// Test support shared by the black-box and fault tests: the calls of the
// request table (requests.h) as the browser makes them, a login, the request
// literal `call`, and a second connection that holds the write lock.
#pragma once

#include <json/json.h>
#include <sqlite3.h>

#include <ostream>
#include <string>

#include "requests.h"
#include "testroot.h"

namespace korvantest {

// The table's AJAX request of `entry` in user `userId`'s session (opened
// here, unless the entry has none), after running its setup on `root`.
Json::Value tableRequest(const TempRoot& root, const RequestEntry& entry,
                         const std::string& userId = "1");
// The table's call of `entry` (setup run, session opened): an AJAX POST, or
// for a transfer a multipart POST of its form with userID and token (left
// out when empty). `userId` and `token` default to the opened session.
CgiRequest tableCall(const TempRoot& root, const RequestEntry& entry,
                     const std::string& userId = "1");
CgiRequest transferCall(const TempRoot& root, const RequestEntry& entry, const std::string& userId,
                        const std::string& token);

// Test names and failure messages show an entry as its type.
void PrintTo(const RequestEntry& entry, std::ostream* out);

// A login of `name` with `pw`; sessionOf: a request of `type` in the session
// that a login's reply opened.
Json::Value loginRequest(const std::string& name, const std::string& pw);
Json::Value sessionOf(const Json::Value& loginReply, const std::string& type);
// Sets userPara of `request` to user `id`'s row as the browser sends it,
// with the new password "new-secret".
void userRow(Json::Value& request, const TempRoot& root, const std::string& id);
// Request literal: user `userId`'s request of `type` with the JSON `members`.
Json::Value call(const TempRoot& root, const std::string& type, const std::string& members,
                 const std::string& userId = "1");

// A second connection to the root's database holding the write lock (an
// immediate transaction, after `sql`) until release() or destruction.
class LockHolder {
 public:
  // `busyMs`: how long its own statements wait for another's lock, as a
  // request's do (0: they fail at once).
  explicit LockHolder(const TempRoot& root, const std::string& sql = "", int busyMs = 0);
  ~LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  // Ends the transaction: committed, or rolled back. False when the commit
  // (or rollback) failed.
  bool release(bool commit = false);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace korvantest
