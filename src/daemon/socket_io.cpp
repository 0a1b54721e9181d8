#include "daemon/socket_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "util/myerr.h"
#include "util/paths.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string errnoText(int err) { return std::strerror(err); }

// Milliseconds left until `deadline`, never negative.
int msLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until `fd` shows one of `events` or `deadline` passes; restarts
// after a signal with the time that is left. Returns poll()'s result.
int pollUntil(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int ready = poll(&p, 1, msLeft(deadline));
    if (ready >= 0 || errno != EINTR) return ready;
  }
}

bool setBlocking(int fd, bool blocking) {
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return fcntl(fd, F_SETFL, flags) == 0;
}

// Connects `sockfd`; 0 on success, ETIMEDOUT when the limit passed, else
// the errno of the failure.
int connectWithin(int sockfd, const sockaddr_in* saptr, int salen, int limitMs) {
  if (!setBlocking(sockfd, false)) return errno;
  const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  if (connect(sockfd, reinterpret_cast<const sockaddr*>(saptr), static_cast<socklen_t>(salen)) !=
      0) {
    if (errno != EINPROGRESS && errno != EINTR) return errno;
    int ready = pollUntil(sockfd, POLLOUT, deadline);
    if (ready < 0) return errno;
    if (ready == 0) return ETIMEDOUT;
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(sockfd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return errno;
    if (err != 0) return err;
  }
  return setBlocking(sockfd, true) ? 0 : errno;
}

}  // namespace

void socketConnectTimeout(int sockfd, const sockaddr_in* saptr, int salen) {
  socketConnectWithin(sockfd, saptr, salen, korvan::connectTimeoutMs());
  setLog(trace::kDaemonConnected, "cnn arm ok");
}

void socketConnectWithin(int sockfd, const sockaddr_in* saptr, int salen, int limitMs) {
  int err = connectWithin(sockfd, saptr, salen, limitMs);
  if (err == 0) return;
  if (sockfd >= 0) close(sockfd);
  if (err == ETIMEDOUT) throw CMyErr(CMyErr::armErr, "arm connect timeout");
  throw CMyErr(CMyErr::armErr, "arm connect error:" + errnoText(err));
}

void socketReadTimeout(int fd, void* pak, int pakLen) {
  auto* out = static_cast<unsigned char*>(pak);
  const size_t want = pakLen > 0 ? static_cast<size_t>(pakLen) : 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(korvan::replyTimeoutMs());
  size_t got = 0;
  while (got < want) {
    int ready = pollUntil(fd, POLLIN, deadline);
    if (ready < 0) throw CMyErr(CMyErr::armErr, "arm read ack timeout:" + errnoText(errno));
    if (ready == 0) {
      throw CMyErr(CMyErr::armErr, got == 0 ? "arm read ack timeout" : "arm read ack short");
    }
    ssize_t n = read(fd, out + got, want - got);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) throw CMyErr(CMyErr::armErr, "arm read ack error:" + errnoText(errno));
    if (n == 0)
      throw CMyErr(CMyErr::armErr, got == 0 ? "arm read ack closed" : "arm read ack short");
    got += static_cast<size_t>(n);
  }
}

void socketWriteAll(int fd, const void* pak, size_t pakLen) {
  const auto* in = static_cast<const unsigned char*>(pak);
  size_t sent = 0;
  while (sent < pakLen) {
    ssize_t n = send(fd, in + sent, pakLen - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw CMyErr(CMyErr::armErr, "arm write error:" + errnoText(n < 0 ? errno : EPIPE));
    sent += static_cast<size_t>(n);
  }
}
