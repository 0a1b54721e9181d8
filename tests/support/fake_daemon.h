// FakeDaemon: the switch simulator's server on a test thread and a free
// loopback port (KORVAN_ARM_PORT), recording every packet. Unscripted types
// succeed; KVM sessions carry the fixed keys kDesEncode/kDesDecode.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "switch-sim/options.h"

namespace switchsim {
class Server;
}

namespace korvantest {

using Bytes = std::vector<uint8_t>;
using FakeReply = switchsim::Behaviour;

inline constexpr std::array<uint8_t, 8> kDesEncode = {0x0A, 0xFF, 0x00, 0x10,
                                                      0x01, 0x02, 0x03, 0x04};
inline constexpr std::array<uint8_t, 8> kDesDecode = {0xDE, 0xAD, 0xBE, 0xEF,
                                                      0x00, 0x11, 0x22, 0x33};

// A success reply after `ms` milliseconds, with the fixed session keys: the
// daemon holds a packet while a test acts on the program.
inline FakeReply lateReply(int ms) {
  FakeReply reply;
  reply.delayMs = ms;
  reply.desEncode = kDesEncode;
  reply.desDecode = kDesDecode;
  return reply;
}

class FakeDaemon {
 public:
  FakeDaemon();  // throws when it cannot listen
  ~FakeDaemon();
  FakeDaemon(const FakeDaemon&) = delete;
  FakeDaemon& operator=(const FakeDaemon&) = delete;

  int port() const { return port_; }
  // Answers every later packet of `type` as `reply` says.
  void script(uint8_t type, FakeReply reply);
  void scriptRet(uint8_t type, uint8_t ret);
  // Every packet (or the bytes of a dropped connection) received so far.
  std::vector<Bytes> packets() const;
  int connections() const;

 private:
  std::unique_ptr<switchsim::Server> server_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<Bytes> packets_;
  int connections_ = 0;
  std::thread thread_;
};

}  // namespace korvantest
