#include "server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace switchsim {

namespace pak = korvan::pak;

namespace {

constexpr size_t kMaxBuffered = 4096;  // a client that floods us is dropped
constexpr size_t kMaxConns = 256;

volatile sig_atomic_t gStop = 0;
volatile sig_atomic_t gPrintState = 0;

void onStop(int) { gStop = 1; }
void onPrintState(int) { gPrintState = 1; }

std::string timestamp() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm local {};
  localtime_r(&ts.tv_sec, &local);
  char text[40];
  size_t n = strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  std::snprintf(text + n, sizeof text - n, ".%03ld", ts.tv_nsec / 1000000);
  return text;
}

void fillRandom(uint8_t (&out)[8]) {
  static std::random_device device;
  for (uint8_t& b : out) b = static_cast<uint8_t>(device());
}

// The reply of a switch to `request` with result byte `ret`; the session
// values go into a KVM session reply when it grants one, or always when
// `alwaysDes` is set.
Bytes buildReply(const Bytes& request, uint8_t ret, const uint8_t (&desEncode)[8],
                 const uint8_t (&desDecode)[8], bool alwaysDes) {
  const pak::TypeInfo* info = pak::findType(request[2]);
  Bytes out(info->replyLen);
  pak::begin(out.data(), out.size(), info->type);
  switch (info->reply) {
    case pak::ReplyKind::kSimple:
      out[offsetof(pak::SimpleReply, ret)] = ret;
      break;
    case pak::ReplyKind::kDog:
      out[offsetof(pak::DogReply, port)] = request[3];
      out[offsetof(pak::DogReply, ret)] = ret;
      break;
    case pak::ReplyKind::kQT:
      out[offsetof(pak::QTReply, ret)] = ret;
      if (ret == 0 || alwaysDes) {
        std::copy(desEncode, desEncode + 8, out.begin() + offsetof(pak::QTReply, desEncode));
        std::copy(desDecode, desDecode + 8, out.begin() + offsetof(pak::QTReply, desDecode));
      }
      break;
  }
  return out;
}

bool sendAll(int fd, const uint8_t* data, size_t len) {
  while (len > 0) {
    ssize_t n = send(fd, data, len, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // a peer that does not read its replies is dropped
    data += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void installSignalHandlers() {
  struct sigaction act {};
  sigemptyset(&act.sa_mask);
  act.sa_handler = onStop;
  sigaction(SIGINT, &act, nullptr);
  sigaction(SIGTERM, &act, nullptr);
  act.sa_handler = onPrintState;
  sigaction(SIGUSR1, &act, nullptr);
  act.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &act, nullptr);
}

Server::~Server() {
  for (auto& [fd, conn] : conns_) close(fd);
  if (listenFd_ >= 0) close(listenFd_);
  for (int fd : stopPipe_) {
    if (fd >= 0) close(fd);
  }
  if (ownLog_ && log_ != nullptr) fclose(log_);
}

bool Server::start() {
  if (pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    fprintf(stderr, "switch-sim: pipe: %s\n", strerror(errno));
    return false;
  }
  if (options_.quiet) {
    log_ = nullptr;
  } else if (options_.logPath.empty()) {
    log_ = stdout;
  } else {
    log_ = fopen(options_.logPath.c_str(), "a");
    if (log_ == nullptr) {
      fprintf(stderr, "switch-sim: cannot open log %s: %s\n", options_.logPath.c_str(),
              strerror(errno));
      return false;
    }
    ownLog_ = true;
  }

  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int on = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(options_.port));
  socklen_t len = sizeof address;
  if (listenFd_ < 0 ||
      bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd_, 64) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &len) != 0) {
    fprintf(stderr, "switch-sim: cannot listen on 127.0.0.1 port %d: %s\n", options_.port,
            strerror(errno));
    return false;
  }
  port_ = ntohs(address.sin_port);
  writeState();
  return true;
}

void Server::stop() {
  const char byte = 'x';
  ssize_t ignored = write(stopPipe_[1], &byte, 1);
  (void)ignored;
}

void Server::setBehaviour(uint8_t type, const Behaviour& behaviour) {
  std::lock_guard<std::mutex> lock(behavioursMutex_);
  options_.behaviours[type] = behaviour;
}

Behaviour Server::behaviourFor(uint8_t type) {
  std::lock_guard<std::mutex> lock(behavioursMutex_);
  return options_.behaviourFor(type);
}

void Server::notePacket(const Bytes& bytes) {
  if (onPacket) onPacket(bytes);
}

void Server::run() {
  sigset_t waitMask;
  sigemptyset(&waitMask);
  std::vector<pollfd> fds;
  while (!gStop) {
    if (gPrintState) {
      gPrintState = 0;
      printState();
    }

    // Wake up for the earliest delayed reply.
    int timeoutMs = -1;
    const Clock::time_point now = Clock::now();
    for (const auto& [fd, conn] : conns_) {
      if (!conn.hasPending) continue;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(conn.pending.due - now);
      int ms = static_cast<int>(std::max<long long>(0, left.count() + 1));
      timeoutMs = timeoutMs < 0 ? ms : std::min(timeoutMs, ms);
    }

    fds.clear();
    fds.push_back({listenFd_, POLLIN, 0});
    fds.push_back({stopPipe_[0], POLLIN, 0});
    for (const auto& [fd, conn] : conns_) fds.push_back({fd, POLLIN, 0});
    timespec ts{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
    int ready = ppoll(fds.data(), fds.size(), timeoutMs < 0 ? nullptr : &ts, &waitMask);
    if (ready < 0) continue;  // a signal: the loop head handles it
    if (fds[1].revents != 0) break;

    if (fds[0].revents & POLLIN) acceptOne();
    for (size_t i = 2; i < fds.size(); ++i) {
      auto it = conns_.find(fds[i].fd);
      if (it == conns_.end() || fds[i].revents == 0) continue;
      if (!readFrom(fds[i].fd, it->second)) drop(fds[i].fd);
    }

    // Delayed replies that are due, then whatever input they held back.
    std::vector<int> dueFds;
    for (const auto& [fd, conn] : conns_) {
      if (conn.hasPending && conn.pending.due <= Clock::now()) dueFds.push_back(fd);
    }
    for (int fd : dueFds) {
      Conn& conn = conns_[fd];
      if (!finish(fd, conn) || !handleInput(fd, conn)) drop(fd);
    }
  }
}

void Server::acceptOne() {
  int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  if (conns_.size() >= kMaxConns) {
    logLine("too many connections: refused one");
    close(fd);
    return;
  }
  Conn& conn = conns_[fd];
  conn.id = nextConnId_++;
  if (onAccept) onAccept();
}

bool Server::readFrom(int fd, Conn& conn) {
  uint8_t buf[512];
  ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
  if (n < 0) return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
  if (n == 0) {
    if (!conn.in.empty()) {
      notePacket(conn.in);
      logLine("#" + std::to_string(conn.id) + " closed with an incomplete packet | " +
              hexText(conn.in));
    }
    return false;
  }
  conn.in.insert(conn.in.end(), buf, buf + n);
  if (conn.in.size() > kMaxBuffered) {
    logLine("#" + std::to_string(conn.id) + " too much unanswered input: dropped");
    return false;
  }
  return handleInput(fd, conn);
}

bool Server::handleInput(int fd, Conn& conn) {
  const std::string who = "#" + std::to_string(conn.id);
  while (!conn.hasPending && !conn.in.empty()) {
    Bytes& in = conn.in;
    if (in[0] != pak::kHeader) {
      notePacket(in);
      logLine(who + " garbage (bad header) | " + hexText(in) + " -> dropped");
      return false;
    }
    if (in.size() >= 2 && in[1] == 0) {  // no room for a type byte
      notePacket(in);
      logLine(who + " garbage (bad length) | " + hexText(in) + " -> dropped");
      return false;
    }
    if (in.size() < 3) return true;
    const pak::TypeInfo* info = pak::findType(in[2]);
    if (info == nullptr || static_cast<size_t>(in[1]) + 2 != info->requestLen) {
      notePacket(in);
      logLine(who + (info ? " garbage (bad length)" : " garbage (unknown type)") + " | " +
              hexText(in) + " -> dropped");
      return false;
    }
    if (in.size() < info->requestLen) return true;

    Bytes packet(in.begin(), in.begin() + static_cast<long>(info->requestLen));
    in.erase(in.begin(), in.begin() + static_cast<long>(info->requestLen));
    handlePacket(conn, packet);
    if (conn.hasPending && conn.pending.due <= Clock::now() && !finish(fd, conn)) return false;
  }
  return true;
}

void Server::handlePacket(Conn& conn, const Bytes& packet) {
  notePacket(packet);
  const Behaviour behaviour = behaviourFor(packet[2]);
  uint8_t desEncode[8] = {};
  uint8_t desDecode[8] = {};
  fillRandom(desEncode);
  fillRandom(desDecode);
  if (behaviour.desEncode)
    std::copy(behaviour.desEncode->begin(), behaviour.desEncode->end(), desEncode);
  if (behaviour.desDecode)
    std::copy(behaviour.desDecode->begin(), behaviour.desDecode->end(), desDecode);

  state_.countPacket();
  if (behaviour.ret == 0) state_.apply(packet, desEncode, desDecode);

  std::string outcome;
  if (behaviour.silent) {
    outcome = "silent";
  } else {
    if (behaviour.close) {
      outcome = "close";
    } else if (behaviour.shortReply) {
      outcome = "short reply";
    } else {
      outcome = "ret=" + std::to_string(behaviour.ret);
    }
    if (behaviour.delayMs > 0) outcome += " after " + std::to_string(behaviour.delayMs) + "ms";
    conn.hasPending = true;
    conn.pending.reply = behaviour.raw ? *behaviour.raw
                                       : buildReply(packet, behaviour.ret, desEncode, desDecode,
                                                    behaviour.desEncode.has_value());
    conn.pending.behaviour = behaviour;
    conn.pending.due = Clock::now() + std::chrono::milliseconds(behaviour.delayMs);
  }
  logLine("#" + std::to_string(conn.id) + " " + describe(packet) + " | " + hexText(packet) +
          " -> " + outcome);
  writeState();
}

bool Server::finish(int fd, Conn& conn) {
  conn.hasPending = false;
  const Behaviour& b = conn.pending.behaviour;
  const Bytes& reply = conn.pending.reply;
  if (b.close) return false;
  if (b.shortReply) {
    size_t len = b.shortLen != 0 ? std::min(b.shortLen, reply.size()) : reply.size() - 1;
    sendAll(fd, reply.data(), len);
    return false;
  }
  return sendAll(fd, reply.data(), reply.size());
}

void Server::drop(int fd) {
  close(fd);
  conns_.erase(fd);
}

void Server::logLine(const std::string& line) {
  if (log_ == nullptr) return;
  fprintf(log_, "%s %s\n", timestamp().c_str(), line.c_str());
  fflush(log_);
}

void Server::writeState() {
  if (options_.statePath.empty()) return;
  const std::string temp = options_.statePath + ".tmp";
  FILE* f = fopen(temp.c_str(), "w");
  if (f == nullptr) return;
  const std::string text = state_.toJson().toStyledString();
  bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = fclose(f) == 0 && ok;
  // The rename makes each state file complete for anyone reading it.
  if (ok) rename(temp.c_str(), options_.statePath.c_str());
}

void Server::printState() {
  fprintf(stdout, "%s", state_.toJson().toStyledString().c_str());
  fflush(stdout);
}

}  // namespace switchsim
