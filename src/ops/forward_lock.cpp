#include "ops/forward_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#include "util/myerr.h"
#include "util/paths.h"

namespace logfwd {

namespace {

constexpr std::string_view kLockPath = "/usr/app/.korvan-forward.lock";
constexpr std::string_view kIdle = "idle ";

}  // namespace

DeliveryLock::DeliveryLock() {
  fd_ = open(korvan::resolvePath(kLockPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

DeliveryLock::~DeliveryLock() {
  if (fd_ >= 0) close(fd_);
}

bool DeliveryLock::tryTake() {
  if (fd_ < 0) return false;
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
    if (fd_ < 0 || errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= end) return false;
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
  // Cleared first: a note cut short by a failure reads as none.
  if (ftruncate(fd_, 0) != 0) throw CMyErr(CMyErr::err, "forwarding note not cleared");
  if (!newest) return;
  const std::string text = std::string(kIdle) + std::to_string(*newest) + "\n";
  if (pwrite(fd_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
    throw CMyErr(CMyErr::err, "forwarding note not written");
  }
}

}  // namespace logfwd
