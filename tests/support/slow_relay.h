// Test support: a syslog collector that reads slowly, in front of a real one.
// It listens on a free loopback port and takes one connection at a time. What
// a sender writes it reads at most `bytesPerMs` and passes on to the TCP
// input of the collector behind it (rsyslogd), and it closes the sender's
// connection only after that collector closed its own: a sender sees its
// messages taken only once they were read through. While the collector
// behind is down, a connection is reset at once.
#pragma once

#include <atomic>
#include <thread>

namespace korvantest {

class SlowRelay {
 public:
  SlowRelay(int collectorPort, int bytesPerMs);  // throws when it cannot listen
  ~SlowRelay();
  SlowRelay(const SlowRelay&) = delete;
  SlowRelay& operator=(const SlowRelay&) = delete;

  int port() const { return port_; }

 private:
  void serve();
  void relay(int sender);

  int collectorPort_;
  int bytesPerMs_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace korvantest
