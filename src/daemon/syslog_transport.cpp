#include "daemon/syslog_transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "util/myerr.h"
#include "util/openssl_lib.h"

namespace logfwd {

namespace {

constexpr size_t kBatchBytes = 16 * 1024;

int msLeft(Clock::time_point end) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until `fd` is ready for `events` or `end` passes; a signal only
// shortens the wait. False when the time ran out.
bool waitFor(int fd, short events, Clock::time_point end) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int left = msLeft(end);
    const int n = poll(&p, 1, left);
    if (n > 0) return true;
    if (n == 0 || left == 0) return false;
    if (errno != EINTR) return false;
  }
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

struct AddrInfoFree {
  void operator()(addrinfo* info) const { freeaddrinfo(info); }
};
using AddrList = std::unique_ptr<addrinfo, AddrInfoFree>;

// The addresses of `target`: a numeric host at once, a name through an
// asynchronous lookup given up at `end`. A lookup still running then is left
// to finish on its own (its request is never freed), so no wait exceeds `end`.
bool isLoopback(const addrinfo* a) {
  if (a->ai_family == AF_INET) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
    return (ntohl(in->sin_addr.s_addr) >> 24) == 127;
  }
  if (a->ai_family == AF_INET6) {
    return IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<const sockaddr_in6*>(a->ai_addr)->sin6_addr);
  }
  return false;
}

// The test seam KORVAN_SYSLOG_LOOPBACK_ONLY: tests that make up collector
// hosts (the fuzzers) must not send a name to a resolver or a packet off
// this machine. Only "localhost" (the hosts file) and loopback addresses pass.
bool loopbackOnly() {
  const char* seam = getenv("KORVAN_SYSLOG_LOOPBACK_ONLY");
  return seam != nullptr && *seam != '\0';
}

AddrList lookup(const Target& target, Clock::time_point end, std::string& error);

AddrList resolve(const Target& target, Clock::time_point end, std::string& error) {
  if (!loopbackOnly()) return lookup(target, end, error);
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  hints.ai_socktype = target.protocol == Protocol::udp ? SOCK_DGRAM : SOCK_STREAM;
  const std::string port = std::to_string(target.port);
  addrinfo* found = nullptr;
  const char* host = target.host == "localhost" ? "127.0.0.1" : target.host.c_str();
  if (getaddrinfo(host, port.c_str(), &hints, &found) != 0) found = nullptr;
  AddrList addresses(found);
  if (!addresses || !isLoopback(addresses.get())) {
    error = "not a loopback address";
    return nullptr;
  }
  return addresses;
}

AddrList lookup(const Target& target, Clock::time_point end, std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = target.protocol == Protocol::udp ? SOCK_DGRAM : SOCK_STREAM;
  const std::string port = std::to_string(target.port);
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(target.host.c_str(), port.c_str(), &hints, &found) == 0) return AddrList(found);
  hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
  struct Lookup {
    std::string host, port;
    addrinfo hints;
    gaicb request;
  };
  auto* lookup = new Lookup{target.host, port, hints, {}};
  lookup->request.ar_name = lookup->host.c_str();
  lookup->request.ar_service = lookup->port.c_str();
  lookup->request.ar_request = &lookup->hints;
  gaicb* list[1] = {&lookup->request};
  if (getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) {
    delete lookup;
    error = "name lookup failed";
    return nullptr;
  }
  for (;;) {
    const int left = msLeft(end);
    timespec wait{left / 1000, (left % 1000) * 1000000L};
    gai_suspend(list, 1, &wait);
    const int status = gai_error(&lookup->request);
    if (status == EAI_INPROGRESS && msLeft(end) > 0) continue;
    if (status == EAI_INPROGRESS && gai_cancel(&lookup->request) != EAI_CANCELED) {
      error = "name lookup timeout";
      return nullptr;  // the lookup still owns `lookup`
    }
    AddrList result(status == 0 ? lookup->request.ar_result : nullptr);
    delete lookup;
    if (!result) error = status == EAI_INPROGRESS ? "name lookup timeout" : "name not found";
    return result;
  }
}

// A non-blocking socket connected to the first address that answers.
int connectTo(const addrinfo* addresses, Clock::time_point end, std::string& error) {
  error = "connect failed";
  for (const addrinfo* a = addresses; a != nullptr; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    if (connect(fd, a->ai_addr, a->ai_addrlen) == 0) return fd;
    if (errno == EINPROGRESS) {
      if (!waitFor(fd, POLLOUT, end)) {
        close(fd);
        error = "connect timeout";
        return -1;
      }
      int soError = 0;
      socklen_t len = sizeof soError;
      getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
      if (soError == 0) return fd;
      error = std::string("connect failed: ") + strerror(soError);
    } else {
      error = std::string("connect failed: ") + strerror(errno);
    }
    close(fd);
  }
  return -1;
}

// The byte stream of a TCP or TLS connection.
class Stream {
 public:
  virtual ~Stream() = default;
  // Writes all of `data` before `end`; false with `error` set otherwise.
  virtual bool writeAll(const std::string& data, Clock::time_point end, std::string& error) = 0;
  // Closes the sending side and waits until `end` for the collector to close.
  virtual bool closeAndConfirm(Clock::time_point end, std::string& error) = 0;
};

class PlainStream : public Stream {
 public:
  explicit PlainStream(int fd) : fd_(fd) {}
  bool writeAll(const std::string& data, Clock::time_point end, std::string& error) override {
    size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (!waitFor(fd_, POLLOUT, end)) return (error = "write timeout"), false;
      } else {
        return (error = std::string("write failed: ") + strerror(errno)), false;
      }
    }
    return true;
  }
  bool closeAndConfirm(Clock::time_point end, std::string& error) override {
    shutdown(fd_, SHUT_WR);
    char buffer[512];
    for (;;) {
      const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n == 0) return true;
      if (n > 0) continue;
      if (errno != EAGAIN && errno != EINTR) {
        return (error = std::string("collector reset the connection: ") + strerror(errno)), false;
      }
      if (!waitFor(fd_, POLLIN, end)) return (error = "collector did not read"), false;
    }
  }

 private:
  int fd_;
};

struct CtxFree {
  void operator()(SSL_CTX* ctx) const { korvan::libssl().SSL_CTX_free(ctx); }
};
struct SslFree {
  void operator()(SSL* ssl) const { korvan::libssl().SSL_free(ssl); }
};
struct BioFree {
  void operator()(BIO* bio) const { korvan::libcrypto().BIO_free(bio); }
};

// The certificates of `pem`, added to `store` when given; -1 when a block
// that claims to be a certificate does not parse.
int loadCertificates(const std::string& pem, X509_STORE* store) {
  std::unique_ptr<BIO, BioFree> bio(korvan::libcrypto().BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  if (!bio) return -1;
  int count = 0;
  while (X509* cert = korvan::libcrypto().PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)) {
    if (store != nullptr) korvan::libcrypto().X509_STORE_add_cert(store, cert);
    korvan::libcrypto().X509_free(cert);
    ++count;
  }
  korvan::libcrypto().ERR_clear_error();
  size_t claimed = 0;
  for (size_t at = pem.find("-----BEGIN"); at != std::string::npos;
       at = pem.find("-----BEGIN", at + 1)) {
    ++claimed;
  }
  return claimed == static_cast<size_t>(count) ? count : -1;
}

std::string sslError(const char* what) {
  const unsigned long code = korvan::libcrypto().ERR_get_error();
  korvan::libcrypto().ERR_clear_error();
  if (code == 0) return what;
  char text[256];
  korvan::libcrypto().ERR_error_string_n(code, text, sizeof text);
  return std::string(what) + ": " + text;
}

class TlsStream : public Stream {
 public:
  TlsStream(int fd) : fd_(fd) {}

  bool handshake(const Target& target, Clock::time_point end, std::string& error) {
    // The TLS library is loaded by the first TLS collector's handshake.
    try {
      korvan::libssl();
    } catch (const CMyErr& e) {
      return (error = e.what()), false;
    }
    ctx_.reset(korvan::libssl().SSL_CTX_new(korvan::libssl().TLS_client_method()));
    if (!ctx_) return (error = sslError("TLS setup failed")), false;
    korvan::libssl().SSL_CTX_ctrl(ctx_.get(), SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
    if (loadCertificates(target.caPem, korvan::libssl().SSL_CTX_get_cert_store(ctx_.get())) <= 0) {
      return (error = "no valid CA certificate"), false;
    }
    korvan::libssl().SSL_CTX_set_verify(ctx_.get(), SSL_VERIFY_PEER, nullptr);
    ssl_.reset(korvan::libssl().SSL_new(ctx_.get()));
    if (!ssl_ || korvan::libssl().SSL_set_fd(ssl_.get(), fd_) != 1) return (error = sslError("TLS setup failed")), false;
    in6_addr probe{};
    const bool numeric = inet_pton(AF_INET, target.host.c_str(), &probe) == 1 ||
                         inet_pton(AF_INET6, target.host.c_str(), &probe) == 1;
    const int named =
        numeric ? korvan::libcrypto().X509_VERIFY_PARAM_set1_ip_asc(korvan::libssl().SSL_get0_param(ssl_.get()), target.host.c_str())
                : korvan::libssl().SSL_set1_host(ssl_.get(), target.host.c_str());
    if (named != 1) return (error = "TLS setup failed: host name"), false;
    if (!numeric) {
      korvan::libssl().SSL_ctrl(ssl_.get(), SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                                const_cast<char*>(target.host.c_str()));
    }
    for (;;) {
      const int rc = korvan::libssl().SSL_connect(ssl_.get());
      if (rc == 1) return true;
      if (!waitSsl(rc, end)) {
        const long verify = korvan::libssl().SSL_get_verify_result(ssl_.get());
        if (verify != X509_V_OK) {
          error = std::string("certificate refused: ") + korvan::libcrypto().X509_verify_cert_error_string(verify);
        } else {
          error = timedOut_ ? "TLS handshake timeout" : sslError("TLS handshake failed");
        }
        return false;
      }
    }
  }

  bool writeAll(const std::string& data, Clock::time_point end, std::string& error) override {
    for (;;) {
      const int rc = korvan::libssl().SSL_write(ssl_.get(), data.data(), static_cast<int>(data.size()));
      if (rc > 0) return true;
      if (!waitSsl(rc, end)) {
        return (error = timedOut_ ? "write timeout" : sslError("TLS write failed")), false;
      }
    }
  }

  bool closeAndConfirm(Clock::time_point end, std::string& error) override {
    for (;;) {
      const int rc = korvan::libssl().SSL_shutdown(ssl_.get());
      if (rc >= 0) break;  // our close_notify is out
      if (!waitSsl(rc, end)) return (error = "TLS close failed"), false;
    }
    char buffer[512];
    for (;;) {
      const int rc = korvan::libssl().SSL_read(ssl_.get(), buffer, sizeof buffer);
      if (rc > 0) continue;
      const int why = korvan::libssl().SSL_get_error(ssl_.get(), rc);
      if (why == SSL_ERROR_ZERO_RETURN) return true;
      // The collector closed the connection without a close_notify of its
      // own: it has read ours and everything before it.
      if (why == SSL_ERROR_SYSCALL && rc == 0) return true;
      if (why == SSL_ERROR_SSL && ERR_GET_REASON(korvan::libcrypto().ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
        korvan::libcrypto().ERR_clear_error();
        return true;
      }
      if (!waitSsl(rc, end)) {
        return (error = timedOut_ ? "collector did not read" : sslError("TLS read failed")), false;
      }
    }
  }

 private:
  // After an SSL call returned `rc`: waits for what it needs and returns
  // true to call again; false on a failure or when `end` passed.
  bool waitSsl(int rc, Clock::time_point end) {
    errno = 0;
    const int why = korvan::libssl().SSL_get_error(ssl_.get(), rc);
    short events = 0;
    if (why == SSL_ERROR_WANT_READ) events = POLLIN;
    if (why == SSL_ERROR_WANT_WRITE) events = POLLOUT;
    if (events == 0) return false;
    if (!waitFor(fd_, events, end)) {
      timedOut_ = true;
      return false;
    }
    return true;
  }

  int fd_;
  bool timedOut_ = false;
  std::unique_ptr<SSL_CTX, CtxFree> ctx_;
  std::unique_ptr<SSL, SslFree> ssl_;
};

SendResult sendDatagrams(int fd, const std::vector<std::string>& messages,
                         Clock::time_point writeEnd, const std::function<bool()>& stop) {
  SendResult result;
  for (const std::string& message : messages) {
    if (Clock::now() >= writeEnd || stop()) break;
    if (send(fd, message.data(), message.size(), MSG_NOSIGNAL) < 0) {
      if (errno == EAGAIN && waitFor(fd, POLLOUT, writeEnd)) {
        if (send(fd, message.data(), message.size(), MSG_NOSIGNAL) >= 0) {
          ++result.taken;
          continue;
        }
      }
      result.error = std::string("send failed: ") + strerror(errno);
      return result;
    }
    ++result.taken;
  }
  return result;
}

}  // namespace

bool protocolOf(const std::string& text, Protocol& protocol) {
  if (text == "udp") protocol = Protocol::udp;
  else if (text == "tcp") protocol = Protocol::tcp;
  else if (text == "tls") protocol = Protocol::tls;
  else return false;
  return true;
}

const char* protocolName(Protocol protocol) {
  switch (protocol) {
    case Protocol::tcp: return "tcp";
    case Protocol::tls: return "tls";
    default: return "udp";
  }
}

bool caTextValid(const std::string& pem) { return loadCertificates(pem, nullptr) > 0; }

SendResult sendMessages(const Target& target, const std::vector<std::string>& messages,
                        Clock::time_point writeEnd, Clock::time_point end,
                        const std::function<bool()>& stop) {
  SendResult result;
  AddrList addresses = resolve(target, writeEnd, result.error);
  if (!addresses) return result;
  Fd fd(connectTo(addresses.get(), writeEnd, result.error));
  if (fd.get() < 0) return result;
  result.error.clear();
  if (target.protocol == Protocol::udp) return sendDatagrams(fd.get(), messages, writeEnd, stop);

  const int on = 1;
  setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  std::unique_ptr<Stream> stream;
  if (target.protocol == Protocol::tls) {
    auto tls = std::make_unique<TlsStream>(fd.get());
    if (!tls->handshake(target, writeEnd, result.error)) return result;
    stream = std::move(tls);
  } else {
    stream = std::make_unique<PlainStream>(fd.get());
  }
  // The frames go out in batches of up to kBatchBytes, each one write: small
  // writes one after another would wait for the collector's delayed
  // acknowledgements.
  size_t written = 0;
  while (written < messages.size() && Clock::now() < writeEnd && !stop()) {
    std::string batch;
    size_t next = written;
    for (; next < messages.size() && (batch.empty() || batch.size() < kBatchBytes); ++next) {
      // Octet-counting framing: the length in bytes, a space, the message.
      batch += std::to_string(messages[next].size()) + " " + messages[next];
    }
    if (!stream->writeAll(batch, writeEnd, result.error)) return result;
    written = next;
  }
  if (!stream->closeAndConfirm(end, result.error)) return result;
  result.taken = written;
  return result;
}

}  // namespace logfwd
