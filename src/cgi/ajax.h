// The AJAX dispatcher: recognises a call by its postKey field, parses the JSON
// request, runs the common checks (daemon connection, console rights, IP access
// list, session), routes by `type` to a handler or change action, and writes
// one JSON reply. All members static; one request per process.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"

class CAjax {
 public:
  // True when postKey holds 1 to 29,999 bytes that are not CR or LF.
  static bool isAjax();
  // Serves the AJAX request completely; always returns 0.
  static int main2(std::string siteLanguage);
  // Parses the request, writes the response header, runs the common checks
  // (CMyErr on a refusal) and returns the caller they admitted. For "login"
  // the caller has only its address until the login succeeds. A "ref" or
  // "selLog" that cannot have the write lock within a second is admitted
  // from a read transaction and makes no writes (store/lock_wait.h).
  static Caller begin2(Json::Value& jsIData, Json::Value& jsOData);
  // Copies the edited console rights (`dogDB`) to where handlers read them (`dog`).
  static void initDogDB(Json::Value& jsIData);
  // Throws CMyErr(err) when the IP access list refuses the client.
  static void checkIPS();
  // The same check against `ips` as CDB::selIPS() read it.
  static void checkIPS(const Json::Value& ips);
};

// Calls the handler of an operation that is not a change action. A login
// replaces `caller` by the user it logged in.
void onOtherDBAction(std::string& type, Caller& caller, Json::Value& jsIData, Json::Value& jsOData);
// Runs the change action of a change operation.
void onModifyDBAction(std::string& type, const Caller& caller, Json::Value& jsIData,
                      Json::Value& jsOData);
