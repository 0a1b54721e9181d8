// CArm: the link to the switch daemon. One TCP connection per request process,
// opened by cnn() and closed only by the process exit. Each operation builds
// one request packet (daemon/packets.h) from the values it is given, writes
// it, reads the reply and judges it; failures are thrown as CMyErr. Nothing
// here reads a request document: the request handlers and change actions
// turn request members into these values.
//
// Failures of every exchange, besides those named at an operation:
//   CMyErr(armErr, "arm write error:<text>")  the request could not be written
//   CMyErr(armErr, "arm read ack ...")        no whole reply within ten seconds
//                                             (daemon/socket_io.h)
//   CMyErr(armErr, "arm ack error,ret=1")     the reply's result byte is not 0,
//                                             whatever its value
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "util/switch_exchange.h"

// The daemon's address, "127.0.0.1". Its port is korvan::armPort() (5555).
extern const char* const szArmIP;

// The network packet's values. Addresses are texts as the browser sends
// them; one that inet_addr cannot read goes out as 255.255.255.255.
struct ServerNetwork {
  std::string ip;
  std::string gateway;
  std::string subnetMask;
  uint32_t portWeb = 0;
};

// The KVM session request's values.
struct SessionRequest {
  uint8_t dogID = 0;   // the console module's port
  std::string dogUID;  // its identity, cut to 17 bytes
  std::string userNM;  // the user's name, cut to 33 bytes
  std::string userIP;  // the browser's address, dotted
  uint32_t userID = 0;
};

// The two 8-byte values the daemon issues for a granted session.
struct SessionGrant {
  uint8_t desEncode[8];
  uint8_t desDecode[8];
};

class CArm {
 public:
  // The connection to the daemon; -1 before cnn() and after a failed cnn().
  static int socketCnn;

  // Creates the socket and connects it with a one-second limit. Throws
  // CMyErr(armErr) "arm connect timeout" or "arm connect error:<text>".
  static void cnn();
  // Closes the connection, when there is one, and sets socketCnn to -1. A
  // request process need not call it (its exit closes the connection); a
  // process that serves several requests in turn (the fuzz harness) calls it
  // between them, so that each request opens its own (and forgets the last
  // exchange).
  static void disconnect();

  // Type 3: set the clock to `seconds` since the epoch.
  static void setTime(uint32_t seconds);
  // Type 5: restart the switch.
  static void restart();
  // Type 2: the switch's address, gateway, mask and web port.
  static void setServerIP(const ServerNetwork& network);
  // Type 8: the identity of the module on `port` (cut to 17 bytes).
  static void setDogUID(uint8_t port, std::string_view uid);
  // Type 9: video code and frame rate of the module on `port`.
  static void setDogCodeFrame(uint8_t port, uint16_t frame, uint32_t code);
  // Type 7: the name of module `port` (cut to 33 bytes).
  static void setDogNM(uint8_t port, std::string_view name);
  // Type 1: asks for a KVM session. A refusal throws CMyErr(warning) with
  // refusalText of its code. Writes trace record 1942 when the reply is in,
  // then 1960 and 1949 (the refusal text) on a refusal.
  static SessionGrant qt(const SessionRequest& request);

  // How the last packet exchange of this process went (every operation
  // above records it, its failures included), or nothing when none was
  // made. The connection alone is no exchange.
  static const std::optional<SwitchExchange>& lastExchange();

  // Whether the daemon accepts a connection within `limitMs`: a fresh
  // socket is connected and closed again without a byte sent, since the
  // protocol has no packet that only asks. Returns "" on success, else the
  // failure ("arm connect timeout", "arm connect error:<text>"). Leaves
  // socketCnn alone.
  static std::string probe(int limitMs);

  // The refusal text of a KVM session reply code ("4：this ip has session
  // already", with a full-width colon for 1 to 6); codes above 7 give
  // "<code>: unknown refusal".
  static std::string refusalText(unsigned ret);
};
