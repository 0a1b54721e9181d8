// FakeDaemon: the switch simulator (tools/switch-sim) serving from a thread
// of the test on a free loopback port, recording every packet it receives.
//
// Each packet type is answered as scripted: a reply code, a delay, silence,
// closing the connection, a reply cut short, or raw bytes. Unscripted types
// get a success reply (and, for a KVM session, the session values
// kDesEncode/kDesDecode).
//
// Point the code under test at it with KORVAN_ARM_PORT=<port()>: setenv in
// unit tests, the child's environment in black-box tests. The test may block
// while the program under test talks to it. Destruction stops the server and
// closes every connection.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace switchsim {
class Server;
}

namespace korvantest {

using Bytes = std::vector<uint8_t>;

// How the fake daemon answers one packet type.
struct FakeReply {
  enum class Mode {
    kAnswer,  // send the reply
    kSilent,  // send nothing, keep the connection open
    kClose,   // close the connection without a reply
    kShort,   // send the first shortLen bytes of the reply, then close
  };
  Mode mode = Mode::kAnswer;
  uint8_t ret = 0;           // the reply's result byte
  int delayMs = 0;           // pause before answering, staying silent or closing
  size_t shortLen = 0;       // kShort: bytes sent; 0 means all but the last
  std::array<uint8_t, 8> desEncode{};  // KVM session reply values
  std::array<uint8_t, 8> desDecode{};
  std::optional<Bytes> raw;  // kAnswer: these bytes instead of the built reply
};

inline constexpr std::array<uint8_t, 8> kDesEncode = {0x0A, 0xFF, 0x00, 0x10,
                                                      0x01, 0x02, 0x03, 0x04};
inline constexpr std::array<uint8_t, 8> kDesDecode = {0xDE, 0xAD, 0xBE, 0xEF,
                                                      0x00, 0x11, 0x22, 0x33};

class FakeDaemon {
 public:
  FakeDaemon();  // binds 127.0.0.1 port 0 and starts serving; throws on failure
  ~FakeDaemon();
  FakeDaemon(const FakeDaemon&) = delete;
  FakeDaemon& operator=(const FakeDaemon&) = delete;

  int port() const { return port_; }

  // Answers every later packet of `type` as `reply` says.
  void script(uint8_t type, const FakeReply& reply);
  // Shorthand for a success reply to `type` carrying result byte `ret`.
  void scriptRet(uint8_t type, uint8_t ret);

  // Every packet received so far, in arrival order. A connection that sent
  // garbage, or closed in the middle of a packet, is recorded with the bytes
  // it had sent.
  std::vector<Bytes> packets() const;
  // The packets of one type.
  std::vector<Bytes> packetsOfType(uint8_t type) const;
  // The number of connections accepted so far.
  int connections() const;
  // Waits until at least `count` packets are recorded or `limit` has passed;
  // true when they are there.
  bool waitForPackets(size_t count, std::chrono::milliseconds limit) const;

 private:
  std::unique_ptr<switchsim::Server> server_;
  int port_ = 0;
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::vector<Bytes> packets_;
  int connections_ = 0;
  std::thread thread_;
};

}  // namespace korvantest
