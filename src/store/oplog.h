// CLog: the operation log (table log2): the record writer and the builders
// of the records' detail texts.
//
// A detail text is the compact JSON text of a list of entries, one per field:
// {"nm": label, "v1": value before, "v2": value after} from the comparing
// builders, {"nm": label, "v1": value} from the single-value builders. Every
// builder appends to the list it is given (a JSON array; a list to which
// nothing was appended stays null) and never removes anything. Values are
// written in the text form of util/members.h; a missing member is the empty
// text.
//
// CKeyCN names one field of a record: the member of the two sides compared
// and the label the record shows for it.
#pragma once

#include <json/json.h>

#include <optional>
#include <string>
#include <vector>

#include "util/caller.h"

class CKeyCN {
 public:
  CKeyCN(std::string key, std::string label) : k(std::move(key)), cn(std::move(label)) {}

  std::string k;   // member name in da/db, e.g. "nm"
  std::string cn;  // label in the log record, e.g. "Name"
};

// The key list of a log record, in the order the record shows the fields.
using CKeyCNList = std::vector<CKeyCN>;

class CLog {
 public:
  // Writes one log2 row: author and address from `caller`, the time now;
  // then trims the log to its bound (store/audit.h).
  static void insLog(const Caller& caller, std::string type, std::string typeSub,
                     std::string typeSubCN, std::string sth);

  // Appends the user field list (Name, Memo, Usergroup, Name2, Home addr,
  // Company addr, Phone, email, Memo2) to `keys`, copies `srcA` into `dstA`
  // and, when `isB` is set, `srcB` into `dstB`.
  static void setUserKeyValue(bool isB, CKeyCNList& keys, const Json::Value& srcA,
                              Json::Value& dstA, const Json::Value& srcB, Json::Value& dstB);
  // Appends one rendering per character of the rights text `dog`: "0" and
  // "2" the empty text, "1" "read", "3" "read write". Any other character
  // (a digit above 3, or not a digit) renders as the empty text.
  static void getDogCN(std::string dog, std::vector<std::string>& renderings);
  // One entry with v1 and v2 per key, in key order, changed or not.
  static void compAB(const CKeyCNList& keys, const Json::Value& a, const Json::Value& b,
                     Json::Value& entries);
  // One entry with v1 per key, in key order.
  static void singleA(const CKeyCNList& keys, const Json::Value& a, Json::Value& entries);
  // One entry per console slot in use (dogInfo2 rows in id order whose
  // `setted` is "1"), labelled with the slot's name, holding the renderings
  // at the slot's position in the two rights texts. Slots not in use are
  // skipped but keep their position; a position past the end of a rights
  // text renders as the empty text.
  static void CompAB_dog(std::string dogA, std::string dogB, Json::Value& entries);
  static void singleA_dog(std::string dog, Json::Value& entries);
  // The slot loop of both: v2 only when `dogB` is given.
  static void appendRights(const std::string& dogA, const std::optional<std::string>& dogB,
                           Json::Value& entries);

  // The detail text of an entry list: compact JSON and a line feed ("null"
  // and a line feed for a list that stayed null).
  static std::string detailText(const Json::Value& entries);
};
