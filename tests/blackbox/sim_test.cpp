// The switch simulator run as a program: its replies, the state and log it
// keeps, the misbehaviour options, garbage, concurrent connections, signals
// and its command line.
#include <gtest/gtest.h>
#include <json/json.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "testroot.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
using korvantest::readFile;

Json::Value parseJson(const std::string& text) {
  Json::Value out;
  EXPECT_TRUE(Json::Reader().parse(text, out)) << text;
  return out;
}

// build/switch-sim as a child process on a free port. Its standard output
// stays readable through a pipe.
class Sim {
 public:
  explicit Sim(std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", "0"});
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      std::string program = KORVAN_SIM_PATH;
      argv.push_back(program.data());
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    out_ = out[0];
    std::string first = readLine(5000);
    EXPECT_EQ(first.rfind("port ", 0), 0u) << first;
    port_ = first.size() > 5 ? std::atoi(first.c_str() + 5) : 0;
  }
  ~Sim() {
    if (pid_ > 0) stop(SIGKILL);
    close(out_);
  }

  void signal(int signo) const { kill(pid_, signo); }

  // Sends `signo` and returns the exit status (128 + signal when killed).
  int stop(int signo) {
    kill(pid_, signo);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  // One line of standard output, without its line feed; "" after `ms`.
  std::string readLine(int ms) {
    for (;;) {
      size_t nl = buffered_.find('\n');
      if (nl != std::string::npos) {
        std::string line = buffered_.substr(0, nl);
        buffered_.erase(0, nl + 1);
        return line;
      }
      pollfd p = {out_, POLLIN, 0};
      char buf[512];
      ssize_t n = poll(&p, 1, ms) > 0 ? read(out_, buf, sizeof buf) : 0;
      if (n <= 0) return "";
      buffered_.append(buf, static_cast<size_t>(n));
    }
  }

  int connectTo() const {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_));
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int port_ = 0;
  std::string buffered_;
};

// Everything that arrives on `fd` within `ms` (up to `want` bytes), and
// whether the peer closed.
struct Received {
  Bytes bytes;
  bool closed = false;
};

Received receive(int fd, size_t want, int ms) {
  Received got;
  auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  while (got.bytes.size() < want) {
    int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    pollfd p = {fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, left) <= 0) break;
    uint8_t buf[64];
    ssize_t n = read(fd, buf, std::min(sizeof buf, want - got.bytes.size()));
    if (n <= 0) {
      got.closed = true;
      break;
    }
    got.bytes.insert(got.bytes.end(), buf, buf + n);
  }
  return got;
}

void sendBytes(int fd, const Bytes& bytes) {
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

Bytes withText(Bytes head, const std::string& text, size_t size) {
  head.insert(head.end(), text.begin(), text.end());
  head.resize(size, 0);
  return head;
}

// One request of each type as the program sends them: clock 10 s after the
// epoch, restart, network 192.168.1.10/192.168.1.1/255.255.255.0 port 8080,
// module 3 named "db-server" with identity "U0000003", code 77 and frame 2,
// and a KVM session for alice at 10.0.0.7.
const Bytes kTime = {0xA4, 0x05, 0x03, 0, 0, 0, 0x0A};
const Bytes kRestart = {0xA4, 0x02, 0x05, 0x00};
const Bytes kServer = {0xA4, 0x11, 0x02, 10, 1, 168, 192, 1, 1, 168, 192, 0, 255, 255, 255,
                       0, 0, 0x1F, 0x90};
const Bytes kName = withText({0xA4, 35, 7, 3}, "db-server", 37);
const Bytes kUid = withText({0xA4, 19, 8, 3}, "U0000003", 21);
const Bytes kCodeFrame = {0xA4, 0x08, 0x09, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x4D};
Bytes session() {
  Bytes p = withText({0xA4, 68, 1, 3}, "U0000003", 23);
  p = withText(p, "alice", 70);
  Bytes tail = {7, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 12};
  std::copy(tail.begin(), tail.end(), p.begin() + 56);
  return p;
}

TEST(SwitchSim, AnswersAndRemembersTheSwitchState) {
  korvantest::TempRoot dir(false);
  const std::string stateFile = dir.path("state.json");
  Sim sim({"--state-file", stateFile, "--log", dir.path("log")});
  int fd = sim.connectTo();
  const std::pair<Bytes, Bytes> exchanges[] = {
      {kTime, {0xA4, 0x02, 0x03, 0x00}},   {kRestart, {0xA4, 0x02, 0x05, 0x00}},
      {kServer, {0xA4, 0x02, 0x02, 0x00}}, {kName, {0xA4, 0x03, 0x07, 0x03, 0x00}},
      {kUid, {0xA4, 0x03, 0x08, 0x03, 0x00}}, {kCodeFrame, {0xA4, 0x03, 0x09, 0x03, 0x00}},
  };
  for (const auto& [request, reply] : exchanges) {
    sendBytes(fd, request);
    EXPECT_EQ(receive(fd, reply.size(), 5000).bytes, reply);
  }
  // Fresh session values each time.
  std::vector<Bytes> sessions;
  for (int i = 0; i < 2; ++i) {
    sendBytes(fd, session());
    sessions.push_back(receive(fd, 20, 5000).bytes);
    ASSERT_EQ(sessions.back().size(), 20u);
    EXPECT_EQ(Bytes(sessions.back().begin(), sessions.back().begin() + 4), (Bytes{0xA4, 18, 1, 0}));
  }
  EXPECT_NE(sessions[0], sessions[1]);
  close(fd);

  Json::Value state = parseJson(readFile(stateFile));
  EXPECT_EQ(state["clock"]["seconds"].asInt(), 10);
  EXPECT_EQ(state["restarts"].asInt(), 1);
  EXPECT_EQ(state["network"]["ip"].asString(), "192.168.1.10");
  EXPECT_EQ(state["network"]["portWeb"].asInt(), 8080);
  EXPECT_EQ(state["modules"]["3"]["name"].asString(), "db-server");
  EXPECT_EQ(state["modules"]["3"]["uid"].asString(), "U0000003");
  EXPECT_EQ(state["modules"]["3"]["code"].asInt(), 77);
  ASSERT_EQ(state["sessions"].size(), 2u);
  EXPECT_EQ(state["sessions"][0]["userIP"].asString(), "10.0.0.7");
  EXPECT_EQ(state["sessions"][1]["userID"].asInt(), 12);
  EXPECT_EQ(state["packets"].asInt(), 8);

  // One log line per packet, with its decoded fields and its bytes.
  std::istringstream log(readFile(dir.path("log")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_NE(lines[1].find(" restart data=0 | a4 02 05 00 -> ret=0"), std::string::npos) << lines[1];
  EXPECT_NE(lines[5].find("dogCodeFrame port=3 frame=2 code=77 | a4 08 09 03 00 02 00 00 00 4d"),
            std::string::npos)
      << lines[5];
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(SwitchSim, MisbehavesAsTold) {
  korvantest::TempRoot dir(false);
  const std::string stateFile = dir.path("state.json");
  Sim sim({"--state-file", stateFile, "--ret", "time=7", "--ret", "1=4", "--delay",
           "serverIP=300", "--silent", "dogNM", "--close", "dogUID", "--short", "restart"});
  int fd = sim.connectTo();
  sendBytes(fd, kTime);
  EXPECT_EQ(receive(fd, 4, 5000).bytes, (Bytes{0xA4, 0x02, 0x03, 0x07}));
  sendBytes(fd, session());
  EXPECT_EQ(receive(fd, 20, 5000).bytes, (Bytes{0xA4, 18, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                 0, 0, 0, 0, 0, 0}));
  auto start = Clock::now();
  sendBytes(fd, kServer);
  EXPECT_EQ(receive(fd, 4, 5000).bytes.size(), 4u);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  // Silent: no answer, but the connection stays open and goes on serving.
  sendBytes(fd, kName);
  Received got = receive(fd, 1, 300);
  EXPECT_TRUE(got.bytes.empty());
  EXPECT_FALSE(got.closed);
  sendBytes(fd, kCodeFrame);
  EXPECT_EQ(receive(fd, 5, 5000).bytes.size(), 5u);
  close(fd);

  const std::pair<Bytes, Bytes> cut[] = {{kUid, {}}, {kRestart, {0xA4, 0x02, 0x05}}};
  for (const auto& [request, reply] : cut) {
    fd = sim.connectTo();
    sendBytes(fd, request);
    got = receive(fd, 5, 5000);
    EXPECT_TRUE(got.closed);
    EXPECT_EQ(got.bytes, reply);
    close(fd);
  }

  // A refused change is not remembered; an accepted one is, even when its
  // acknowledgement is lost.
  Json::Value state = parseJson(readFile(stateFile));
  EXPECT_TRUE(state["clock"].isNull());
  EXPECT_EQ(state["sessions"].size(), 0u);
  EXPECT_EQ(state["network"]["portWeb"].asInt(), 8080);
  EXPECT_EQ(state["modules"]["3"]["name"].asString(), "db-server");
  EXPECT_EQ(state["restarts"].asInt(), 1);
}

TEST(SwitchSim, DropsGarbageAndServesConnectionsAtTheSameTime) {
  Sim sim({"--log", "/dev/null", "--silent", "restart"});
  const Bytes garbage[] = {
      {'G', 'E', 'T', ' ', '/', '\r', '\n'},  // not a packet at all
      {0xA4, 0x05, 0x05, 0, 0, 0, 0},         // restart with a wrong length
      {0xA4, 0x02, 0x04, 0x00},               // a type that is never sent
      {0xA4, 0x00},                           // a length too small for a type
  };
  for (const Bytes& bytes : garbage) {
    int fd = sim.connectTo();
    sendBytes(fd, bytes);
    Received got = receive(fd, 1, 5000);
    EXPECT_TRUE(got.closed);
    EXPECT_TRUE(got.bytes.empty());
    close(fd);
  }
  int fd = sim.connectTo();  // gone in the middle of a packet
  sendBytes(fd, {0xA4, 0x44, 0x01, 0x03});
  close(fd);

  // A request left unanswered on one connection holds up no other; half
  // packets on many connections are completed in reverse order.
  int slow = sim.connectTo();
  sendBytes(slow, kRestart);
  std::vector<int> fds;
  for (uint8_t i = 0; i < 8; ++i) {
    fds.push_back(sim.connectTo());
    sendBytes(fds.back(), {0xA4, 0x08, 0x09, i});
  }
  for (int i = 7; i >= 0; --i) {
    sendBytes(fds[static_cast<size_t>(i)], {0x00, 0x02, 0x00, 0x00, 0x00, 0x01});
    EXPECT_EQ(receive(fds[static_cast<size_t>(i)], 5, 5000).bytes,
              (Bytes{0xA4, 0x03, 0x09, static_cast<uint8_t>(i), 0x00}));
  }
  for (int each : fds) close(each);
  close(slow);
  EXPECT_EQ(sim.stop(SIGINT), 0);
}

TEST(SwitchSim, PrintsItsStateOnSigusr1) {
  Sim sim({"--log", "/dev/null"});
  int fd = sim.connectTo();
  sendBytes(fd, kName);
  EXPECT_EQ(receive(fd, 5, 5000).bytes.size(), 5u);
  close(fd);

  EXPECT_EQ(sim.readLine(100), "") << "nothing is printed before the signal";
  sim.signal(SIGUSR1);
  std::string text;
  for (std::string line = sim.readLine(5000); !line.empty(); line = sim.readLine(5000)) {
    text += line + "\n";
    if (line == "}") break;
  }
  Json::Value state = parseJson(text);
  EXPECT_EQ(state["modules"]["3"]["name"].asString(), "db-server");
  EXPECT_EQ(state["packets"].asInt(), 1);
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(SwitchSim, RefusesBadOptions) {
  for (const char* bad : {"--ret nosuch=1", "--delay time", "--port 70000", "--bogus x"}) {
    std::string command = std::string(KORVAN_SIM_PATH) + " " + bad + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << bad;
  }
}

}  // namespace
