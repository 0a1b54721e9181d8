#include "store/connection_guard.h"

#include <cstdlib>
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
  // Deleted and overwritten content is zeroed, so that a password an older
  // version stored as text, once replaced by its hash, is not left in the
  // file's free space for a copy of it to show. Debian's engine does this by
  // default; an engine built otherwise must not quietly drop it.
  int secureDelete = -1;
  auto read = [](void* out, int columns, char** values, char**) {
    if (columns == 1 && values[0] != nullptr) *static_cast<int*>(out) = std::atoi(values[0]);
    return 0;
  };
  if (sqlite3_exec(db, "pragma secure_delete=on", read, &secureDelete, nullptr) != SQLITE_OK ||
      secureDelete != 1) {
    throw CMyErr(CMyErr::err, "database connection refused secure delete");
  }
}

}  // namespace korvan
