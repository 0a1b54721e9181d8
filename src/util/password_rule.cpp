#include "util/password_rule.h"

#include "util/myerr.h"
#include "util/number.h"

namespace korvan {

namespace {

size_t codePoints(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

int passwordMinimum(const Json::Value& policy) {
  if (!policy.isObject()) return kDefaultPwdMin;
  const Json::Value& value = policy["pwdMin"];
  if (!value.isString() && !value.isNumeric()) return kDefaultPwdMin;
  const std::string text = value.asString();
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    return kDefaultPwdMin;
  }
  const int minimum = leadingInt(text);
  return minimum < 1 ? 1 : minimum;
}

void checkPasswordRule(const std::string& password, const std::string& userName, int pwdMin) {
  if (codePoints(password) < static_cast<size_t>(pwdMin)) {
    throw CMyErr(CMyErr::warning, "password too short (minimum " + std::to_string(pwdMin) + ")");
  }
  if (password == userName) throw CMyErr(CMyErr::warning, "password equals the user name");
}

}  // namespace korvan
