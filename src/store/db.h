// CDB: the configuration database. All members are static; one request is one
// process, so the statics are the state of that one request.
//
// Statements are joined from fixed fragments and request values (see
// store/sql.h for the quoting rule). Every failing statement is turned into a
// CMyErr by execWrap(); nothing here catches it.
#pragma once

#include <json/json.h>
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

#include "util/caller.h"
#include "util/myerr.h"

class CDB {
 public:
  // ---- Access layer ----------------------------------------------------
  // Opens the configuration database (read-write, created when missing) once
  // per process; it is closed when the process ends. A database that cannot
  // be opened throws CMyErr(err) with the engine's message and leaves dbCnn
  // null; a file that is not a database fails at the first statement. A
  // locked database is waited for up to kBusyTimeoutMs by every statement.
  static void cnn();
  static constexpr int kBusyTimeoutMs = 5000;
  // Runs one or more statements separated by ";".
  static void execModify(std::string& sql);
  // Never returns: throws the CMyErr for the engine's result code `rc`
  // (extended codes are on): a unique or primary-key constraint gives the
  // duplicate-name warning, SQLITE_BUSY and SQLITE_LOCKED give lockErr with
  // `errStr` appended, anything else err with `errStr` as the message.
  [[noreturn]] static void execWrap(int rc, std::string errStr);
  // Runs the statements of `sql`, leaving the number of result rows in
  // g_dbRowCnt and of their columns in g_dbColCnt; with no rows, or when a
  // statement fails (execWrap()), `jsData` is left as it was. One-row mode
  // fills `jsData` itself from the first row; many-row mode appends one
  // object per row. Cells go to `keys` by position, always as JSON strings; a
  // NULL cell and a key past the last column read as the empty text.
  static void sel(bool isManyRows, std::string& sql, std::vector<std::string>& keys,
                  Json::Value& jsData);
  // The same with names that outlive every JSON value (string literals): the
  // rows refer to them instead of holding copies, which makes large
  // snapshots cheaper to build and to free.
  static void sel(bool isManyRows, std::string& sql, const std::vector<const char*>& staticKeys,
                  Json::Value& jsData);
  // Appends "k1=v1,k2='v2',..." in ascending key order to `sql`; the flag says
  // whether the value goes between quotes. Values pass the rule of sql.h.
  static void getUpdSql(std::map<std::string, bool>& keys, Json::Value& values, std::string& sql);

  // ---- Configuration snapshot ------------------------------------------
  // The snapshot seen by `caller`: curUser is the caller's own row, with
  // the caller's token and no password; no user's password or token is
  // listed. `serverIP` of the request is stored only for a level-3 caller.
  static void selAllTables(const Caller& caller, Json::Value& jsIData, Json::Value& jsOData);
  static void selIPS(Json::Value& ips);
  static void selserverIPS(Json::Value& ips);
  static void convertDogTCF(Json::Value& jsOData);

  // ---- Process-wide state of the one request ------------------------------
  static sqlite3* dbCnn;
  static char* dbErr;
  static int g_dbRowCnt;
  static int g_dbColCnt;
  static bool isFactory;
};
