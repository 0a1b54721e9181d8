// The operation-log export: the records of a log query as CSV (UTF-8, a
// header row, RFC 4180 quoting, CRLF line ends), read and written one by one
// so memory does not grow with the log.
//
// A cell that begins with "=", "+", "-", "@", tab, CR or LF, or with a
// full-width "=", "+", "-" or "@" (U+FF1D, U+FF0B, U+FF0D, U+FF20), also
// after leading blanks (space, U+00A0, U+3000), gets a single quote in front,
// so that a spreadsheet shows it as text instead of running it as a formula.
#pragma once

#include <json/json.h>

#include <memory>
#include <string>
#include <string_view>

#include "store/cursor.h"
#include "util/caller.h"
#include "util/sink.h"

// One CSV cell: the formula guard, then quoted when it holds a comma, a
// double quote, CR or LF (double quotes doubled).
std::string csvCell(std::string_view text);

// The export of the records of `logCondition` that `caller` may see, with the
// filters and visibility of "selLog" and in its order (`limit` and `before`
// are not applied: the export holds every match).
class LogCsv {
 public:
  // Starts the query and prepares the heading: a malformed condition, a busy
  // database or a failed allocation throws here, before the transfer's header
  // goes out, so that the refusal can still be answered as text.
  LogCsv(const Caller& caller, const Json::Value& logCondition);
  ~LogCsv();
  LogCsv(const LogCsv&) = delete;
  LogCsv& operator=(const LogCsv&) = delete;

  // Writes the heading and the records to `sink` in pieces. A failure part
  // way (the engine, memory) ends the text after the last whole record.
  void write(const TextSink& sink);

 private:
  std::unique_ptr<CRowCursor> cursor_;
  std::string piece_;
};
