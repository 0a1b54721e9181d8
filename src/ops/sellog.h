// The operation-log query of "selLog", written as it is read.
//
// The log grows for the whole life of the device, so its records are never
// held together: CLogStream reads them one by one and hands the compact JSON
// text of the `log` array to a sink piece by piece (the opening bracket,
// then one piece per record, then the closing bracket). The pieces joined
// are byte for byte what the compact writer gives for the whole array of
// records (members user, time, ip, type, typeSub, sth, id, typeSubCN, all
// texts), and memory does not grow with the number of records.
#pragma once

#include <json/json.h>

#include <memory>
#include <string>

#include "util/caller.h"
#include "util/request_params.h"
#include "util/sink.h"

class CRowCursor;

// The query of `logCondition` (see onSelLog in ops/ops.h): " select user,time,
// ip,type,typeSub,sth,id,typeSubCN from log2 where 1=1" with the filters that
// are given and the records `caller` may see, ordered by user and time; with
// `limit`, the newest `limit` records (by id) older than `before` when that
// is given. A `limit` that is not a number from 1 to 1000, or a `before`
// that is not a number, throws CMyErr(err).
std::string logQuerySql(const Caller& caller, const korvan::LogQueryParams& query);

// The query's select with its filters and the caller's visibility, without
// order or page: the base of the page, the total and the export.
std::string logFilterSql(const Caller& caller, const korvan::LogQueryParams& query);

// The query of a `logCondition` object sent outside a request document (the
// log export's form field): its members read as text in the order the query
// uses them; one that is a list or object throws CMyErr(err, "NAME is not
// text"). A condition that is no object has no members.
korvan::LogQueryParams logQueryOf(const Json::Value& condition);

// The records a caller below level 3 may see: console records, the console
// access records and the caller's own. True for everything at level 3.
std::string logVisibility(const Caller& caller);

class CLogStream {
 public:
  // Starts the query of the request's `logCondition`; a refused query throws
  // its CMyErr here, before anything of the reply is written.
  CLogStream(const Caller& caller, const korvan::LogQueryParams& query);
  ~CLogStream();
  CLogStream(const CLogStream&) = delete;
  CLogStream& operator=(const CLogStream&) = delete;

  // True when no record matches: the reply's `log` is then null.
  bool empty() const;
  // Writes the array to `sink`, reading the records as it goes. Should the
  // database fail part way, the array ends after the last record read, so
  // the reply stays one well-formed document.
  void write(const TextSink& sink);

 private:
  std::unique_ptr<CRowCursor> cursor_;
};
