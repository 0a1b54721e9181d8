#include "syslog_collector.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "core.h"

namespace korvantest {

namespace {

// A loopback port that is free now (the kernel's pick for port 0).
int freePort(int type) {
  const int fd = socket(AF_INET, type, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    close(fd);
    throw std::runtime_error("no free port");
  }
  close(fd);
  return ntohs(a.sin_port);
}

bool accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return ok;
}

void run(const std::string& command) {
  if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
    throw std::runtime_error("failed: " + command);
  }
}

const char* const kInputNames[] = {"udp", "tcp", "tls"};

}  // namespace

SyslogCollector::SyslogCollector() {
  char pattern[] = "/tmp/korvan-syslog-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
  dir_ = pattern;
  const std::string d = dir_ + "/";
  run("mkdir " + d + "work");
  for (const char* ca : {"ca", "other"}) {
    run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=" + std::string(ca) +
        " -keyout " + d + ca + ".key -out " + d + ca + ".pem");
  }
  writeFile(d + "ext.cnf", "subjectAltName=DNS:localhost,IP:127.0.0.1\n");
  run("openssl req -newkey rsa:2048 -nodes -subj /CN=localhost -keyout " + d +
      "server.key -out " + d + "server.csr");
  run("openssl x509 -req -days 2 -in " + d + "server.csr -CA " + d + "ca.pem -CAkey " + d +
      "ca.key -CAcreateserial -extfile " + d + "ext.cnf -out " + d + "server.pem");
  ports_[udp] = freePort(SOCK_DGRAM);
  ports_[tcp] = freePort(SOCK_STREAM);
  ports_[tls] = freePort(SOCK_STREAM);
  std::ostringstream conf;
  conf << "global(workDirectory=\"" << d << "work\" maxMessageSize=\"64k\"\n"
       << "  DefaultNetstreamDriverCAFile=\"" << d << "ca.pem\"\n"
       << "  DefaultNetstreamDriverCertFile=\"" << d << "server.pem\"\n"
       << "  DefaultNetstreamDriverKeyFile=\"" << d << "server.key\")\n"
       << "module(load=\"imudp\")\nmodule(load=\"imtcp\")\n"
       << "template(name=\"raw\" type=\"string\" string=\"%rawmsg%\\n\")\n";
  for (const char* name : kInputNames) {
    conf << "ruleset(name=\"" << name << "\") { action(type=\"omfile\" file=\"" << d << name
         << ".log\" template=\"raw\") }\n";
  }
  conf << "input(type=\"imudp\" address=\"127.0.0.1\" port=\"" << ports_[udp]
       << "\" ruleset=\"udp\")\n"
       << "input(type=\"imtcp\" address=\"127.0.0.1\" port=\"" << ports_[tcp]
       << "\" ruleset=\"tcp\")\n"
       << "input(type=\"imtcp\" address=\"127.0.0.1\" port=\"" << ports_[tls]
       << "\" ruleset=\"tls\" StreamDriver.Name=\"ossl\" StreamDriver.Mode=\"1\""
       << " StreamDriver.AuthMode=\"anon\")\n";
  writeFile(d + "rsyslog.conf", conf.str());
  start();
}

SyslogCollector::~SyslogCollector() {
  stop();
  std::system(("rm -rf " + dir_).c_str());
}

std::string SyslogCollector::caPem() const { return readFile(dir_ + "/ca.pem"); }
std::string SyslogCollector::otherCaPem() const { return readFile(dir_ + "/other.pem"); }

void SyslogCollector::start() {
  if (pid_ > 0) return;
  const std::string conf = dir_ + "/rsyslog.conf", pidFile = dir_ + "/rsyslog.pid";
  pid_ = fork();
  if (pid_ == 0) {
    // Its complaints (a client that gave up its handshake) go to a file.
    freopen((dir_ + "/rsyslog.out").c_str(), "a", stderr);
    dup2(fileno(stderr), STDOUT_FILENO);
    execl("/usr/sbin/rsyslogd", "rsyslogd", "-n", "-f", conf.c_str(), "-i", pidFile.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 100; ++i) {
    if (accepts(ports_[tcp]) && accepts(ports_[tls])) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  throw std::runtime_error("rsyslogd did not start");
}

void SyslogCollector::stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

std::vector<std::string> SyslogCollector::lines(Input input) const {
  std::vector<std::string> out;
  std::istringstream in(readFile(dir_ + "/" + kInputNames[input] + ".log"));
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::vector<std::string> SyslogCollector::waitFor(Input input, const std::string& needle,
                                                  size_t count) const {
  auto matching = [&] {
    std::vector<std::string> found;
    for (const std::string& line : lines(input)) {
      if (line.find(needle) != std::string::npos) found.push_back(line);
    }
    return found;
  };
  for (int i = 0; i < 100 && matching().size() < count; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return matching();
}

std::string sdValue(const std::string& message, const std::string& name) {
  const std::string key = " " + name + "=\"";
  const size_t at = message.find(key);
  if (at == std::string::npos) return "";
  std::string value;
  for (size_t i = at + key.size(); i < message.size() && message[i] != '"'; ++i) {
    if (message[i] == '\\' && i + 1 < message.size()) ++i;
    value += message[i];
  }
  return value;
}

}  // namespace korvantest
