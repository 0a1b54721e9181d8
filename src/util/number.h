// The one reader of integers from text.
//
// The rule kept is the C library's atoi, which the stored values, the request
// members and the daemon packets have always been read by: leading blanks are
// skipped, an optional sign is taken, then digits up to the first character
// that is not one; text without digits reads as 0, so "12ab" is 12 and "ab"
// is 0. Unlike atoi it has no undefined behaviour: a value beyond the range
// saturates, as strtoll does. Callers narrow the result as their field needs
// (an int, or the low 32 bits of a packet field).
#pragma once

#include <string_view>

namespace korvan {

// The leading integer of `text`, saturated to the range of long long.
long long leadingInteger(std::string_view text);

// The leading integer of `text`, saturated to the range of int.
int leadingInt(std::string_view text);

}  // namespace korvan
