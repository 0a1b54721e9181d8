#include "store/sql.h"

#include <json/json.h>

#include <cctype>

#include "util/myerr.h"

std::string sqlText(const std::string& value) {
  std::string out;
  out.reserve(value.size() + 2);
  for (char c : value) {
    if (c == '\'') out.push_back('\'');
    out.push_back(c);
  }
  return out;
}

bool isSqlNumber(std::string_view v) {
  size_t i = 0;
  auto digits = [&]() {
    size_t start = i;
    while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i]))) ++i;
    return i - start;
  };
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
  size_t intDigits = digits();
  size_t fracDigits = 0;
  if (i < v.size() && v[i] == '.') {
    ++i;
    fracDigits = digits();
  }
  if (intDigits + fracDigits == 0) return false;
  if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
    ++i;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == v.size();
}

std::string sqlNumber(const std::string& value) {
  if (value.empty() || isSqlNumber(value)) return value;
  throw CMyErr(CMyErr::err, "invalid number in request: '" + value + "'");
}

std::string sqlText(const char* value) { return sqlText(std::string(value)); }

std::string sqlNumber(const char* value) { return sqlNumber(std::string(value)); }

std::string sqlText(const Json::Value& value) { return sqlText(value.asString()); }

std::string sqlNumber(const Json::Value& value) { return sqlNumber(value.asString()); }
