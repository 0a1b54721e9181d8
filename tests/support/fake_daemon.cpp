#include "fake_daemon.h"

#include <stdexcept>

#include "daemon/packets.h"
#include "switch-sim/server.h"

namespace korvantest {

namespace {

switchsim::Behaviour behaviourOf(const FakeReply& reply) {
  switchsim::Behaviour b;
  b.ret = reply.ret;
  b.delayMs = reply.delayMs;
  b.silent = reply.mode == FakeReply::Mode::kSilent;
  b.close = reply.mode == FakeReply::Mode::kClose;
  b.shortReply = reply.mode == FakeReply::Mode::kShort;
  b.shortLen = reply.shortLen;
  b.raw = reply.raw;
  b.desEncode = reply.desEncode;
  b.desDecode = reply.desDecode;
  return b;
}

}  // namespace

FakeDaemon::FakeDaemon() {
  switchsim::Options options;
  options.port = 0;
  options.quiet = true;
  server_ = std::make_unique<switchsim::Server>(options);
  server_->onAccept = [this] {
    std::lock_guard<std::mutex> lock(mutex_);
    ++connections_;
  };
  server_->onPacket = [this](const Bytes& packet) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      packets_.push_back(packet);
    }
    arrived_.notify_all();
  };
  // Unscripted types: success, with the predictable session values.
  FakeReply plain;
  plain.desEncode = kDesEncode;
  plain.desDecode = kDesDecode;
  for (const auto& info : korvan::pak::kTypes) server_->setBehaviour(info.type, behaviourOf(plain));
  if (!server_->start()) throw std::runtime_error("fake daemon: cannot listen");
  port_ = server_->port();
  thread_ = std::thread([this] { server_->run(); });
}

FakeDaemon::~FakeDaemon() {
  server_->stop();
  thread_.join();
}

void FakeDaemon::script(uint8_t type, const FakeReply& reply) {
  server_->setBehaviour(type, behaviourOf(reply));
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
    if (packet.size() >= 3 && packet[0] == korvan::pak::kHeader && packet[2] == type) {
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

}  // namespace korvantest
