// The floor a refresh is measured against: a program that links the same
// libraries, opens the same database and answers one query with one JSON
// reply, as a CGI program would. It does nothing else.
#include <json/json.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
  const char* root = std::getenv("KORVAN_ROOT");
  std::string path = std::string(root != nullptr ? root : "") + "/usr/app/korvan.db";
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return 1;
  Json::Value reply;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, "select factoryMode from other2", -1, &stmt, nullptr) == SQLITE_OK &&
      sqlite3_step(stmt) == SQLITE_ROW) {
    reply["factoryMode"] = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  reply["ret"] = "ok";
  Json::FastWriter writer;
  std::printf("Content-type: text/html;charset=utf-8\r\n\r\n%s \n", writer.write(reply).c_str());
  return 0;
}
