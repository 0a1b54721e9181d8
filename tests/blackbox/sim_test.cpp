// The switch simulator run as a program: its replies, the state and log it
// keeps, the misbehaviour options, garbage and concurrent connections.
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "testroot.h"

namespace {

using Bytes = std::vector<uint8_t>;
using korvantest::readFile;

// build/switch-sim as a child process on a free port; SIGTERM at the end must
// end it with status 0.
class Sim {
 public:
  explicit Sim(std::vector<std::string> args) {
    args.insert(args.begin(), {KORVAN_SIM_PATH, "--port", "0"});
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    FILE* stdoutOfSim = fdopen(out[0], "r");
    EXPECT_EQ(fscanf(stdoutOfSim, "port %d", &port_), 1);
    fclose(stdoutOfSim);
  }
  ~Sim() {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  int connect() const {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_));
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// Sends `request` on `fd` and returns up to `want` bytes of what comes within
// `ms`, with "closed" appended when the simulator closed the connection.
std::string exchange(int fd, const Bytes& request, size_t want, int ms = 5000) {
  timeval limit{ms / 1000, (ms % 1000) * 1000};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  EXPECT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
  std::string got;
  while (got.size() < want) {
    char buf[64];
    ssize_t n = read(fd, buf, std::min(sizeof buf, want - got.size()));
    if (n == 0) return got + "closed";
    if (n < 0) break;
    got.append(buf, static_cast<size_t>(n));
  }
  return got;
}

std::string text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes withText(Bytes head, const std::string& more, size_t size) {
  head.insert(head.end(), more.begin(), more.end());
  head.resize(size, 0);
  return head;
}

// One request of each type as the program sends them: clock 10 s after the
// epoch, restart, network 192.168.1.10/192.168.1.1/255.255.255.0 port 8080,
// module 3 named "db-server" with identity "U0000003", code 77 and frame 2,
// and a KVM session for user 12 "alice" at 10.0.0.7.
const Bytes kTime = {0xA4, 0x05, 0x03, 0, 0, 0, 0x0A};
const Bytes kRestart = {0xA4, 0x02, 0x05, 0x00};
const Bytes kServer = {0xA4, 0x11, 0x02, 10, 1, 168, 192, 1, 1, 168, 192, 0, 255, 255, 255,
                       0, 0, 0x1F, 0x90};
const Bytes kName = withText({0xA4, 35, 7, 3}, "db-server", 37);
const Bytes kUid = withText({0xA4, 19, 8, 3}, "U0000003", 21);
const Bytes kCodeFrame = {0xA4, 0x08, 0x09, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x4D};
const Bytes kSession = [] {
  Bytes p = withText(withText({0xA4, 68, 1, 3}, "U0000003", 23), "alice", 70);
  const Bytes tail = {7, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, 0, 0, 12};
  std::copy(tail.begin(), tail.end(), p.begin() + 56);
  return p;
}();

Json::Value stateIn(const std::string& path) {
  Json::Value state;
  Json::Reader().parse(readFile(path), state);
  return state;
}

TEST(SwitchSim, AnswersAndRemembersTheSwitchState) {
  korvantest::TempRoot dir(false);
  std::string sessions[2];
  {
    Sim sim({"--state-file", dir.path("state.json"), "--log", dir.path("log")});
    int fd = sim.connect();
    const std::pair<Bytes, Bytes> exchanges[] = {
        {kTime, {0xA4, 0x02, 0x03, 0x00}},      {kRestart, {0xA4, 0x02, 0x05, 0x00}},
        {kServer, {0xA4, 0x02, 0x02, 0x00}},    {kName, {0xA4, 0x03, 0x07, 0x03, 0x00}},
        {kUid, {0xA4, 0x03, 0x08, 0x03, 0x00}}, {kCodeFrame, {0xA4, 0x03, 0x09, 0x03, 0x00}},
    };
    for (const auto& [request, reply] : exchanges) EXPECT_EQ(exchange(fd, request, reply.size()), text(reply));
    // Fresh session values each time.
    for (std::string& session : sessions) {
      session = exchange(fd, kSession, 20);
      EXPECT_EQ(session.substr(0, 4) + std::to_string(session.size()), text({0xA4, 18, 1, 0}) + "20");
    }
    EXPECT_NE(sessions[0], sessions[1]);
    close(fd);
  }
  Json::Value state = stateIn(dir.path("state.json"));
  EXPECT_EQ(state["clock"]["seconds"].asString() + " " + state["restarts"].asString() + " " +
                state["network"]["ip"].asString() + ":" + state["network"]["portWeb"].asString(),
            "10 1 192.168.1.10:8080");
  const Json::Value& module = state["modules"]["3"];
  EXPECT_EQ(module["name"].asString() + module["uid"].asString() + module["code"].asString(),
            "db-serverU000000377");
  EXPECT_EQ(state["sessions"].size(), 2u);
  EXPECT_EQ(state["sessions"][1]["userIP"].asString() + " " + state["sessions"][1]["userID"].asString() +
                " " + state["packets"].asString(),
            "10.0.0.7 12 8");
  // One log line per packet, with its decoded fields and its bytes.
  const std::string log = readFile(dir.path("log"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 8);
  EXPECT_NE(log.find("dogCodeFrame port=3 frame=2 code=77 | a4 08 09 03 00 02 00 00 00 4d"),
            std::string::npos) << log;
}

TEST(SwitchSim, MisbehavesAsTold) {
  korvantest::TempRoot dir(false);
  {
    Sim sim({"--state-file", dir.path("state.json"), "--log", "/dev/null", "--ret", "time=7", "--ret", "1=4", "--delay",
             "serverIP=300", "--silent", "dogNM", "--close", "dogUID", "--short", "restart"});
    int fd = sim.connect();
    EXPECT_EQ(exchange(fd, kTime, 4), text({0xA4, 0x02, 0x03, 0x07}));
    EXPECT_EQ(exchange(fd, kSession, 20), text(withText({0xA4, 18, 1, 4}, "", 20)));
    EXPECT_EQ(exchange(fd, kName, 1, 300), "") << "silent, the connection kept open";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exchange(fd, kServer, 4).size(), 4u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_EQ(exchange(fd, kCodeFrame, 5).size(), 5u);
    close(fd);
    for (const auto& [request, reply] :
         {std::pair{kUid, std::string("closed")}, {kRestart, text({0xA4, 0x02, 0x05}) + "closed"}}) {
      fd = sim.connect();
      EXPECT_EQ(exchange(fd, request, 5), reply);
      close(fd);
    }
  }
  // A refused change is not remembered; an accepted one is, even when its
  // acknowledgement is lost.
  Json::Value state = stateIn(dir.path("state.json"));
  EXPECT_TRUE(state["clock"].isNull() && state["sessions"].empty());
  EXPECT_EQ(state["network"]["portWeb"].asString() + " " + state["modules"]["3"]["name"].asString() +
                " " + state["restarts"].asString(),
            "8080 db-server 1");
}

TEST(SwitchSim, DropsGarbageAndServesConnectionsAtTheSameTime) {
  Sim sim({"--log", "/dev/null", "--silent", "restart"});
  const Bytes garbage[] = {
      {'G', 'E', 'T', ' ', '/', '\r', '\n'},  // not a packet at all
      {0xA4, 0x02, 0x03, 0x00},               // the clock with a wrong length
      {0xA4, 0x02, 0x04, 0x00},               // a type that is never sent
      {0xA4, 0x00},                           // a length too small for a type
  };
  for (const Bytes& bytes : garbage) {
    int fd = sim.connect();
    EXPECT_EQ(exchange(fd, bytes, 1), "closed");
    close(fd);
  }
  int gone = sim.connect();  // gone in the middle of a packet
  exchange(gone, {0xA4, 0x44, 0x01, 0x03}, 0);
  close(gone);
  // A request left unanswered on one connection holds up no other; half
  // packets on several connections are completed in reverse order.
  int slow = sim.connect();
  exchange(slow, kRestart, 0);
  std::vector<int> fds;
  for (uint8_t i = 0; i < 4; ++i) {
    fds.push_back(sim.connect());
    exchange(fds.back(), {0xA4, 0x08, 0x09, i}, 0);
  }
  for (uint8_t i = 4; i-- > 0;) {
    EXPECT_EQ(exchange(fds[i], {0x00, 0x02, 0x00, 0x00, 0x00, 0x01}, 5),
              text({0xA4, 0x03, 0x09, i, 0x00}));
    close(fds[i]);
  }
  close(slow);
}

TEST(SwitchSim, RefusesBadOptions) {
  for (const char* bad : {"--ret nosuch=1", "--delay time", "--port 70000", "--bogus x"}) {
    int status = std::system((std::string(KORVAN_SIM_PATH) + " " + bad + " >/dev/null 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << bad;
  }
}

}  // namespace
