#include "store/db_import.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <strings.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "store/connection_guard.h"
#include "store/schema.h"
#include "util/myerr.h"

namespace korvan {

namespace {

// The program's own bookkeeping of failed logins and of the log's size: a
// configuration may lack them (the program makes them on first use), and
// their rows describe the device that wrote them, not a configuration, so an
// import starts them empty (the log's size is counted again).
const char* const kOptionalTables[] = {"loginStranger", "loginMinute", "logBound"};
// Configuration tables that a configuration saved by an older program lacks:
// copied when the upload has them, left empty when it does not.
const char* const kLaterTables[] = {"directory2", "dirMap2", "dirUser2"};

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;
struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

// Failures are thrown as CMyErr: `warning` when the upload is at fault (its
// text is the refusal's reason), `err` when this device is (memory, disk,
// a misuse); importConfigurationDatabase() tells them apart.
[[noreturn]] void refuse(const std::string& reason) { throw CMyErr(CMyErr::warning, reason); }

[[noreturn]] void failOwn(sqlite3* db, const std::string& what) {
  throw CMyErr(CMyErr::err, "database import: " + what + ": " + sqlite3_errmsg(db));
}

// Whether the engine's result `rc` says something about the file rather than
// about this device.
bool faultOfTheFile(int rc) {
  switch (rc & 0xff) {
    case SQLITE_NOMEM:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_CANTOPEN:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:
    case SQLITE_INTERRUPT:
    case SQLITE_PROTOCOL:
    case SQLITE_PERM:
    case SQLITE_MISUSE:
    case SQLITE_NOLFS:
    case SQLITE_AUTH:
      return false;
    default:
      return true;
  }
}

// Throws for the failed result `rc` of work on the upload: the refusal
// `reason` plus the engine's message when the file is at fault; a file that
// is no database or a damaged one is named as such whatever was read.
[[noreturn]] void failOnUpload(sqlite3* db, int rc, const std::string& reason) {
  if (!faultOfTheFile(rc)) failOwn(db, reason);
  if ((rc & 0xff) == SQLITE_NOTADB) refuse("not an SQLite database");
  if ((rc & 0xff) == SQLITE_CORRUPT) refuse("damaged");
  refuse(reason + ": " + sqlite3_errmsg(db));
}

// `sql` prepared on `db`; a failure throws as failOnUpload() does when
// `onUpload`, as the device's failure otherwise.
Statement prepare(sqlite3* db, const std::string& sql, bool onUpload, const std::string& what) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
  Statement statement(raw);
  if (rc != SQLITE_OK) {
    if (onUpload) failOnUpload(db, rc, what);
    failOwn(db, what);
  }
  return statement;
}

std::string columnText(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

// `name` as an SQL identifier between double quotes.
std::string quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// `path` as a file: URI of an immutable database; every byte outside the
// unreserved set is escaped, so that no "?" or "#" in the path reads as a
// part of the URI.
std::string immutableUri(const std::string& path) {
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

Connection openDatabase(const std::string& name, int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(name.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  Connection db(raw);
  if (rc != SQLITE_OK) {
    throw CMyErr(CMyErr::err, std::string("database import: cannot open: ") +
                                  (raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
  }
  guardConnection(db.get());
  return db;
}

// The upload, opened so that reading it runs none of its code: no trigger,
// no view, no virtual-table module (a virtual table's module would read the
// file's own tables with its own code), and no CHECK expression evaluated by
// the integrity check.
Connection openUpload(const std::string& path) {
  Connection db = openDatabase(immutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
  int now = -1;
  if (sqlite3_db_config(db.get(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, &now) != SQLITE_OK ||
      now != 0 || sqlite3_db_config(db.get(), SQLITE_DBCONFIG_ENABLE_VIEW, 0, &now) != SQLITE_OK ||
      now != 0 || sqlite3_drop_modules(db.get(), nullptr) != SQLITE_OK ||
      sqlite3_exec(db.get(), "pragma ignore_check_constraints=on", nullptr, nullptr, nullptr) !=
          SQLITE_OK) {
    failOwn(db.get(), "cannot restrict the upload's connection");
  }
  return db;
}

// A private scratch database with the program's schema: on disk, deleted
// when closed, and held in memory only up to the engine's page cache.
Connection openFresh() {
  Connection db = openDatabase("", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  const std::string schema(configurationSchema());
  if (sqlite3_exec(db.get(), schema.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    failOwn(db.get(), "the program's schema");
  }
  return db;
}

// The upload must read as a database and pass the engine's quick check,
// which also loads its schema.
void checkSound(sqlite3* upload) {
  Statement check = prepare(upload, "pragma quick_check", true, "unreadable");
  const int rc = sqlite3_step(check.get());
  if (rc != SQLITE_ROW) failOnUpload(upload, rc, "unreadable");
  // A sound database answers with the one row "ok"; a damaged one lists its faults.
  if (columnText(check.get(), 0) != "ok") refuse("damaged");
}

struct Column {
  std::string name;  // as the schema spells it
  std::string read;  // as the upload spells it (names match ignoring case)
};

// The ordinary columns of table `table` of `db`: no generated or hidden
// ones. `onUpload` says whose failure a failed read is.
std::vector<std::string> columnsOf(sqlite3* db, const std::string& table, bool onUpload) {
  const std::string what = "table " + table + " unreadable";
  Statement info = prepare(db, "pragma main.table_xinfo(" + quoted(table) + ")", onUpload, what);
  std::vector<std::string> names;
  int rc;
  while ((rc = sqlite3_step(info.get())) == SQLITE_ROW) {
    if (sqlite3_column_int(info.get(), 6) == 0) names.push_back(columnText(info.get(), 1));
  }
  if (rc != SQLITE_DONE) {
    if (onUpload) failOnUpload(db, rc, what);
    failOwn(db, what);
  }
  return names;
}

// Whether the upload holds `table` as an ordinary table. The answer comes from
// the schema as the engine parsed it, not from the text of sqlite_schema,
// whose type and name columns a crafted file could set at will.
bool holdsTable(sqlite3* upload, const std::string& table) {
  const std::string what = "table " + table + " unreadable";
  Statement list = prepare(upload, "pragma main.table_list(" + quoted(table) + ")", true, what);
  bool found = false;
  int rc;
  while ((rc = sqlite3_step(list.get())) == SQLITE_ROW) {
    if (columnText(list.get(), 2) == "table") found = true;
  }
  if (rc != SQLITE_DONE) failOnUpload(upload, rc, what);
  return found;
}

bool isOptional(const std::string& table) {
  for (const char* optional : kOptionalTables) {
    if (table == optional) return true;
  }
  return false;
}

// Copies the rows of `table` from the upload into the fresh database: the
// columns both have, the others left to their defaults.
void copyTable(sqlite3* upload, sqlite3* fresh, const std::string& table) {
  if (isOptional(table)) return;
  if (!holdsTable(upload, table)) {
    for (const char* later : kLaterTables) {
      if (table == later) return;
    }
    refuse("table " + table + " missing");
  }
  const std::vector<std::string> theirs = columnsOf(upload, table, true);
  std::vector<Column> columns;
  for (const std::string& ours : columnsOf(fresh, table, false)) {
    for (const std::string& name : theirs) {
      if (strcasecmp(name.c_str(), ours.c_str()) == 0) {
        columns.push_back({ours, name});
        break;
      }
    }
  }
  if (columns.empty()) refuse("table " + table + " has no known column");

  std::string select = "select ", insert = "insert into main." + quoted(table) + " (",
              values = ") values (";
  for (size_t i = 0; i < columns.size(); ++i) {
    const char* comma = i == 0 ? "" : ",";
    select += comma + quoted(columns[i].read);
    insert += comma + quoted(columns[i].name);
    values += comma + std::string("?") + std::to_string(i + 1);
  }
  const std::string what = "table " + table + " unreadable";
  Statement reader = prepare(upload, select + " from main." + quoted(table), true, what);
  Statement writer = prepare(fresh, insert + values + ")", false, what);
  int rc;
  while ((rc = sqlite3_step(reader.get())) == SQLITE_ROW) {
    for (size_t i = 0; i < columns.size(); ++i) {
      const int at = static_cast<int>(i);
      if (sqlite3_bind_value(writer.get(), at + 1, sqlite3_column_value(reader.get(), at)) !=
          SQLITE_OK) {
        failOwn(fresh, what);
      }
    }
    const int wrote = sqlite3_step(writer.get());
    // A row that does not fit the schema (a duplicate name, a row id that is
    // no integer) is the upload's fault.
    if (wrote != SQLITE_DONE) failOnUpload(fresh, wrote, "table " + table);
    sqlite3_reset(writer.get());
  }
  if (rc != SQLITE_DONE) failOnUpload(upload, rc, what);
}

void exec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) failOwn(db, sql);
}

// Every table of the program's schema, in the schema's order.
std::vector<std::string> schemaTables(sqlite3* fresh) {
  Statement list = prepare(fresh,
                           "select name from main.sqlite_schema where type='table' and "
                           "name not like 'sqlite\\_%' escape '\\' order by rowid",
                           false, "the program's tables");
  std::vector<std::string> tables;
  int rc;
  while ((rc = sqlite3_step(list.get())) == SQLITE_ROW) tables.push_back(columnText(list.get(), 0));
  if (rc != SQLITE_DONE) failOwn(fresh, "the program's tables");
  return tables;
}

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

// Writes the fresh database over the file at `path`, compacted, and syncs it.
void writeOver(sqlite3* fresh, const std::string& path) {
  // VACUUM INTO writes only into an empty file.
  const Descriptor file{::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW)};
  if (file.fd < 0) throw CMyErr(CMyErr::err, "database import: cannot rewrite " + path);
  Statement vacuum = prepare(fresh, "vacuum into ?1", false, "the copy");
  sqlite3_bind_text(vacuum.get(), 1, path.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(vacuum.get()) != SQLITE_DONE) failOwn(fresh, "the copy");
  // The engine does not sync what VACUUM INTO writes.
  if (fsync(file.fd) != 0) throw CMyErr(CMyErr::err, "database import: cannot sync " + path);
}

}  // namespace

std::optional<std::string> importConfigurationDatabase(const std::string& path) {
  Connection fresh = openFresh();
  try {
    Connection upload = openUpload(path);
    checkSound(upload.get());
    exec(fresh.get(), "begin");
    for (const std::string& table : schemaTables(fresh.get())) {
      copyTable(upload.get(), fresh.get(), table);
    }
    exec(fresh.get(), "commit");
  } catch (const CMyErr& e) {
    if (e.type != CMyErr::warning) throw;
    return std::string(e.what());
  }
  // The upload is closed: its file is rewritten from here on.
  writeOver(fresh.get(), path);
  return std::nullopt;
}

}  // namespace korvan
