#include "store/db_check.h"

#include <sqlite3.h>

#include <memory>

namespace korvan {

namespace {

// Every table of db/schema.sql: a database without one of them would fail
// requests only later, one by one.
const char* const kTables[] = {"user2",      "priv2",    "dog2", "dogInfo2", "server2", "other2",
                               "secureConf", "userLock", "log2", "ips2",     "iplist"};

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

Statement prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return nullptr;
  }
  return Statement(raw);
}

// `path` as a file: URI; every byte outside the unreserved set is escaped, so
// that no "?" or "#" in the path reads as a part of the URI.
std::string fileUri(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (unsigned char c : path) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
        c == '-' || c == '.' || c == '_' || c == '~') {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri + "?immutable=1";
}

bool passesQuickCheck(sqlite3* db) {
  Statement check = prepare(db, "pragma quick_check");
  if (!check || sqlite3_step(check.get()) != SQLITE_ROW) return false;
  const unsigned char* first = sqlite3_column_text(check.get(), 0);
  // A sound database answers with the one row "ok"; a damaged one lists its faults.
  return first != nullptr && std::string(reinterpret_cast<const char*>(first)) == "ok" &&
         sqlite3_step(check.get()) == SQLITE_DONE;
}

bool holdsEveryTable(sqlite3* db) {
  Statement find = prepare(db, "select 1 from sqlite_master where type='table' and name=?1");
  if (!find) return false;
  for (const char* table : kTables) {
    sqlite3_reset(find.get());
    sqlite3_bind_text(find.get(), 1, table, -1, SQLITE_STATIC);
    if (sqlite3_step(find.get()) != SQLITE_ROW) return false;
  }
  return true;
}

}  // namespace

bool isConfigurationDatabase(const std::string& path) {
  sqlite3* raw = nullptr;
  const int rc =
      sqlite3_open_v2(fileUri(path).c_str(), &raw,
                      SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
  std::unique_ptr<sqlite3, Closer> db(raw);
  if (rc != SQLITE_OK) return false;
  // A file that is not a database fails here, at its first read.
  return holdsEveryTable(db.get()) && passesQuickCheck(db.get());
}

}  // namespace korvan
