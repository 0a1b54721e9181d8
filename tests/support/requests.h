// The request table of the tests (requests.json beside this file): for every
// AJAX type and every file transfer the program serves, parameters that make
// a successful request by the administrator on the seeded root. The access
// tests, the fault loops, the fuzzers and bench/compare-replies all take
// their types and inputs from it, and a unit test compares its types with
// the route table, so a new type cannot be left out of any of them.
//
// Keys of an entry:
//   "members"  AJAX type: the request document's members besides type,
//              userID and the session's `user`.
//   "form"     transfer (named by its form field): the form fields besides
//              userID and token.
//   "files"    transfer: the form fields sent as file parts, with their file
//              name.
//   "database" transfer: the file field whose content is a copy of the
//              device's configuration database, taken when the request is made.
//   "session"  false for a request made without a session (login).
//   "setup"    SQL run on the root first, so that the request succeeds; it
//              may run more than once on one root.
// This reader needs JsonCpp only (no test framework).
#pragma once

#include <json/json.h>

#include <map>
#include <string>
#include <vector>

namespace korvantest {

struct RequestEntry {
  std::string type;  // the AJAX type, or the transfer's form field
  bool transfer = false;
  Json::Value members{Json::objectValue};
  std::map<std::string, std::string> form;
  std::map<std::string, std::string> files;  // field -> file name
  std::string database;                      // field carrying the database
  bool session = true;
  std::string setup;
};

// The path of requests.json (in the source tree).
std::string requestTablePath();
// Parses a table; throws std::runtime_error naming what is malformed (an
// unknown key, a member of the wrong kind, an entry with both or neither of
// "members" and "form").
std::vector<RequestEntry> parseRequestTable(const std::string& text);
// The table of requestTablePath(), read once, in the order of its types'
// names.
const std::vector<RequestEntry>& requestTable();
// The entry of `type`; throws std::out_of_range when the table lacks it.
const RequestEntry& requestEntry(const std::string& type);

}  // namespace korvantest
