#include "calls.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvantest {

Json::Value tableRequest(const TempRoot& root, const RequestEntry& entry,
                         const std::string& userId) {
  if (!entry.setup.empty()) root.exec(entry.setup);
  Json::Value request;
  if (entry.session) request = sessionRequest(root, entry.type, userId);
  request["type"] = entry.type;
  for (const std::string& name : entry.members.getMemberNames()) {
    request[name] = entry.members[name];
  }
  return request;
}

CgiRequest transferCall(const TempRoot& root, const RequestEntry& entry, const std::string& userId,
                        const std::string& token) {
  if (!entry.setup.empty()) root.exec(entry.setup);
  std::vector<FormPart> parts;
  for (const auto& [field, value] : entry.form) {
    FormPart part{field, std::nullopt, value};
    const auto file = entry.files.find(field);
    if (file != entry.files.end()) part.fileName = file->second;
    if (field == entry.database) part.content = readFile(root.dbPath());
    parts.push_back(part);
  }
  if (!userId.empty()) parts.push_back({"userID", std::nullopt, userId});
  if (!token.empty()) parts.push_back({"token", std::nullopt, token});
  return multipartRequest(parts);
}

CgiRequest tableCall(const TempRoot& root, const RequestEntry& entry, const std::string& userId) {
  if (!entry.transfer) return ajaxRequest(tableRequest(root, entry, userId));
  const std::string token = sessionRequest(root, "", userId)["user"]["token"].asString();
  return transferCall(root, entry, userId, token);
}

void PrintTo(const RequestEntry& entry, std::ostream* out) { *out << entry.type; }

Json::Value loginRequest(const std::string& name, const std::string& pw) {
  Json::Value request;
  request["type"] = "login";
  request["userNM"] = name;
  request["pw"] = pw;
  return request;
}

Json::Value sessionOf(const Json::Value& loginReply, const std::string& type) {
  Json::Value request;
  request["type"] = type;
  request["userID"] = request["user"]["id"] = loginReply["curUser"]["id"];
  request["user"]["token"] = loginReply["curUser"]["token"];
  return request;
}

void userRow(Json::Value& request, const TempRoot& root, const std::string& id) {
  const auto row = root.query(
      "select u.id,u.nm,u.memo,u.pid,p.nm,u.dog,code,frame,media,nm2,addrH,addrC,phone,email,"
      "prior,memo2 from user2 u join priv2 p on p.id=u.pid where u.id=" + id)[0];
  const char* keys[] = {"id",    "nm",  "memo",  "pid",   "pidCN", "dogDB", "code",  "frame",
                        "media", "nm2", "addrH", "addrC", "phone", "email", "prior", "memo2"};
  for (size_t i = 0; i < 16; ++i) request["userPara"][keys[i]] = row[i];
  request["userPara"]["setPW"] = "yes";
  request["userPara"]["pw"] = "new-secret";
}

Json::Value call(const TempRoot& root, const std::string& type, const std::string& members,
                 const std::string& userId) {
  return withMembers(sessionRequest(root, type, userId), members);
}

LockHolder::LockHolder(const TempRoot& root, const std::string& sql, int busyMs) {
  EXPECT_EQ(sqlite3_open(root.dbPath().c_str(), &db_), SQLITE_OK);
  if (busyMs > 0) sqlite3_busy_timeout(db_, busyMs);
  EXPECT_EQ(sqlite3_exec(db_, ("begin immediate;" + sql).c_str(), nullptr, nullptr, nullptr),
            SQLITE_OK)
      << sqlite3_errmsg(db_);
}

bool LockHolder::release(bool commit) {
  if (db_ == nullptr) return true;
  const bool ended = sqlite3_exec(db_, commit ? "commit" : "rollback", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db_);
  db_ = nullptr;
  return ended;
}

LockHolder::~LockHolder() { release(); }

}  // namespace korvantest
