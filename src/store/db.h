// CDB: the configuration database. All members are static; one request is one
// process, so the statics are the state of that one request.
//
// Statements are joined from fixed fragments and request values (see
// store/sql.h for the quoting rule). Every failing statement is turned into a
// CMyErr by execWrap(); nothing here catches it.
#pragma once

#include <json/json.h>
#include <sqlite3.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "util/caller.h"
#include "util/json_text.h"
#include "util/myerr.h"
#include "util/request_context.h"

class CDB {
 public:
  // ---- Access layer ----------------------------------------------------
  // Opens the configuration database (read-write, created when missing) once
  // per process; it is closed when the process ends. A database that cannot
  // be opened throws CMyErr(err) with the engine's message and leaves dbCnn
  // null; a file that is not a database fails here too, at the schema check
  // (store/schema_upgrade.h), which also brings an older database up to date. A
  // locked database is waited for up to kBusyTimeoutMs by every statement.
  // The connection runs with the guarded settings (store/connection_guard.h).
  static void cnn();
  static constexpr int kBusyTimeoutMs = 5000;
  // Runs one or more statements separated by ";". Any failure throws, with
  // the engine's message when it gave one and its result code's text when it
  // did not (a connection that is closed or missing).
  static void execModify(const std::string& sql);
  // Never returns: throws the CMyErr for the engine's result code `rc`
  // (extended codes are on): a unique or primary-key constraint gives the
  // duplicate-name warning, SQLITE_BUSY and SQLITE_LOCKED give lockErr with
  // `errStr` appended, anything else err with `errStr` as the message.
  [[noreturn]] static void execWrap(int rc, std::string errStr);

  // The JSON member names of a query's columns, one per column in select-list
  // order. Names given as `const char*` must outlive every JSON value (string
  // literals): the rows refer to them instead of holding copies, which makes
  // large lists cheaper to build and to free. Names given as std::string are
  // copied. A Keys refers to the names it was made from and lives only for the
  // call it is passed to.
  class Keys {
   public:
    Keys(std::initializer_list<const char*> literals) : names_(literals), lasting_(true) {}
    Keys(const std::vector<const char*>& literals) : names_(literals), lasting_(true) {}
    Keys(const std::vector<std::string>& names);
    size_t size() const { return names_.size(); }
    const char* operator[](size_t i) const { return names_[i]; }
    bool lasting() const { return lasting_; }

   private:
    std::vector<const char*> names_;
    bool lasting_;
  };
  // Runs the statements of `sql` and returns the rows they gave: in many-row
  // mode an array of one object per row, in one-row mode the object of the
  // first row; null when there was no row. Cells go to `keys` by position,
  // always as JSON strings; a NULL cell and a key past the last column read
  // as the empty text. A failing statement throws (execWrap()).
  static Json::Value sel(bool isManyRows, const std::string& sql, const Keys& keys);
  // The first row of `sql`, or nothing when there was none; as sel().
  static std::optional<Json::Value> selOne(const std::string& sql, const Keys& keys);
  // Appends the JSON value that sel(true, sql, staticKeys) returns to `out`,
  // as finished text (util/json_text.h): an array of one object per row, or
  // "null" when there is no row. The text is what the reply writer gives for
  // that list, but no tree is built, which keeps the snapshot's large lists
  // cheap. A failing query leaves `out` as it was.
  //
  // The options: `visit` is shown every row first and may leave it out of
  // the list by returning false; `cell` is asked first for every member of
  // every row, with the member's position in `staticKeys`, and may append
  // the member's value itself and return true (otherwise the cell goes in as
  // a JSON string); with `orderBy` (positions in `staticKeys`, each ascending
  // or descending) the rows come ordered by those cells as an ORDER BY on
  // them would order them, ties in the query's order, which for wide rows
  // costs far less than the engine's sorting.
  class RowCells {  // the row being read: its cells as sel() reads them
   public:
    virtual ~RowCells() = default;
    virtual const char* operator[](size_t key) const = 0;
    // Cell `key` when it holds an integer (not a text of one).
    virtual std::optional<long long> integer(size_t key) const = 0;
  };
  using CellWriter =
      std::function<bool(size_t key, const RowCells& row, korvan::JsonTextBuilder& out)>;
  using RowVisitor = std::function<bool(const RowCells& row)>;
  struct SortKey {
    size_t key;  // a position in staticKeys
    bool descending = false;
  };
  struct ListOptions {
    RowVisitor visit;
    CellWriter cell;
    std::vector<SortKey> orderBy;
  };
  static void selText(const std::string& sql, const std::vector<const char*>& staticKeys,
                      std::string& out, const ListOptions& options = {});
  // Appends "k1=v1,k2='v2',..." in ascending key order to `sql`; the flag says
  // whether the value goes between quotes. Values pass the rule of sql.h.
  static void getUpdSql(const std::map<std::string, bool>& keys, const Json::Value& values,
                        std::string& sql);

  // ---- Lists the snapshot and the handlers share -------------------------
  // The IP access list: member `type` (the kind of list) and member `ips`,
  // the addresses in order. With `device`, its member `factoryMode` is read
  // from the same row of other2 as the kind, in the same statement.
  static void selIPS(Json::Value& ips, Json::Value* device = nullptr);
  static void selserverIPS(Json::Value& ips);
  // Writes `type2`, `frame` and `code` of a module row with the members
  // `keys` as JSON integers: the module kind, and for kinds 1 and 3 the
  // indices of the frame and code texts in their tables (-1 when not there),
  // for other kinds 10 and 30. For selText().
  static CellWriter convertDogTCF(const std::vector<const char*>& keys);

  // ---- Process-wide state of the one request ------------------------------
  static sqlite3* dbCnn;
};
