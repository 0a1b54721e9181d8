#include "fake_daemon.h"

#include <stdexcept>

#include "daemon/packets.h"
#include "switch-sim/server.h"

namespace korvantest {

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
    std::lock_guard<std::mutex> lock(mutex_);
    packets_.push_back(packet);
  };
  for (const auto& info : korvan::pak::kTypes) script(info.type, {});
  if (!server_->start()) throw std::runtime_error("fake daemon: cannot listen");
  port_ = server_->port();
  thread_ = std::thread([this] { server_->run(); });
}

FakeDaemon::~FakeDaemon() {
  server_->stop();
  thread_.join();
}

void FakeDaemon::script(uint8_t type, FakeReply reply) {
  if (!reply.desEncode) reply.desEncode = kDesEncode;
  if (!reply.desDecode) reply.desDecode = kDesDecode;
  server_->setBehaviour(type, reply);
}

void FakeDaemon::scriptRet(uint8_t type, uint8_t ret) {
  script(type, FakeReply{ret, 0, false, false, false, 0, {}, {}, {}});
}

std::vector<Bytes> FakeDaemon::packets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return packets_;
}

int FakeDaemon::connections() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connections_;
}

}  // namespace korvantest
