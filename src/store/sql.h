// The one rule that keeps request values inside their SQL literals.
//
// Every statement of the program is joined from fixed fragments and request
// values. A value that goes between single quotes passes through sqlText(); a
// value that goes bare passes through sqlNumber(). No other code escapes or
// checks SQL values.
#pragma once

#include <string>
#include <string_view>

namespace Json {
class Value;
}

// `value` with every single quote doubled, for use between single quotes:
// the stored text is exactly `value`.
std::string sqlText(const std::string& value);
std::string sqlText(const char* value);

// `value` unchanged when it is a decimal number (optional sign, digits,
// optional fraction, optional exponent) or the empty text. The empty text is
// let through so that a missing member makes the statement fail with the
// engine's own error. Anything else throws CMyErr(err) naming the value.
std::string sqlNumber(const std::string& value);
std::string sqlNumber(const char* value);

// The JSON library's string conversion of a request member (a string as it
// stands, numbers in decimal, booleans as true/false, null or missing as the
// empty text), passed through sqlText() or sqlNumber().
std::string sqlText(const Json::Value& value);
std::string sqlNumber(const Json::Value& value);

// True when `value` is a decimal number as sqlNumber() accepts it (the empty
// text excluded).
bool isSqlNumber(std::string_view value);
