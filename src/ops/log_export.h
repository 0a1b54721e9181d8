// The operation-log export: the records of a log query as CSV (UTF-8, a
// header row, RFC 4180 quoting, CRLF line ends), read and written one by one
// so memory does not grow with the log. The columns are the query's, the raw
// details among them, and last `detailsText`, the details made readable.
//
// A cell that begins with "=", "+", "-", "@", tab, CR or LF, or with a
// full-width "=", "+", "-" or "@" (U+FF1D, U+FF0B, U+FF0D, U+FF20), also
// after leading blanks (space, U+00A0, U+3000), gets a single quote in front,
// so that a spreadsheet shows it as text instead of running it as a formula.
#pragma once

#include <json/json.h>

#include <string>
#include <string_view>

#include "util/caller.h"
#include "util/sink.h"

// One CSV cell: the formula guard, then quoted when it holds a comma, a
// double quote, CR or LF (double quotes doubled).
std::string csvCell(std::string_view text);

class CRowCursor;

// The query of the records of `logCondition` that `caller` may see, with the
// filters and visibility of "selLog", newest first (`limit` and `before`
// are checked as there but not applied: the export holds every match). A
// malformed condition throws its CMyErr.
std::string logExportSql(const Caller& caller, const Json::Value& logCondition);

// A record's details as one line: a list of changes [{nm, v1, v2?}] as
// "nm: v1 -> v2; nm: v1" (address lists' "<br>" as ", "); any other text as
// it is, without its closing line feed.
std::string logDetailsText(std::string_view details);

// Writes the header row and the records `cursor` (opened on logExportSql)
// reads to `sink` in pieces. A failure part way, of the database or of
// memory, ends the text after the last whole record.
void writeLogCsv(CRowCursor& cursor, const TextSink& sink);
