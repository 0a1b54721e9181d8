// IPv4 address conversions and the IP list editor's JSON-array helpers.
// Stateless; each call works only on its arguments. (Date-time texts:
// util/local_time.h.)
#pragma once

#include <json/json.h>

#include <string>

class CTools {
 public:
  // Dotted IPv4 text (any form inet_aton reads) to the decimal text of
  // first octet + second*2^8 + third*2^16 + fourth*2^24. Text that is not an
  // address gives "0".
  static std::string IP_strToInt(std::string paraStrIP);
  // The inverse: decimal text to dotted, read as a 32-bit strtoul reads it
  // (leading blanks and a sign accepted, saturating at 2^32-1).
  static std::string IP_intToStr(std::string paraIntIP);

  // JSON-array helpers of the IP list editor.
  // Appends {"ip": newValue} unless an entry with that ip exists.
  static void jsonArray_uniqueAppend(Json::Value& arr, std::string newValue);
  // Removes the first entry whose ip equals delItem, if any.
  static void jsonArray_alwaysDelete(Json::Value& arr, std::string delItem);
  // Each entry's ip followed by " " + delimiter + " ".
  static std::string jsonArray_toString(Json::Value& arr, std::string delimiter);
};
