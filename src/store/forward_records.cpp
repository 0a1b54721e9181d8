#include "store/forward_records.h"

#include <cstdlib>

#include "store/cursor.h"
#include "store/sql.h"

namespace logfwd {

namespace {

constexpr const char* kColumns = "select id,user,time,ip,type,typeSub,typeSubCN,sth from log2 ";

Record recordOf(const CRowCursor& row) {
  Record r;
  r.id = std::atoll(row.cell(0));
  r.user = row.cell(1);
  r.time = row.cell(2);
  r.ip = row.cell(3);
  r.type = row.cell(4);
  r.typeSub = row.cell(5);
  r.typeSubCN = row.cell(6);
  r.detail = row.cell(7);
  return r;
}

long long number(const std::string& sql) {
  CRowCursor row(sql);
  return row.hasRow() ? std::atoll(row.cell(0)) : 0;
}

}  // namespace

std::vector<Record> recordsAfter(long long after, int limit) {
  std::vector<Record> records;
  for (CRowCursor row(kColumns + std::string("where id>") + std::to_string(after) +
                      " order by id limit " + std::to_string(limit));
       row.hasRow(); row.next()) {
    records.push_back(recordOf(row));
  }
  return records;
}

std::optional<Record> recordAt(long long id) {
  CRowCursor row(kColumns + std::string("where id=") + std::to_string(id));
  if (!row.hasRow()) return std::nullopt;
  return recordOf(row);
}

long long newestRecordId() { return number("select max(id) from log2"); }

long long recordsAbove(long long after) {
  return number("select count(*) from log2 where id>" + std::to_string(after));
}

long long newestIdUpTo(const std::string& time) {
  return number("select max(id) from log2 where time<'" + sqlText(time) + "'");
}

}  // namespace logfwd
