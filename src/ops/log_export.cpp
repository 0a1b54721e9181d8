#include "ops/log_export.h"

#include <memory>
#include <new>

#include "ops/sellog.h"
#include "store/cursor.h"
#include "util/myerr.h"

namespace {

// Pieces handed to the sink are about this large.
constexpr size_t kPiece = 16384;

// The columns of the query of ops/sellog.h in the order written, and their
// header names.
struct Column {
  int index;
  const char* header;
};
const Column kColumns[] = {{6, "id"},   {1, "time"},    {0, "user"},      {2, "ip"},
                           {3, "type"}, {4, "typeSub"}, {7, "typeSubCN"}, {5, "details"}};
// After them the details as readable text; the raw column stays for tools.
constexpr int kDetails = 5;
constexpr const char* kDetailsTextHeader = "detailsText";

}  // namespace

namespace {

// Characters a spreadsheet may take as the start of a formula or of a new
// field: "=", "+", "-", "@", tab, CR and LF, and the full-width forms of the
// first four (U+FF1D, U+FF0B, U+FF0D, U+FF20, in UTF-8).
bool startsFormula(std::string_view text) {
  if (text.empty()) return false;
  if (std::string_view("=+-@\t\r\n").find(text.front()) != std::string_view::npos) return true;
  for (std::string_view wide : {"\xEF\xBC\x9D", "\xEF\xBC\x8B", "\xEF\xBC\x8D", "\xEF\xBC\xA0"}) {
    if (text.substr(0, wide.size()) == wide) return true;
  }
  return false;
}

// `text` without its leading blanks: spaces, no-break spaces (U+00A0) and
// ideographic spaces (U+3000), which a spreadsheet may skip.
std::string_view withoutLeadingBlanks(std::string_view text) {
  for (;;) {
    if (!text.empty() && text.front() == ' ') {
      text.remove_prefix(1);
    } else if (text.substr(0, 2) == "\xC2\xA0") {
      text.remove_prefix(2);
    } else if (text.substr(0, 3) == "\xE3\x80\x80") {
      text.remove_prefix(3);
    } else {
      return text;
    }
  }
}

}  // namespace

std::string csvCell(std::string_view text) {
  std::string cell;
  if (startsFormula(withoutLeadingBlanks(text))) cell += '\'';
  cell.append(text);
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string logDetailsText(std::string_view details) {
  // The detail text ends with a line feed that is no part of it.
  if (!details.empty() && details.back() == '\n') details.remove_suffix(1);
  Json::Value entries;
  Json::Reader reader;
  if (!reader.parse(details.data(), details.data() + details.size(), entries, false) ||
      !entries.isArray()) {
    return std::string(details);
  }
  // Address lists are logged with "<br>" between their entries.
  auto value = [](const Json::Value& v) {
    std::string text = v.isString() ? v.asString() : v.toStyledString();
    for (size_t at; (at = text.find("<br>")) != std::string::npos;) text.replace(at, 4, ", ");
    while (!text.empty() && (text.back() == ' ' || text.back() == ',' || text.back() == '\n'))
      text.pop_back();
    return text;
  };
  std::string text;
  for (const Json::Value& entry : entries) {
    if (!entry.isObject() || !entry.isMember("nm")) return std::string(details);
    if (!text.empty()) text += "; ";
    text += value(entry["nm"]) + ": " + value(entry["v1"]);
    if (entry.isMember("v2")) text += " -> " + value(entry["v2"]);
  }
  return text;
}

std::string logExportSql(const Caller& caller, const Json::Value& logCondition) {
  const korvan::LogQueryParams query = logQueryOf(logCondition);
  (void)logQuerySql(caller, query);  // refuses a malformed page as the log query does
  // The filters of the query, without a page: the export is the whole log,
  // newest first as the log is shown.
  return logFilterSql(caller, query) + " order by id desc";
}

void writeLogCsv(CRowCursor& cursor, const TextSink& sink) {
  std::string piece;
  size_t whole = 0;  // the part of `piece` that holds whole lines
  try {
    for (const Column& column : kColumns) {
      if (!piece.empty()) piece += ',';
      piece += column.header;
    }
    piece += std::string(",") + kDetailsTextHeader + "\r\n";
    whole = piece.size();
    for (; cursor.hasRow(); cursor.next()) {
      whole = piece.size();
      bool first = true;
      for (const Column& column : kColumns) {
        if (!first) piece += ',';
        first = false;
        std::string_view text = cursor.cell(column.index);
        // The detail text ends with a line feed that is no part of it.
        if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
        piece += csvCell(text);
      }
      piece += ',' + csvCell(logDetailsText(cursor.cell(kDetails)));
      piece += "\r\n";
      whole = piece.size();
      if (piece.size() >= kPiece) {
        sink(piece);
        piece.clear();
        whole = 0;
      }
    }
  } catch (const CMyErr&) {
    // The reply is under way: it ends with the last whole record read.
    piece.resize(whole);
  } catch (const std::bad_alloc&) {
    // Memory that runs out part way ends it the same way.
    piece.resize(whole);
  }
  sink(piece);
}
