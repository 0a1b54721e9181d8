#include "store/connection_guard.h"

#include <string>

#include "util/myerr.h"

namespace korvan {

void guardConnection(sqlite3* db) {
  const struct {
    int option;
    int value;
    const char* name;
  } settings[] = {
      {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, "trusted_schema off"},
      {SQLITE_DBCONFIG_DEFENSIVE, 1, "defensive mode"},
      {SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, "extension loading off"},
  };
  for (const auto& s : settings) {
    int now = -1;
    if (sqlite3_db_config(db, s.option, s.value, &now) != SQLITE_OK || now != s.value) {
      throw CMyErr(CMyErr::err, std::string("database connection refused ") + s.name);
    }
  }
}

}  // namespace korvan
