#include "cgi/ajax.h"

#include <vector>

#include "cgi/cgic.h"

namespace {
constexpr int kPostKeyBuffer = 30000;
}

bool CAjax::isAjax() {
  std::vector<char> buffer(kPostKeyBuffer);
  return cgiFormStringNoNewlines("postKey", buffer.data(), kPostKeyBuffer) == cgiFormSuccess;
}

// The dispatcher is not served yet.
int CAjax::main2(std::string) { return 0; }
