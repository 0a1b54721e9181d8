// CCN: the display names of settings stored as small numbers. Before such a
// value goes into an operation-log record it is replaced by its name, so the
// log reads "grab share" instead of "2". The tables are fixed and only read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "util/number.h"

class CCN {
 public:
  static const std::string dogShareMode[3];  // console module share mode (`sm`)
  static const std::string dogType[4];       // console module kind (`type2`)
  static const std::string dogStatus[3];
  static const std::string dogPriv[4];
  static const std::string dogCode[4];
  static const std::string dogFrame[6];
  static const std::string serverEncrypt[3];  // server encryption (`encrypt`)
  static const std::string userCode[3];
  static const std::string userFrame[5];
  static const std::string userMedia[3];
  static const std::string userStatus[2];
  static const std::string userPrior[3];
  static const std::string ipsType[2];  // IP access list kind (`type`)

  // Shown for a stored number that has no entry in its table.
  static const std::string outOfTable;

  // The display name of a stored value: the leading integer of `value`
  // (util/number.h) indexes `table`. A negative index or one past the last
  // entry gives outOfTable.
  template <std::size_t N>
  static const std::string& name(const std::string (&table)[N], std::string_view value) {
    const long long index = korvan::leadingInteger(value);
    if (index < 0 || static_cast<unsigned long long>(index) >= N) return outOfTable;
    return table[index];
  }
};
