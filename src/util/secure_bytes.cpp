#include "util/secure_bytes.h"

#include <sys/random.h>

#include <cerrno>

#include "util/myerr.h"

namespace korvan {

void randomBytes(void* out, size_t n) {
  auto* p = static_cast<unsigned char*>(out);
  while (n > 0) {
    const ssize_t got = getrandom(p, n, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) throw CMyErr(CMyErr::err, "random source unavailable");
    p += got;
    n -= static_cast<size_t>(got);
  }
}

bool sameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

}  // namespace korvan
