// The switch simulator, run as a program: every packet type answered and
// remembered, garbage and concurrent connections, each misbehaviour option,
// the packet log and the signals.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "daemon/packets.h"
#include "daemon/recv_pak.h"
#include "daemon/send_pak.h"
#include "store/myerr.h"
#include "util/tools.h"

namespace {

namespace pak = korvan::pak;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Json::Value parseJson(const std::string& text) {
  Json::Value out;
  Json::Reader reader;
  EXPECT_TRUE(reader.parse(text, out)) << text;
  return out;
}

// A scratch directory for the log and state files.
class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/korvan-sim-XXXXXX";
    dir_ = mkdtemp(tmpl) ? tmpl : "/tmp";
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::string path(const char* name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};

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

  int port() const { return port_; }
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
    auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      size_t nl = buffered_.find('\n');
      if (nl != std::string::npos) {
        std::string line = buffered_.substr(0, nl);
        buffered_.erase(0, nl + 1);
        return line;
      }
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
      pollfd p = {out_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, left) <= 0) return "";
      char buf[512];
      ssize_t n = read(out_, buf, sizeof buf);
      if (n <= 0) return "";
      buffered_.append(buf, static_cast<size_t>(n));
    }
  }

  // A new connection to the simulator.
  int connectTo() const {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
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

// Everything that arrives on `fd` within `ms`, and whether the peer closed.
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
    ssize_t n = read(fd, buf, sizeof buf);
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

Json::Value fullRequest() {
  return parseJson(R"({
    "time2":"2026-03-07 09:05:02",
    "server":{"ip":"192.168.1.10","gateway":"192.168.1.1","subnetMask":"255.255.255.0",
              "portWeb":"8080","netIP":{"ip":"192.168.1.10"},
              "netPort":{"portKM":"5901","portV":"5900"}},
    "dogPara":{"id":"3","portID":"3","nm":"db-server","uid":"U0000003",
               "code":"77","frame":"2","type2":"1"},
    "user":{"nm":"alice"},"userID":"12"})");
}

template <typename Call>
std::string errorOf(Call call) {
  try {
    call();
  } catch (const CMyErr& e) {
    return e.what();
  }
  return "";
}

TEST(SwitchSim, AnswersEveryPacketTypeAndRemembersTheSwitchState) {
  ScratchDir scratch;
  const std::string stateFile = scratch.path("state.json");
  Sim sim({"--state-file", stateFile, "--log", scratch.path("log")});
  int fd = sim.connectTo();
  Json::Value in = fullRequest();
  Json::Value out;

  CSendPak::time2(fd, in, out);
  CRecvPak::simple(fd, in, out);
  CSendPak::restart(fd, in, out);
  CRecvPak::simple(fd, in, out);
  CSendPak::serverIP(fd, in, out);
  CRecvPak::simple(fd, in, out);
  CSendPak::dogNM(fd, in, out);
  CRecvPak::dog(fd, in, out);
  CSendPak::dogUID(fd, in, out);
  CRecvPak::dog(fd, in, out);
  CSendPak::dogCodeFrame(fd, in, out);
  CRecvPak::dog(fd, in, out);
  Caller alice{"12", "alice", 1, "3", "", "10.0.0.7"};
  CSendPak::qt(fd, alice, in, out);
  CRecvPak::qt(fd, alice, in, out);
  const Json::Value first = parseJson(out["qt"].asString());
  alice.address = "10.0.0.8";
  CSendPak::qt(fd, alice, in, out);
  CRecvPak::qt(fd, alice, in, out);
  const Json::Value second = parseJson(out["qt"].asString());
  close(fd);

  // Fresh session values each time, 16 lower-case hex digits.
  EXPECT_EQ(first["desEncode"].asString().size(), 16u);
  EXPECT_EQ(first["desEncode"].asString().find_first_not_of("0123456789abcdef"),
            std::string::npos);
  EXPECT_NE(first["desEncode"], second["desEncode"]);
  EXPECT_NE(first["desDecode"], second["desDecode"]);

  Json::Value state = parseJson(slurp(stateFile));
  EXPECT_EQ(state["clock"]["seconds"].asInt(), time_strToSecs("2026-03-07 09:05:02"));
  EXPECT_EQ(state["restarts"].asInt(), 1);
  EXPECT_EQ(state["network"]["ip"].asString(), "192.168.1.10");
  EXPECT_EQ(state["network"]["gateway"].asString(), "192.168.1.1");
  EXPECT_EQ(state["network"]["subnetMask"].asString(), "255.255.255.0");
  EXPECT_EQ(state["network"]["portWeb"].asInt(), 8080);
  const Json::Value& module = state["modules"]["3"];
  EXPECT_EQ(module["name"].asString(), "db-server");
  EXPECT_EQ(module["uid"].asString(), "U0000003");
  EXPECT_EQ(module["code"].asInt(), 77);
  EXPECT_EQ(module["frame"].asInt(), 2);
  ASSERT_EQ(state["sessions"].size(), 2u);
  EXPECT_EQ(state["sessions"][0]["userIP"].asString(), "10.0.0.7");
  EXPECT_EQ(state["sessions"][0]["userNM"].asString(), "alice");
  EXPECT_EQ(state["sessions"][0]["userID"].asInt(), 12);
  EXPECT_EQ(state["sessions"][1]["desEncode"], second["desEncode"]);
  EXPECT_EQ(state["packets"].asInt(), 8);

  // One log line per packet, with its decoded fields and its bytes.
  std::istringstream log(slurp(scratch.path("log")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_NE(lines[1].find(" restart data=0 | a4 02 05 00 -> ret=0"), std::string::npos) << lines[1];
  EXPECT_NE(lines[5].find("dogCodeFrame port=3 frame=2 code=77 | a4 08 09 03 00 02 00 00 00 4d"),
            std::string::npos)
      << lines[5];
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(SwitchSim, DropsGarbageAndKeepsServing) {
  Sim sim({});
  const Bytes garbage[] = {
      {'G', 'E', 'T', ' ', '/', '\r', '\n'},  // not a packet at all
      {0xA4, 0x05, 0x05, 0, 0, 0, 0},         // restart with a wrong length
      {0xA4, 0x02, 0x04, 0x00},               // a type that is never sent
      {0xA4, 0x00},                           // a length too small for a type
  };
  for (const Bytes& bytes : garbage) {
    int fd = sim.connectTo();
    sendBytes(fd, bytes);
    Received got = receive(fd, 1, 2000);
    EXPECT_TRUE(got.closed);
    EXPECT_TRUE(got.bytes.empty());
    close(fd);
  }
  // Random byte streams, many starting like a packet.
  std::srand(7);
  for (int round = 0; round < 40; ++round) {
    Bytes bytes(static_cast<size_t>(1 + std::rand() % 90));
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(std::rand());
    if (round % 2 == 0) bytes[0] = 0xA4;
    int fd = sim.connectTo();
    sendBytes(fd, bytes);
    close(fd);
  }
  // A client that goes away in the middle of a packet is no trouble either.
  int fd = sim.connectTo();
  sendBytes(fd, {0xA4, 0x44, 0x01, 0x03});
  close(fd);

  fd = sim.connectTo();
  sendBytes(fd, {0xA4, 0x02, 0x05, 0x00});
  EXPECT_EQ(receive(fd, 4, 2000).bytes, (Bytes{0xA4, 0x02, 0x05, 0x00}));
  close(fd);
  EXPECT_EQ(sim.stop(SIGINT), 0);
}

TEST(SwitchSim, ServesConnectionsAtTheSameTime) {
  Sim sim({"--delay", "restart=600"});
  // A delayed reply on one connection holds up no other.
  int slow = sim.connectTo();
  sendBytes(slow, {0xA4, 0x02, 0x05, 0x00});

  // Half packets on many connections, completed in reverse order.
  std::vector<int> fds;
  for (int i = 0; i < 8; ++i) {
    fds.push_back(sim.connectTo());
    sendBytes(fds.back(), {0xA4, 0x08, 0x09, static_cast<uint8_t>(i)});
  }
  auto start = Clock::now();
  for (int i = 7; i >= 0; --i) {
    sendBytes(fds[static_cast<size_t>(i)], {0x00, 0x02, 0x00, 0x00, 0x00, 0x01});
    EXPECT_EQ(receive(fds[static_cast<size_t>(i)], 5, 2000).bytes,
              (Bytes{0xA4, 0x03, 0x09, static_cast<uint8_t>(i), 0x00}));
  }
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(receive(slow, 4, 2000).bytes, (Bytes{0xA4, 0x02, 0x05, 0x00}));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(500));
  for (int fd : fds) close(fd);
  close(slow);
}

TEST(SwitchSim, MisbehavesAsTold) {
  ScratchDir scratch;
  const std::string stateFile = scratch.path("state.json");
  Sim sim({"--state-file", stateFile, "--ret", "time=7", "--ret", "1=4", "--delay",
           "serverIP=300", "--silent", "dogNM", "--close", "dogUID", "--short", "restart"});
  Json::Value in = fullRequest();
  Json::Value out;

  int fd = sim.connectTo();
  CSendPak::time2(fd, in, out);
  EXPECT_EQ(errorOf([&] { CRecvPak::simple(fd, in, out); }), "arm ack error,ret=1");
  const Caller alice{"12", "alice", 1, "3", "", "10.0.0.7"};
  CSendPak::qt(fd, alice, in, out);
  EXPECT_EQ(errorOf([&] { CRecvPak::qt(fd, alice, in, out); }), "4\uFF1Athis ip has session already");
  auto start = Clock::now();
  CSendPak::serverIP(fd, in, out);
  CRecvPak::simple(fd, in, out);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));

  // Silent: no answer, but the connection stays open and goes on serving.
  CSendPak::dogNM(fd, in, out);
  Received got = receive(fd, 1, 400);
  EXPECT_TRUE(got.bytes.empty());
  EXPECT_FALSE(got.closed);
  CSendPak::dogCodeFrame(fd, in, out);
  CRecvPak::dog(fd, in, out);
  close(fd);

  fd = sim.connectTo();
  CSendPak::dogUID(fd, in, out);
  got = receive(fd, 5, 2000);
  EXPECT_TRUE(got.closed);
  EXPECT_TRUE(got.bytes.empty());
  close(fd);

  fd = sim.connectTo();
  CSendPak::restart(fd, in, out);
  got = receive(fd, 4, 2000);
  EXPECT_TRUE(got.closed);
  EXPECT_EQ(got.bytes, (Bytes{0xA4, 0x02, 0x05}));
  close(fd);

  // A refused change is not remembered; an accepted one is, even when its
  // acknowledgement is lost.
  Json::Value state = parseJson(slurp(stateFile));
  EXPECT_TRUE(state["clock"].isNull());
  EXPECT_EQ(state["sessions"].size(), 0u);
  EXPECT_EQ(state["network"]["portWeb"].asInt(), 8080);
  EXPECT_EQ(state["modules"]["3"]["name"].asString(), "db-server");
  EXPECT_EQ(state["restarts"].asInt(), 1);
}

TEST(SwitchSim, PrintsItsStateOnSigusr1) {
  Sim sim({"--log", "/dev/null"});
  int fd = sim.connectTo();
  Json::Value in = fullRequest();
  Json::Value out;
  CSendPak::dogNM(fd, in, out);
  CRecvPak::dog(fd, in, out);
  close(fd);

  EXPECT_EQ(sim.readLine(100), "") << "nothing is printed before the signal";
  sim.signal(SIGUSR1);
  std::string text;
  for (std::string line = sim.readLine(2000); !line.empty(); line = sim.readLine(2000)) {
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
