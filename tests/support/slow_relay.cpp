#include "slow_relay.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace korvantest {

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  return a;
}

// Whether `fd` became readable within `ms`.
bool readable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, ms) == 1;
}

// Closes with a reset: the sender must not take the close for a confirmation.
void reset(int fd) {
  const linger abort{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  close(fd);
}

}  // namespace

SlowRelay::SlowRelay(int collectorPort, int bytesPerMs)
    : collectorPort_(collectorPort), bytesPerMs_(bytesPerMs) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a = loopback(0);
  socklen_t len = sizeof a;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    if (listener_ >= 0) close(listener_);
    throw std::runtime_error("slow relay cannot listen");
  }
  port_ = ntohs(a.sin_port);
  thread_ = std::thread([this] { serve(); });
}

SlowRelay::~SlowRelay() {
  stopping_ = true;
  thread_.join();
  close(listener_);
}

void SlowRelay::serve() {
  while (!stopping_) {
    if (!readable(listener_, 50)) continue;
    const int sender = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (sender >= 0) relay(sender);
  }
}

void SlowRelay::relay(int sender) {
  const int collector = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in a = loopback(collectorPort_);
  if (connect(collector, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    close(collector);
    return reset(sender);
  }
  // Paced from the first byte: `read` bytes may not have come before
  // read / bytesPerMs milliseconds.
  const Clock::time_point start = Clock::now();
  long long read = 0;
  char buffer[1024];
  for (;;) {
    if (stopping_ || !readable(sender, 2000)) break;
    const ssize_t n = recv(sender, buffer, sizeof buffer, 0);
    if (n == 0) {
      // The sender closed its side: so does the relay, and it confirms once
      // the collector behind has read everything and closed.
      shutdown(collector, SHUT_WR);
      ssize_t got = 1;
      while (got > 0 && readable(collector, 5000)) got = recv(collector, buffer, sizeof buffer, 0);
      close(collector);
      return got == 0 ? (void)close(sender) : reset(sender);
    }
    // A blocking send passes on all of it or fails.
    if (n < 0 || send(collector, buffer, static_cast<size_t>(n), MSG_NOSIGNAL) != n) break;
    read += n;
    std::this_thread::sleep_until(start + std::chrono::milliseconds(read / bytesPerMs_));
  }
  close(collector);
  reset(sender);
}

}  // namespace korvantest
