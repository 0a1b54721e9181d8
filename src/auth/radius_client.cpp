#include "auth/radius_client.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

#include "util/myerr.h"
#include "util/openssl_lib.h"
#include "util/secure_bytes.h"

namespace directory {

namespace radius {

namespace {

Bytes md5(const Bytes& data) {
  Bytes out(16);
  unsigned int len = 0;
  const korvan::LibCrypto& c = korvan::libcrypto();
  c.EVP_Digest(data.data(), data.size(), out.data(), &len, c.EVP_md5(), nullptr);
  return out;
}

Bytes hmacMd5(const std::string& key, const Bytes& data) {
  Bytes out(16);
  unsigned int len = 0;
  const korvan::LibCrypto& c = korvan::libcrypto();
  c.HMAC(c.EVP_md5(), key.data(), static_cast<int>(key.size()), data.data(), data.size(), out.data(),
       &len);
  return out;
}

std::string_view bytesOf(const Bytes& b) {
  return std::string_view(reinterpret_cast<const char*>(b.data()), b.size());
}

// The 16 bytes of `packet` from `at` (an authenticator or a MAC).
std::string_view bytesAt(const Bytes& packet, size_t at) {
  return std::string_view(reinterpret_cast<const char*>(packet.data()) + at, 16);
}

void addAttribute(Bytes& packet, uint8_t type, const Bytes& value) {
  packet.push_back(type);
  packet.push_back(static_cast<uint8_t>(value.size() + 2));
  packet.insert(packet.end(), value.begin(), value.end());
}

void setLength(Bytes& packet) {
  packet[2] = static_cast<uint8_t>(packet.size() >> 8);
  packet[3] = static_cast<uint8_t>(packet.size() & 0xff);
}

}  // namespace

Bytes accessRequest(uint8_t id, const Bytes& authenticator, const std::string& name,
                    const std::string& password, const std::string& secret) {
  if (authenticator.size() != 16 || name.empty() || name.size() > 253 || password.empty() ||
      password.size() > 128) {
    return {};
  }
  Bytes packet{kAccessRequest, id, 0, 0};
  packet.insert(packet.end(), authenticator.begin(), authenticator.end());
  // Message-Authenticator first, zero while the HMAC is taken.
  addAttribute(packet, kMessageAuthenticator, Bytes(16, 0));
  const size_t macAt = packet.size() - 16;
  addAttribute(packet, kUserName, Bytes(name.begin(), name.end()));
  // The password padded to a multiple of 16 and hidden block by block:
  // c(i) = p(i) xor MD5(secret + c(i-1)), c(0) = the request authenticator.
  Bytes padded(password.begin(), password.end());
  padded.resize((padded.size() + 15) / 16 * 16, 0);
  Bytes hidden;
  Bytes previous = authenticator;
  for (size_t block = 0; block < padded.size(); block += 16) {
    Bytes input(secret.begin(), secret.end());
    input.insert(input.end(), previous.begin(), previous.end());
    const Bytes mask = md5(input);
    for (size_t i = 0; i < 16; ++i) hidden.push_back(padded[block + i] ^ mask[i]);
    previous.assign(hidden.end() - 16, hidden.end());
  }
  addAttribute(packet, kUserPassword, hidden);
  static const std::string kNas = "korvan";
  addAttribute(packet, kNasIdentifier, Bytes(kNas.begin(), kNas.end()));
  setLength(packet);
  const Bytes mac = hmacMd5(secret, packet);
  std::copy(mac.begin(), mac.end(), packet.begin() + static_cast<long>(macAt));
  return packet;
}

std::optional<Reply> checkReply(const Bytes& packet, uint8_t id, const Bytes& authenticator,
                                const std::string& secret) {
  if (packet.size() < 20) return std::nullopt;
  const size_t length = static_cast<size_t>(packet[2]) << 8 | packet[3];
  if (length < 20 || length > packet.size() || packet[1] != id) return std::nullopt;
  Bytes reply(packet.begin(), packet.begin() + static_cast<long>(length));
  // Response Authenticator: MD5(code, id, length, request authenticator,
  // attributes, secret).
  Bytes input(reply.begin(), reply.begin() + 4);
  input.insert(input.end(), authenticator.begin(), authenticator.end());
  input.insert(input.end(), reply.begin() + 20, reply.end());
  input.insert(input.end(), secret.begin(), secret.end());
  const Bytes expected = md5(input);
  if (!korvan::sameBytes(bytesOf(expected), bytesAt(reply, 4))) return std::nullopt;

  Reply out;
  out.code = reply[0];
  std::optional<size_t> macAt;
  for (size_t at = 20; at < reply.size();) {
    if (at + 2 > reply.size()) return std::nullopt;
    const size_t len = reply[at + 1];
    if (len < 2 || at + len > reply.size()) return std::nullopt;
    const uint8_t type = reply[at];
    if (type == kMessageAuthenticator) {
      if (len != 18 || macAt) return std::nullopt;
      macAt = at + 2;
    } else {
      out.attributes.emplace_back(type, std::string(reply.begin() + static_cast<long>(at + 2),
                                                    reply.begin() + static_cast<long>(at + len)));
    }
    at += len;
  }
  if (!macAt) return std::nullopt;
  // Its HMAC is taken over the reply with the request's authenticator in
  // place of the response authenticator and the attribute's value zeroed.
  Bytes signedCopy = reply;
  std::copy(authenticator.begin(), authenticator.end(), signedCopy.begin() + 4);
  std::fill(signedCopy.begin() + static_cast<long>(*macAt),
            signedCopy.begin() + static_cast<long>(*macAt + 16), 0);
  const Bytes mac = hmacMd5(secret, signedCopy);
  if (!korvan::sameBytes(bytesOf(mac), bytesAt(reply, *macAt))) return std::nullopt;
  return out;
}

}  // namespace radius

namespace {

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

struct AddrInfo {
  struct addrinfo* list = nullptr;
  ~AddrInfo() {
    if (list) freeaddrinfo(list);
  }
};

// host or host:port ([v6]:port), port 1812 when not given.
void splitServer(const std::string& server, std::string& host, std::string& port) {
  host = server;
  port = "1812";
  if (!server.empty() && server[0] == '[') {
    const size_t close = server.find(']');
    host = server.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    if (close != std::string::npos && close + 1 < server.size() && server[close + 1] == ':') {
      port = server.substr(close + 2);
    }
    return;
  }
  const size_t colon = server.find(':');
  if (colon != std::string::npos && server.find(':', colon + 1) == std::string::npos) {
    host = server.substr(0, colon);
    port = server.substr(colon + 1);
  }
}

void askServer(const Config& config, const std::string& server, const std::string& name,
               const std::string& password, Clock::time_point deadline, Answer& answer) {
  answer.server = server;
  answer.outcome = Outcome::unreachable;
  std::string host, port;
  splitServer(server, host, port);
  struct addrinfo hints {};
  hints.ai_socktype = SOCK_DGRAM;
  AddrInfo addr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &addr.list) != 0 || !addr.list) {
    answer.reason = "unreachable: cannot resolve " + host;
    answer.steps.push_back({"connect", false, server + ": " + answer.reason});
    return;
  }
  Socket sock(socket(addr.list->ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (sock.fd() < 0 || connect(sock.fd(), addr.list->ai_addr, addr.list->ai_addrlen) != 0) {
    answer.reason = "unreachable: no route";
    answer.steps.push_back({"connect", false, server + ": " + answer.reason});
    return;
  }
  radius::Bytes authenticator(16);
  uint8_t id = 0;
  try {
    korvan::randomBytes(authenticator.data(), authenticator.size());
    korvan::randomBytes(&id, 1);
  } catch (const CMyErr&) {
    answer.outcome = Outcome::failed;
    answer.reason = "no random source";
    return;
  }
  const radius::Bytes request =
      radius::accessRequest(id, authenticator, name, password, config.radiusSecret);
  if (request.empty()) {
    answer.outcome = Outcome::failed;
    answer.reason = "the name or password is too long for RADIUS";
    return;
  }
  const Clock::time_point serverEnd =
      std::min(deadline, Clock::now() + std::chrono::seconds(config.timeout));
  const int tries = 1 + config.radiusRetries;
  const auto slice = (serverEnd - Clock::now()) / tries;
  for (int attempt = 0; attempt < tries && Clock::now() < serverEnd; ++attempt) {
    if (send(sock.fd(), request.data(), request.size(), 0) < 0) break;
    const Clock::time_point tryEnd = std::min(serverEnd, Clock::now() + slice);
    while (Clock::now() < tryEnd) {
      struct pollfd p {sock.fd(), POLLIN, 0};
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(tryEnd - Clock::now()).count();
      if (poll(&p, 1, static_cast<int>(ms > 0 ? ms : 1)) != 1) continue;
      radius::Bytes buffer(4096);
      const ssize_t n = recv(sock.fd(), buffer.data(), buffer.size(), 0);
      if (n < 0) break;  // refused: nothing listens there
      buffer.resize(static_cast<size_t>(n));
      const std::optional<radius::Reply> reply =
          radius::checkReply(buffer, id, authenticator, config.radiusSecret);
      if (!reply) {
        // Forged, stray or unsigned: dropped, the wait goes on.
        answer.steps.push_back({"reply", false, server + ": a reply without a valid signature was dropped"});
        continue;
      }
      answer.steps.push_back({"connect", true, server});
      if (reply->code == radius::kAccessAccept) {
        answer.outcome = Outcome::accepted;
        const uint8_t wanted = config.groupAttr == "Class" ? radius::kClass : radius::kFilterId;
        for (const auto& [type, value] : reply->attributes) {
          if (type == wanted) answer.groups.push_back(value);
        }
        std::string listed;
        for (const std::string& g : answer.groups) listed += (listed.empty() ? "" : "; ") + g;
        answer.steps.push_back({"password", true, "accepted"});
        answer.steps.push_back({"groups", true, listed.empty() ? "none" : listed});
        // RADIUS has no stable id but the name it accepted.
        answer.stableId = name;
      } else {
        answer.outcome = Outcome::rejected;
        answer.reason = "wrong password";
        answer.steps.push_back({"password", false, "rejected"});
      }
      return;
    }
  }
  answer.reason = "unreachable: no valid reply";
  answer.steps.push_back({"connect", false, server + ": no valid reply"});
}

}  // namespace

Answer askRadius(const Config& config, const std::string& name, const std::string& password,
                 Clock::time_point deadline) {
  Answer answer;
  for (const std::string& server : servers(config)) {
    if (Clock::now() >= deadline) break;
    Answer one;
    one.steps = std::move(answer.steps);
    askServer(config, server, name, password, deadline, one);
    answer = std::move(one);
    if (answer.outcome != Outcome::unreachable) break;
  }
  return answer;
}

}  // namespace directory
