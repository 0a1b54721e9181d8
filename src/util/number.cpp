#include "util/number.h"

#include <cctype>
#include <climits>

namespace korvan {

long long leadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulated as a negative number, whose range reaches LLONG_MIN.
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    const int digit = text[i] - '0';
    if (value < (LLONG_MIN + digit) / 10) return negative ? LLONG_MIN : LLONG_MAX;
    value = value * 10 - digit;
  }
  if (negative) return value;
  return value == LLONG_MIN ? LLONG_MAX : -value;
}

int leadingInt(std::string_view text) {
  const long long value = leadingInteger(text);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace korvan
