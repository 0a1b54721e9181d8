// The rows of a query written straight as JSON text (CDB::selText), for the
// snapshot's large lists: no tree of values is built, filled and freed.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "store/db.h"
#include "store/rows.h"

namespace {

using korvan::JsonTextBuilder;

// The members of a row object in the order the compact writer writes them
// (ascending by name), each with the position in `keys` of the cell it takes:
// the last one when a name comes twice, as it would overwrite the first.
// Each name is kept quoted, with the separator before it and the colon.
std::vector<std::pair<std::string, size_t>> memberOrder(const std::vector<const char*>& keys) {
  std::map<std::string_view, size_t> last;
  for (size_t i = 0; i < keys.size(); ++i) last[keys[i]] = i;
  std::vector<std::pair<std::string, size_t>> order;
  for (const auto& [name, key] : last) {
    std::string quoted = order.empty() ? "{" : ",";
    korvan::appendJsonString(name.data(), name.data() + name.size(), quoted);
    order.emplace_back(quoted + ":", key);
  }
  return order;
}

// The current row of a statement, its cells read as they are asked for.
class StatementRow : public CDB::RowCells {
 public:
  StatementRow(sqlite3_stmt* stmt, int columns) : stmt_(stmt), columns_(columns) {}
  const char* operator[](size_t key) const override {
    return korvan::cellText(stmt_, columns_, key);
  }
  std::optional<long long> integer(size_t key) const override {
    const int column = static_cast<int>(key);
    if (column >= columns_ || sqlite3_column_type(stmt_, column) != SQLITE_INTEGER) return {};
    return sqlite3_column_int64(stmt_, column);
  }

  // Appends `prefix`, then cell `key` as the JSON string of its text. An
  // integer is written from its value, sparing the engine's conversion to
  // text (an allocation per cell); the digits are the same.
  void appendCell(std::string_view prefix, size_t key, JsonTextBuilder& out) const {
    sqlite3_value* value = key < static_cast<size_t>(columns_)
                               ? sqlite3_column_value(stmt_, static_cast<int>(key))
                               : nullptr;
    if (value != nullptr && sqlite3_value_type(value) == SQLITE_INTEGER) {
      char digits[24];
      const auto written =
          std::to_chars(digits, digits + sizeof digits, sqlite3_value_int64(value));
      out.appendMember(prefix, digits, written.ptr);
      return;
    }
    const unsigned char* text = value != nullptr ? sqlite3_value_text(value) : nullptr;
    const char* cell = text != nullptr ? reinterpret_cast<const char*>(text) : "";
    out.appendMember(prefix, cell, cell + strlen(cell));
  }

 private:
  sqlite3_stmt* stmt_;
  int columns_;
};

// A cell as ORDER BY compares it: NULL first, then numbers by value, then
// texts, then blobs, each kind byte by byte (the BINARY collation).
struct SortValue {
  int kind = 0;  // 0 NULL, 1 number, 2 text, 3 blob
  bool isInteger = false;
  sqlite3_int64 integer = 0;
  double real = 0;
  std::string bytes;
};

SortValue sortValue(sqlite3_stmt* stmt, int columns, size_t i) {
  SortValue value;
  const int column = static_cast<int>(i);
  const int type = column < columns ? sqlite3_column_type(stmt, column) : SQLITE_NULL;
  if (type == SQLITE_INTEGER) {
    value = {1, true, sqlite3_column_int64(stmt, column), 0, {}};
  } else if (type == SQLITE_FLOAT) {
    value = {1, false, 0, sqlite3_column_double(stmt, column), {}};
  } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
    const void* data = type == SQLITE_TEXT
                           ? static_cast<const void*>(sqlite3_column_text(stmt, column))
                           : sqlite3_column_blob(stmt, column);
    const int size = sqlite3_column_bytes(stmt, column);
    value.kind = type == SQLITE_TEXT ? 2 : 3;
    if (size > 0) value.bytes.assign(static_cast<const char*>(data), static_cast<size_t>(size));
  }
  return value;
}

// An integer against a real, exactly, as the engine compares them.
int compareIntegerReal(sqlite3_int64 i, double r) {
  if (r < -9223372036854775808.0) return 1;
  if (r >= 9223372036854775808.0) return -1;
  const auto y = static_cast<sqlite3_int64>(r);
  if (i != y) return i < y ? -1 : 1;
  const auto s = static_cast<double>(i);
  return s < r ? -1 : (s > r ? 1 : 0);
}

int compare(const SortValue& a, const SortValue& b) {
  if (a.kind != b.kind) return a.kind < b.kind ? -1 : 1;
  if (a.kind == 1) {
    if (a.isInteger && b.isInteger) return a.integer < b.integer ? -1 : (a.integer > b.integer);
    if (a.isInteger) return compareIntegerReal(a.integer, b.real);
    if (b.isInteger) return -compareIntegerReal(b.integer, a.real);
    return a.real < b.real ? -1 : (a.real > b.real);
  }
  return a.bytes.compare(b.bytes);  // byte order, then the shorter first
}

}  // namespace

void CDB::selText(const std::string& sql, const std::vector<const char*>& staticKeys,
                  std::string& out, const ListOptions& options) {
  const auto order = memberOrder(staticKeys);
  JsonTextBuilder rows;                          // the row objects, one after the other
  std::vector<std::pair<size_t, size_t>> spans;  // each row's place in `rows`
  std::vector<SortValue> sortValues;             // orderBy.size() per row
  korvan::forEachRow(sql, [&](sqlite3_stmt* stmt, int columns, size_t) {
    const StatementRow row(stmt, columns);
    if (options.visit && !options.visit(row)) return;
    const size_t begin = rows.size();
    for (const SortKey& sortKey : options.orderBy) {
      sortValues.push_back(sortValue(stmt, columns, sortKey.key));
    }
    for (const auto& [quotedName, key] : order) {
      if (!options.cell) {
        row.appendCell(quotedName, key, rows);
        continue;
      }
      rows.append(quotedName);
      if (!options.cell(key, row, rows)) row.appendCell({}, key, rows);
    }
    rows.append(order.empty() ? std::string_view("null") : std::string_view("}"));
    spans.emplace_back(begin, rows.size());
  });
  if (spans.empty()) {
    out += "null";
    return;
  }
  std::vector<size_t> sequence(spans.size());
  for (size_t i = 0; i < sequence.size(); ++i) sequence[i] = i;
  if (const size_t width = options.orderBy.size(); width > 0) {
    std::stable_sort(sequence.begin(), sequence.end(), [&](size_t a, size_t b) {
      for (size_t k = 0; k < width; ++k) {
        const int c = compare(sortValues[a * width + k], sortValues[b * width + k]);
        if (c != 0) return options.orderBy[k].descending ? c > 0 : c < 0;
      }
      return false;
    });
  }
  out.reserve(out.size() + rows.size() + spans.size() + 1);
  bool first = true;
  for (size_t i : sequence) {
    out += first ? '[' : ',';
    first = false;
    out.append(rows.data() + spans[i].first, spans[i].second - spans[i].first);
  }
  out += ']';
}
