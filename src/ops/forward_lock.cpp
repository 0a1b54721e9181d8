#include "ops/forward_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "util/myerr.h"
#include "util/paths.h"

namespace logfwd {

namespace {

constexpr std::string_view kLockPath = "/usr/app/.korvan-forward.lock";
constexpr std::string_view kIdle = "idle ";
// "idle ", 19 digits (any record id) and a line end.
constexpr size_t kNoteSize = 25;

}  // namespace

DeliveryLock::DeliveryLock() {
  fd_ = open(korvan::resolvePath(kLockPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) openError_ = errno;
}

DeliveryLock::~DeliveryLock() {
  if (fd_ >= 0) close(fd_);
}

bool DeliveryLock::tryTake() {
  if (fd_ < 0) {
    throw CMyErr(CMyErr::err, std::string("forwarding lock not opened: ") + strerror(openError_));
  }
  while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

bool DeliveryLock::take(std::chrono::milliseconds wait) {
  // A delivery holds the lock for at most its window; polled, so that a
  // holder that hangs costs a bounded wait, not a stuck request.
  const auto end = std::chrono::steady_clock::now() + wait;
  while (!tryTake()) {
    if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::optional<long long> DeliveryLock::idleAt() const {
  char text[40] = {};
  const ssize_t got = pread(fd_, text, sizeof text - 1, 0);
  if (got <= static_cast<ssize_t>(kIdle.size()) || std::string_view(text, kIdle.size()) != kIdle) {
    return std::nullopt;
  }
  if (!isdigit(static_cast<unsigned char>(text[kIdle.size()]))) return std::nullopt;
  char* end = nullptr;
  const long long id = strtoll(text + kIdle.size(), &end, 10);
  if (*end != '\n') return std::nullopt;
  return id;
}

void DeliveryLock::noteIdle(std::optional<long long> newest) {
  // Always the same length, written over the last: the file keeps its size
  // and its blocks: a note allocates and frees nothing on the disk.
  char text[kNoteSize + 1];
  if (newest) {
    snprintf(text, sizeof text, "idle %019lld\n", *newest);
  } else {
    snprintf(text, sizeof text, "%-24s\n", "none");
  }
  if (pwrite(fd_, text, kNoteSize, 0) != static_cast<ssize_t>(kNoteSize)) {
    throw CMyErr(CMyErr::err, "forwarding note not written");
  }
}

}  // namespace logfwd
