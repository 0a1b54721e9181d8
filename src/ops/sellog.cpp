// "selLog": the operation-log query.
#include "ops/sellog.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ops/ops.h"
#include "store/cursor.h"
#include "store/db.h"
#include "store/sql.h"
#include "util/json_text.h"
#include "util/members.h"

namespace {

const char* const kRecordKeys[] = {"user",    "time", "ip", "type",
                                   "typeSub", "sth",  "id", "typeSubCN"};

}  // namespace

namespace {

// The `limit` of the condition (0 without one) and its `before` ("" without).
int pageLimit(const korvan::LogQueryParams& query) {
  if (!query.limit) return 0;
  const std::string& text = *query.limit;
  int limit = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || limit > 1000) throw CMyErr(CMyErr::err, "invalid request: limit");
    limit = limit * 10 + (c - '0');
  }
  if (limit < 1 || limit > 1000) throw CMyErr(CMyErr::err, "invalid request: limit");
  return limit;
}

std::string pageBefore(const korvan::LogQueryParams& query) {
  const std::string& before = query.before;
  if (!before.empty() && !isSqlNumber(before)) throw CMyErr(CMyErr::err, "invalid request: before");
  return before;
}

}  // namespace

std::string logVisibility(const Caller& caller) {
  if (caller.level >= 3) return "1=1";
  return "(type='dog' or (type='access' and typeSub in ('kvm','serialCapture','serialRelease'))"
         " or user='" + sqlText(caller.name) + "')";
}

std::string logFilterSql(const Caller& caller, const korvan::LogQueryParams& query) {
  const std::string& user = query.user;
  const std::string& timeBegin = query.timeBegin;
  const std::string& timeEnd = query.timeEnd;
  const std::string& type = query.type;

  std::string sql = " select user,time,ip,type,typeSub,sth,id,typeSubCN from log2 where " +
                    logVisibility(caller);
  // In `user` the LIKE wildcards keep their meaning: the UI offers it as a
  // pattern search.
  if (!user.empty()) sql += " and user like '%" + sqlText(user) + "%' ";
  // Dates are compared as text on the day part only, so the end day counts
  // whole.
  if (!timeBegin.empty()) sql += " and substr(time,1,10)>='" + sqlText(timeBegin) + "' ";
  if (!timeEnd.empty()) sql += " and substr(time,1,10)<='" + sqlText(timeEnd) + "' ";
  if (type != "all") sql += " and type='" + sqlText(type) + "' ";
  return sql;
}

std::string logQuerySql(const Caller& caller, const korvan::LogQueryParams& query) {
  std::string sql = logFilterSql(caller, query);
  const int limit = pageLimit(query);
  if (limit == 0) return sql + " order by user,time ";
  const std::string before = pageBefore(query);
  if (!before.empty()) sql += " and id<" + before;
  // Newest first by id, which the table's key orders without a sort.
  return sql + " order by id desc limit " + std::to_string(limit);
}

korvan::LogQueryParams logQueryOf(const Json::Value& condition) {
  korvan::LogQueryParams query;
  query.user = korvan::memberText(condition, {"user"});
  query.timeBegin = korvan::memberText(condition, {"timeBegin"});
  query.timeEnd = korvan::memberText(condition, {"timeEnd"});
  query.type = korvan::memberText(condition, {"type"});
  if (condition.isObject() && condition.isMember("limit")) {
    query.limit = korvan::memberText(condition, {"limit"});
  }
  query.before = korvan::memberText(condition, {"before"});
  return query;
}

void onSelLog(const RequestContext& context, const korvan::LogQueryParams& params,
              Json::Value& jsOData) {
  const Caller& caller = context.caller;
  // Refuses a malformed condition before anything runs; the records
  // themselves are read while the reply is written (CLogStream).
  const std::string sql = logQuerySql(caller, params);
  jsOData["log"] = Json::Value();
  if (params.limit) {
    // Older matches exist when the page's query finds a record past the page.
    CRowCursor past(" select exists(select 1 from (" + sql + " offset " +
                    std::to_string(pageLimit(params)) + "))");
    jsOData["more"] = past.hasRow() && std::string(past.cell(0)) == "1";
    // The number of all matches, so a page can say which part of them it shows.
    CRowCursor count(" select count(*) from (" + logFilterSql(caller, params) + ")");
    jsOData["total"] = Json::Value::UInt64(count.hasRow() ? std::stoull(count.cell(0)) : 0);
  }
}

CLogStream::CLogStream(const Caller& caller, const korvan::LogQueryParams& query)
    : cursor_(std::make_unique<CRowCursor>(logQuerySql(caller, query))) {}

CLogStream::~CLogStream() = default;

bool CLogStream::empty() const { return !cursor_->hasRow(); }

void CLogStream::write(const TextSink& sink) {
  // The writer walks an object's members in the order getMemberNames()
  // gives; the record is written straight from the row in that order, each
  // name and text quoted by the reply's string writer.
  Json::Value shape(Json::objectValue);
  for (const char* key : kRecordKeys) shape[key] = 0;
  std::vector<std::pair<std::string, int>> order;  // quoted name, column
  for (const std::string& name : shape.getMemberNames()) {
    int column = 0;
    while (name != kRecordKeys[column]) ++column;
    std::string quoted;
    korvan::appendJsonString(name.data(), name.data() + name.size(), quoted);
    order.emplace_back(quoted + ":", column);
  }
  std::string piece = "[";
  bool first = true;
  try {
    while (cursor_->hasRow()) {
      if (!first) piece = ",";
      first = false;
      char separator = '{';
      for (const auto& [quotedName, column] : order) {
        piece += separator;
        separator = ',';
        piece += quotedName;
        const char* cell = cursor_->cell(column);
        korvan::appendJsonString(cell, cell + strlen(cell), piece);
      }
      piece += '}';
      sink(piece);
      cursor_->next();
    }
  } catch (const CMyErr&) {
    // The reply is already under way: end the array with what was read.
  }
  sink(first ? "[]" : "]");
}
