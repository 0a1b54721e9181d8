// Test support: a real syslog collector, Debian's rsyslogd, run as the
// current user in the foreground on free loopback ports: UDP, TCP and TLS
// (with a CA and a server certificate for "localhost" and 127.0.0.1 made
// with the openssl command). Each input writes the raw messages it receives,
// one a line, to its own file. Stopped (and its folder removed) with the object.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace korvantest {

class SyslogCollector {
 public:
  SyslogCollector();
  ~SyslogCollector();
  SyslogCollector(const SyslogCollector&) = delete;
  SyslogCollector& operator=(const SyslogCollector&) = delete;

  enum Input { udp, tcp, tls };
  int port(Input input) const { return ports_[input]; }
  // The CA certificate (PEM) the collector's certificate is signed by, and
  // one that signed nothing of it.
  std::string caPem() const;
  std::string otherCaPem() const;

  // Starts it (again, on the same ports) and waits until it accepts.
  void start();
  void stop();

  // The messages received on `input` so far.
  std::vector<std::string> lines(Input input) const;
  // Waits up to five seconds for at least `count` lines containing
  // `needle`, then a moment for any that should not come; returns them.
  std::vector<std::string> waitFor(Input input, const std::string& needle, size_t count) const;

 private:
  std::string dir_;
  int ports_[3] = {0, 0, 0};
  pid_t pid_ = -1;
};

// The value of SD-PARAM `name` in a message ("" when absent), unescaped.
std::string sdValue(const std::string& message, const std::string& name);

}  // namespace korvantest
