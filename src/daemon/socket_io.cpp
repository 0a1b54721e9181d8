#include "daemon/socket_io.h"

#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "cgi/cgic.h"
#include "store/myerr.h"

namespace {

// Cancels the pending connect alarm when the connect attempt ends, whichever
// way it ends.
class AlarmGuard {
 public:
  explicit AlarmGuard(unsigned seconds) { alarm(seconds); }
  ~AlarmGuard() { alarm(0); }
  AlarmGuard(const AlarmGuard&) = delete;
  AlarmGuard& operator=(const AlarmGuard&) = delete;
};

std::string errnoText(int err) { return std::strerror(err); }

}  // namespace

void socketConnectAlarm(int /*signo*/) {}

void socketConnectTimeout(int sockfd, const sockaddr_in* saptr, int salen) {
  struct sigaction act {};
  act.sa_handler = socketConnectAlarm;
  sigemptyset(&act.sa_mask);
  act.sa_flags = 0;  // no SA_RESTART: the alarm must interrupt connect()
  sigaction(SIGALRM, &act, nullptr);

  int rc;
  int err;
  {
    AlarmGuard alarmGuard(kArmConnectTimeoutSec);
    rc = connect(sockfd, reinterpret_cast<const sockaddr*>(saptr), static_cast<socklen_t>(salen));
    err = errno;
  }
  if (rc == 0) {
    setLog(491, "cnn arm ok");
    return;
  }
  close(sockfd);
  if (err == EINTR) throw CMyErr(CMyErr::armErr, "arm connect timeout");
  throw CMyErr(CMyErr::armErr, "arm connect error:" + errnoText(err));
}

void socketReadTimeout(int fd, void* pak, int pakLen) {
  // select() cannot watch a descriptor outside its set.
  if (fd < 0 || fd >= FD_SETSIZE) {
    throw CMyErr(CMyErr::armErr, "arm read ack timeout:" + errnoText(EBADF));
  }
  fd_set readSet;
  FD_ZERO(&readSet);
  FD_SET(fd, &readSet);
  timeval tv {};
  tv.tv_sec = kArmReadTimeoutSec;
  tv.tv_usec = 0;
  int ready = select(fd + 1, &readSet, nullptr, nullptr, &tv);
  if (ready == 0) throw CMyErr(CMyErr::armErr, "arm read ack timeout");
  if (ready < 0) throw CMyErr(CMyErr::armErr, "arm read ack timeout:" + errnoText(errno));

  // One read: the daemon sends each reply whole. Whatever part of it did not
  // come with that read is not waited for, and is never judged.
  ssize_t n;
  do {
    n = read(fd, pak, static_cast<size_t>(pakLen));
  } while (n < 0 && errno == EINTR);
  if (n < 0) throw CMyErr(CMyErr::armErr, "arm read ack error:" + errnoText(errno));
  if (n == 0) throw CMyErr(CMyErr::armErr, "arm read ack closed");
  if (n < pakLen) throw CMyErr(CMyErr::armErr, "arm read ack short");
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
