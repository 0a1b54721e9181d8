#include "fake_daemon.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "daemon/packets.h"

namespace korvantest {

namespace pak = korvan::pak;

namespace {

void sendAll(int fd, const uint8_t* data, size_t len) {
  while (len > 0) {
    ssize_t n = send(fd, data, len, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    len -= static_cast<size_t>(n);
  }
}

// The reply a daemon gives to `request` (at least 3 bytes) with `reply`'s
// result byte and session values.
Bytes buildReply(const Bytes& request, const FakeReply& reply) {
  const pak::TypeInfo* info = pak::findType(request[2]);
  if (info == nullptr) return {};
  Bytes out(info->replyLen);
  pak::begin(out.data(), out.size(), request[2]);
  switch (info->reply) {
    case pak::ReplyKind::kSimple:
      out[offsetof(pak::SimpleReply, ret)] = reply.ret;
      break;
    case pak::ReplyKind::kDog:
      out[offsetof(pak::DogReply, port)] = request.size() > 3 ? request[3] : 0;
      out[offsetof(pak::DogReply, ret)] = reply.ret;
      break;
    case pak::ReplyKind::kQT:
      out[offsetof(pak::QTReply, ret)] = reply.ret;
      std::copy(reply.desEncode.begin(), reply.desEncode.end(),
                out.begin() + offsetof(pak::QTReply, desEncode));
      std::copy(reply.desDecode.begin(), reply.desDecode.end(),
                out.begin() + offsetof(pak::QTReply, desDecode));
      break;
  }
  return out;
}

}  // namespace

FakeDaemon::FakeDaemon() {
  if (pipe(stopPipe_) != 0) throw std::runtime_error("fake daemon: pipe failed");
  listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listenFd_ < 0) throw std::runtime_error("fake daemon: socket failed");
  int on = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t len = sizeof address;
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd_, 64) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &len) != 0) {
    close(listenFd_);
    throw std::runtime_error(std::string("fake daemon: ") + std::strerror(errno));
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

FakeDaemon::~FakeDaemon() {
  char stop = 'x';
  ssize_t ignored = write(stopPipe_[1], &stop, 1);  // wakes every waiting thread
  (void)ignored;
  acceptor_.join();
  for (std::thread& worker : workers_) worker.join();
  close(listenFd_);
  close(stopPipe_[0]);
  close(stopPipe_[1]);
}

void FakeDaemon::script(uint8_t type, const FakeReply& reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  scripts_[type] = reply;
}

void FakeDaemon::scriptRet(uint8_t type, uint8_t ret) {
  FakeReply reply;
  reply.ret = ret;
  reply.desEncode = kDesEncode;
  reply.desDecode = kDesDecode;
  script(type, reply);
}

std::vector<Bytes> FakeDaemon::packets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return packets_;
}

std::vector<Bytes> FakeDaemon::packetsOfType(uint8_t type) const {
  std::vector<Bytes> out;
  for (Bytes& packet : packets()) {
    if (packet.size() >= 3 && packet[0] == pak::kHeader && packet[2] == type) {
      out.push_back(std::move(packet));
    }
  }
  return out;
}

int FakeDaemon::connections() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connections_;
}

bool FakeDaemon::waitForPackets(size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return arrived_.wait_for(lock, limit, [&] { return packets_.size() >= count; });
}

FakeReply FakeDaemon::replyFor(uint8_t type) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = scripts_.find(type);
  if (it != scripts_.end()) return it->second;
  FakeReply reply;
  reply.desEncode = kDesEncode;
  reply.desDecode = kDesDecode;
  return reply;
}

void FakeDaemon::record(Bytes packet) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    packets_.push_back(std::move(packet));
  }
  arrived_.notify_all();
}

bool FakeDaemon::waitReadable(int fd, int ms) const {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
  for (;;) {
    int n = poll(fds, 2, ms);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    if (fds[1].revents != 0) return false;
    return fd >= 0 && fds[0].revents != 0;
  }
}

bool FakeDaemon::readFull(int fd, uint8_t* out, size_t len) const {
  while (len > 0) {
    if (!waitReadable(fd, -1)) return false;
    ssize_t n = read(fd, out, len);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    out += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

void FakeDaemon::acceptLoop() {
  while (waitReadable(listenFd_, -1)) {
    int fd = accept(listenFd_, nullptr, nullptr);
    if (fd < 0) continue;
    std::lock_guard<std::mutex> lock(mutex_);
    ++connections_;
    workers_.emplace_back([this, fd] { serve(fd); });
  }
}

void FakeDaemon::serve(int fd) {
  for (;;) {
    uint8_t head[2];
    if (!readFull(fd, head, 1)) break;
    if (head[0] != pak::kHeader) {
      record(Bytes{head[0]});
      break;
    }
    if (!readFull(fd, head + 1, 1)) {
      record(Bytes{head[0]});
      break;
    }
    Bytes packet(static_cast<size_t>(head[1]) + 2);
    packet[0] = head[0];
    packet[1] = head[1];
    bool complete = readFull(fd, packet.data() + 2, packet.size() - 2);
    if (!complete || packet.size() < 3) {
      record(Bytes(packet.begin(), packet.begin() + 2));
      break;
    }
    record(packet);

    const FakeReply reply = replyFor(packet[2]);
    if (reply.delayMs > 0) {
      // The pause ends early only when the daemon is stopping.
      pollfd stop = {stopPipe_[0], POLLIN, 0};
      if (poll(&stop, 1, reply.delayMs) != 0) break;
    }
    Bytes answer = reply.raw ? *reply.raw : buildReply(packet, reply);
    if (answer.empty() || reply.mode == FakeReply::Mode::kClose) break;
    if (reply.mode == FakeReply::Mode::kSilent) continue;
    if (reply.mode == FakeReply::Mode::kShort) {
      size_t len = reply.shortLen != 0 ? std::min(reply.shortLen, answer.size())
                                       : answer.size() - 1;
      sendAll(fd, answer.data(), len);
      break;
    }
    sendAll(fd, answer.data(), answer.size());
  }
  close(fd);
}

}  // namespace korvantest
