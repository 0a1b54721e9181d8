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

std::string logQuerySql(const Json::Value& jsIData) {
  const Json::Value& condition = korvan::member(jsIData, "logCondition");
  std::string user = korvan::memberText(condition, {"user"});
  std::string timeBegin = korvan::memberText(condition, {"timeBegin"});
  std::string timeEnd = korvan::memberText(condition, {"timeEnd"});
  std::string type = korvan::memberText(condition, {"type"});

  std::string sql = " select user,time,ip,type,typeSub,sth,id,typeSubCN from log2 where 1=1";
  // In `user` the LIKE wildcards keep their meaning: the UI offers it as a
  // pattern search.
  if (!user.empty()) sql += " and user like '%" + sqlText(user) + "%' ";
  // Dates are compared as text on the day part only, so the end day counts
  // whole.
  if (!timeBegin.empty()) sql += " and substr(time,1,10)>='" + sqlText(timeBegin) + "' ";
  if (!timeEnd.empty()) sql += " and substr(time,1,10)<='" + sqlText(timeEnd) + "' ";
  if (type != "all") sql += " and type='" + sqlText(type) + "' ";
  sql += " order by user,time ";
  return sql;
}

void onSelLog(Json::Value& jsIData, Json::Value& jsOData) {
  // Refuses a malformed condition before anything runs; the records
  // themselves are read while the reply is written (CLogStream).
  (void)logQuerySql(jsIData);
  jsOData["log"] = Json::Value();
}

CLogStream::CLogStream(const Json::Value& jsIData)
    : cursor_(std::make_unique<CRowCursor>(logQuerySql(jsIData))) {}

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
