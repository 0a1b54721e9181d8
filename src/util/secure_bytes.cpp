#include "util/secure_bytes.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>

#include "util/myerr.h"

namespace korvan {
namespace {

// Calls `source(buf + got, len - got)` until `len` bytes have come, the
// source ends or it fails (EINTR is retried). Returns the number of bytes got.
template <class Source>
size_t fillFrom(unsigned char* buf, size_t len, Source source) {
  size_t got = 0;
  while (got < len) {
    ssize_t n = source(buf + got, len - got);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (!(n < 0 && errno == EINTR)) {
      break;
    }
  }
  return got;
}

}  // namespace

void randomBytes(void* out, size_t n) {
  auto* buf = static_cast<unsigned char*>(out);
  if (fillFrom(buf, n, [](unsigned char* p, size_t k) { return getrandom(p, k, 0); }) == n) return;
  // A kernel older than the call (before 3.17) has /dev/urandom only.
  const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  const size_t got =
      fd < 0 ? 0 : fillFrom(buf, n, [fd](unsigned char* p, size_t k) { return read(fd, p, k); });
  if (fd >= 0) close(fd);
  if (got != n) throw CMyErr(CMyErr::err, "random source unavailable");
}

bool sameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

std::string lowerHex(const unsigned char* bytes, size_t n) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) {
    out.push_back(kHex[bytes[i] >> 4]);
    out.push_back(kHex[bytes[i] & 15]);
  }
  return out;
}

}  // namespace korvan
