#include "daemon/arm.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

#include "daemon/packets.h"
#include "daemon/socket_io.h"
#include "util/myerr.h"
#include "util/paths.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace pak = korvan::pak;

const char* const szArmIP = "127.0.0.1";

int CArm::socketCnn = -1;

namespace {

// A zero-filled packet with its common header set.
template <typename Packet>
Packet newPacket(pak::Type type) {
  Packet packet;
  pak::begin(&packet, sizeof packet, type);
  return packet;
}

std::optional<SwitchExchange> lastExchange;

void noteExchange(bool answered, std::string outcome) {
  SwitchExchange exchange;
  exchange.time = static_cast<long long>(time(nullptr));
  exchange.answered = answered;
  exchange.outcome = std::move(outcome);
  lastExchange = std::move(exchange);
}

// Writes `packet` and reads its reply, noting how the exchange went: a reply
// that came is an answer whatever its result; a failed write or read is not.
template <typename Reply, typename Packet>
Reply exchange(const Packet& packet) {
  Reply reply;
  try {
    socketWriteAll(CArm::socketCnn, &packet, sizeof packet);
    socketReadTimeout(CArm::socketCnn, &reply, sizeof reply);
  } catch (const CMyErr& e) {
    noteExchange(false, e.what());
    throw;
  }
  noteExchange(true, reply.ret == 0 ? "ok" : "refused: result " + std::to_string(reply.ret));
  return reply;
}

void judgeRet(uint8_t ret) {
  if (ret != 0) throw CMyErr(CMyErr::armErr, "arm ack error,ret=1");
}

}  // namespace

void CArm::cnn() {
  socketCnn = socket(AF_INET, SOCK_STREAM, 0);  // a failure shows as a bad descriptor below

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(korvan::armPort()));
  address.sin_addr.s_addr = inet_addr(szArmIP);
  try {
    socketConnectTimeout(socketCnn, &address, sizeof address);
  } catch (...) {
    socketCnn = -1;  // the socket is closed: no later operation may use its number
    throw;
  }
}

const std::optional<SwitchExchange>& CArm::lastExchange() { return ::lastExchange; }

std::string CArm::probe(int limitMs) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::string("arm connect error:") + std::strerror(errno);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(korvan::armPort()));
  address.sin_addr.s_addr = inet_addr(szArmIP);
  try {
    socketConnectWithin(fd, &address, sizeof address, limitMs);
  } catch (const CMyErr& e) {
    return e.what();  // the socket is closed
  }
  close(fd);
  return std::string();
}

void CArm::disconnect() {
  if (socketCnn >= 0) close(socketCnn);
  socketCnn = -1;
  ::lastExchange.reset();
}

void CArm::setTime(uint32_t seconds) {
  auto packet = newPacket<pak::TimeRequest>(pak::kTypeTime);
  pak::putBE32(packet.time2, seconds);
  judgeRet(exchange<pak::SimpleReply>(packet).ret);
}

void CArm::restart() {
  auto packet = newPacket<pak::RestartRequest>(pak::kTypeRestart);
  packet.data = 0;
  judgeRet(exchange<pak::SimpleReply>(packet).ret);
}

void CArm::setServerIP(const ServerNetwork& network) {
  auto packet = newPacket<pak::ServerIPRequest>(pak::kTypeServerIP);
  pak::putAddr(packet.ip, network.ip);
  pak::putAddr(packet.gateway, network.gateway);
  pak::putAddr(packet.subnetMask, network.subnetMask);
  pak::putBE32(packet.portWeb, network.portWeb);
  judgeRet(exchange<pak::SimpleReply>(packet).ret);
}

void CArm::setDogUID(uint8_t port, std::string_view uid) {
  auto packet = newPacket<pak::DogUIDRequest>(pak::kTypeDogUID);
  packet.port = port;
  pak::putText(packet.uid, uid);
  judgeRet(exchange<pak::DogReply>(packet).ret);
}

void CArm::setDogCodeFrame(uint8_t port, uint16_t frame, uint32_t code) {
  auto packet = newPacket<pak::DogCodeFrameRequest>(pak::kTypeDogCodeFrame);
  packet.port = port;
  pak::putBE16(packet.frame, frame);
  pak::putBE32(packet.code, code);
  judgeRet(exchange<pak::DogReply>(packet).ret);
}

void CArm::setDogNM(uint8_t port, std::string_view name) {
  auto packet = newPacket<pak::DogNMRequest>(pak::kTypeDogNM);
  packet.port = port;
  pak::putText(packet.nm, name);
  judgeRet(exchange<pak::DogReply>(packet).ret);
}

SessionGrant CArm::qt(const SessionRequest& request) {
  auto packet = newPacket<pak::QTRequest>(pak::kTypeQT);
  packet.dogID = request.dogID;
  pak::putText(packet.dogUID, request.dogUID);
  pak::putText(packet.userNM, request.userNM);
  pak::putAddr(packet.userIP, request.userIP);
  pak::putBE32(packet.priv, 1);
  pak::putBE32(packet.userID, request.userID);
  const auto reply = exchange<pak::QTReply>(packet);
  setLog(trace::kKvmReplyRead, "after recv::qt socketReadTimeout");
  if (reply.ret != 0) {
    const std::string text = refusalText(reply.ret);
    setLog(trace::kKvmReplyRefused, "CRecvPak::qt");
    setLog(trace::kKvmReplyText, text.c_str());
    throw CMyErr(CMyErr::warning, text);
  }
  SessionGrant grant;
  std::memcpy(grant.desEncode, reply.desEncode, sizeof grant.desEncode);
  std::memcpy(grant.desDecode, reply.desDecode, sizeof grant.desDecode);
  return grant;
}

std::string CArm::refusalText(unsigned ret) {
  // Codes 1 to 6 carry a full-width colon (U+FF1A) straight after the digit.
  static const char* const kTexts[] = {
      "0: null",
      "1\xEF\xBC\x9Aport has not console",
      "2\xEF\xBC\x9Aport's console's UID error",
      "3\xEF\xBC\x9Avideo channel error",
      "4\xEF\xBC\x9Athis ip has session already",
      "5\xEF\xBC\x9Athis user has session already",
      "6\xEF\xBC\x9Aprivilege error",
      "7: channel is full",
  };
  if (ret < sizeof kTexts / sizeof kTexts[0]) return kTexts[ret];
  return std::to_string(ret) + ": unknown refusal";
}
