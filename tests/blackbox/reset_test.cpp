// Clients that reset their connection mid-request, through lighttpd: the web
// server ends the program with SIGTERM, and no packet may reach the daemon
// without its record. Skipped where lighttpd is not installed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

#include "actions_helpers.h"
#include "fake_daemon.h"

namespace {

using korvantest::lateReply;

namespace fs = std::filesystem;
using korvantest::Bytes;

const char* const kLighttpd = "/usr/sbin/lighttpd";

int freePort() {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  close(s);
  return ntohs(a.sin_port);
}

int connectTo(int port) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(s);
    return -1;
  }
  return s;
}

// lighttpd serving the program from the root's web folder on a free port.
class WebServer {
 public:
  WebServer(const korvantest::TempRoot& root, int armPort) : port_(freePort()) {
    const std::string www = root.path("usr/app/yal/www");
    fs::copy_file(KORVAN_CGI_PATH, www + "/cgi/korvan.cgi");
    const std::string conf = root.path("lighttpd.conf");
    std::string env = "\"KORVAN_ROOT\" => \"" + root.dir() + "\", \"KORVAN_ARM_PORT\" => \"" +
                      std::to_string(armPort) + "\"";
    for (const auto& [name, value] : korvantest::kShortDaemonWaits) {
      env += ", \"" + name + "\" => \"" + value + "\"";
    }
    korvantest::writeFile(conf,
                          "server.modules = ( \"mod_cgi\", \"mod_setenv\" )\n"
                          "server.document-root = \"" +
                              www +
                              "\"\n"
                              "server.bind = \"127.0.0.1\"\nserver.port = " +
                              std::to_string(port_) +
                              "\n"
                              "server.errorlog = \"" +
                              root.path("lighttpd-error.log") +
                              "\"\n"
                              "$HTTP[\"url\"] =~ \"^/cgi/\" { cgi.assign = ( \".cgi\" => \"\" ) }\n"
                              "setenv.add-environment = ( " +
                              env + " )\n");
    std::string program = kLighttpd;
    std::string flag = "-D", dashF = "-f", confArg = conf;
    char* argv[] = {program.data(), flag.data(), dashF.data(), confArg.data(), nullptr};
    pid_ = fork();
    if (pid_ == 0) {
      execv(kLighttpd, argv);
      _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
      int s = connectTo(port_);
      if (s >= 0) {
        close(s);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "lighttpd did not start: "
                  << korvantest::readFile(root.path("lighttpd-error.log"));
  }
  ~WebServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // Posts `request` and resets the connection (SO_LINGER 0) after `afterMs`.
  void postAndReset(const Json::Value& request, int afterMs) const {
    const std::string body = korvantest::ajaxRequest(request).body;
    const std::string http =
        "POST /cgi/korvan.cgi HTTP/1.1\r\nHost: 127.0.0.1\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\n"
        "Content-Length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body;
    int s = connectTo(port_);
    ASSERT_GE(s, 0);
    ASSERT_EQ(send(s, http.data(), http.size(), MSG_NOSIGNAL), static_cast<ssize_t>(http.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    linger reset{1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(s);
  }

 private:
  int port_;
  pid_t pid_ = -1;
};

// The name text of a module-name packet (type 7: header, port, name).
std::string packetName(const Bytes& p) {
  std::string name(p.begin() + std::min<size_t>(p.size(), 4), p.end());
  return name.substr(0, name.find('\0'));
}

int sent7(const korvantest::FakeDaemon& daemon) {
  int n = 0;
  for (const Bytes& p : daemon.packets()) n += p.size() > 2 && p[2] == 7;
  return n;
}

TEST(ResetClients, EveryPacketHasItsRecord) {
  if (access(kLighttpd, X_OK) != 0) GTEST_SKIP() << "lighttpd is not installed";
  korvantest::TempRoot root;
  actionsbb::slotOnlineModules(root);
  korvantest::FakeDaemon daemon;
  // The daemon answers after a while, so that resets land before, during and
  // after the exchange (lighttpd notices a reset only some time after it).
  for (uint8_t type : {1, 3, 7}) {
    daemon.script(type, lateReply(300));
  }
  // The requests are made before the server runs: the test writes the
  // database only while no program does.
  const Json::Value kvmRequest = korvantest::withMembers(
      korvantest::sessionRequest(root, "qt"),
      R"({"dogPara":{"id":"3","uid":"S2B0000003","type2":"2"},"server":{"netIP":)"
      R"({"ip":"192.168.1.10"},"netPort":{"portKM":"5901","portV":"5900"}}})");
  const Json::Value clockRequest = korvantest::withMembers(
      korvantest::sessionRequest(root, "setTime"), R"({"time2":"2026-03-07 09:05:02"})");
  Json::Value moduleRequest = korvantest::sessionRequest(root, "updDog");
  moduleRequest["dogPara"] = korvantest::parseJson(
      R"({"id":"1","uid":"U1A0000001","portID":"1","sm":"0","code":"1000","frame":"30",
          "type2":"0","status":"1","priv":"0","group2":" ","pos1":" ","pos2":" ",
          "depart":" ","memo":" "})");
  WebServer server(root, daemon.port());
  if (::testing::Test::HasFailure()) return;

  std::set<std::string> names;
  int tries = 0;
  for (int afterMs : {20, 100}) {
    for (int i = 0; i < 50; ++i, ++tries) {
      Json::Value request = tries % 3 == 0 ? kvmRequest : clockRequest;
      if (tries % 3 == 2) {
        const std::string name = "reset-" + std::to_string(tries);
        names.insert(name);
        request = moduleRequest;
        request["dogPara"]["nm"] = name;
      }
      server.postAndReset(request, afterMs);
    }
  }
  // Every program started has ended once the packets and the log stand still
  // (a read while a program writes finds the database locked: not yet).
  std::string last;
  for (int quiet = 0; quiet < 15;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string now;
    try {
      now = std::to_string(daemon.packets().size()) + "/" +
            root.scalar("select count(*)||max(sth) from log2;");
    } catch (const std::exception&) {
    }
    quiet = !now.empty() && now == last ? quiet + 1 : 0;
    last = now;
  }

  int kvm = 0, clock = 0;
  std::string lastName;
  for (const Bytes& p : daemon.packets()) {
    if (p.size() < 3) continue;
    kvm += p[2] == 1;
    clock += p[2] == 3;
    if (p[2] == 7) {
      lastName = packetName(p);
      EXPECT_EQ(std::stoi(root.scalar("select count(*) from log2 where typeSub='updDog' and "
                                      "instr(sth, '\"v2\":\"" +
                                      lastName + "\"')>0;")),
                1)
          << "a name sent without its record: " << lastName;
    }
  }
  EXPECT_GE(std::stoi(root.scalar("select count(*) from log2 where typeSub='kvm';")), kvm);
  EXPECT_GE(std::stoi(root.scalar("select count(*) from log2 where typeSub='setTime';")), clock);
  // The database holds the name the daemon was told last.
  if (!lastName.empty()) {
    EXPECT_EQ(root.scalar("select nm from dog2 where id=1;"), lastName);
  }
  const std::string trace = root.traceLog();
  int held = 0;
  for (size_t at = trace.find("termination signal held"); at != std::string::npos;
       at = trace.find("termination signal held", at + 1)) {
    ++held;
  }
  std::cout << "[ resets   ] " << tries << " resets: " << kvm << " KVM, " << clock << " clock, "
            << sent7(daemon) << " name packets of " << names.size() << " changes asked, " << held
            << " signals held until the outcome was stored\n";
}

}  // namespace
