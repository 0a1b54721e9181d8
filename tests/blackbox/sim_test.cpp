// The switch simulator from its command line: its replies, and the state and
// log it keeps. Its server is also the in-test daemon of the other black-box
// tests, which cover its scripted misbehaviour.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "switch-sim/server.h"
#include "testroot.h"

namespace {

using Bytes = std::vector<uint8_t>;
using korvantest::readFile;

// The simulator's server as the program runs it from `args`, on a thread of
// the test and a free port; stopped at the end.
class Sim {
 public:
  explicit Sim(std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", "0"});
    std::string error;
    std::optional<switchsim::Options> options = switchsim::parseOptions(args, error);
    EXPECT_TRUE(options && error.empty()) << error;
    server_ = std::make_unique<switchsim::Server>(options.value_or(switchsim::Options{}));
    EXPECT_TRUE(server_->start());
    thread_ = std::thread([this] { server_->run(); });
  }
  ~Sim() {
    server_->stop();
    thread_.join();
  }

  int connect() const {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(server_->port()));
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  }

 private:
  std::unique_ptr<switchsim::Server> server_;
  std::thread thread_;
};

// Sends `request` on `fd` and returns up to `want` bytes of what comes within
// five seconds, with "closed" appended when the simulator closed the
// connection.
std::string exchange(int fd, const Bytes& request, size_t want) {
  timeval limit{5, 0};
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
  {
    Sim sim({"--state-file", dir.path("state.json"), "--log", dir.path("log")});
    int fd = sim.connect();
    const std::pair<Bytes, Bytes> exchanges[] = {
        {kTime, {0xA4, 0x02, 0x03, 0x00}},      {kRestart, {0xA4, 0x02, 0x05, 0x00}},
        {kServer, {0xA4, 0x02, 0x02, 0x00}},    {kName, {0xA4, 0x03, 0x07, 0x03, 0x00}},
        {kUid, {0xA4, 0x03, 0x08, 0x03, 0x00}}, {kCodeFrame, {0xA4, 0x03, 0x09, 0x03, 0x00}},
    };
    for (const auto& [request, reply] : exchanges) EXPECT_EQ(exchange(fd, request, reply.size()), text(reply));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(exchange(fd, kSession, 20).substr(0, 4), text({0xA4, 18, 1, 0}));
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
  // A mistake on the command line is refused.
  for (const char* bad : {"nosuch=1", "time", "time=256"}) {
    std::string error;
    EXPECT_FALSE(switchsim::parseOptions({"--ret", bad}, error)) << bad;
    EXPECT_NE(error, "") << bad;
  }
}

}  // namespace
