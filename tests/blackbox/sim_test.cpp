// The switch simulator from its command line: its replies, state and log
// (its scripted misbehaviour is covered as the other tests' daemon).
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "switch-sim/server.h"
#include "testroot.h"

namespace {

using Bytes = std::vector<uint8_t>;
using korvantest::readFile;

// Sends `request` and returns the `want` bytes that come back (fewer on close
// or five silent seconds).
std::string exchange(int fd, const Bytes& request, size_t want) {
  timeval limit{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  EXPECT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
  std::string got(want, '\0');
  ssize_t n = 0;
  for (size_t at = 0; at < want; at += static_cast<size_t>(n)) {
    n = read(fd, &got[at], want - at);
    if (n <= 0) return got.substr(0, at);
  }
  return got;
}

TEST(SwitchSim, AnswersAndRemembersTheSwitchState) {
  korvantest::TempRoot dir(false);
  std::string error;
  std::optional<switchsim::Options> options =
      switchsim::parseOptions({"--port", "0", "--state-file", dir.path("state.json"), "--log",
                               dir.path("log"), "--ret", "restart=3"},
                              error);
  ASSERT_TRUE(options) << error;
  switchsim::Server server(*options);
  ASSERT_TRUE(server.start());
  std::thread thread([&server] { server.run(); });
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{
      AF_INET, htons(static_cast<uint16_t>(server.port())), {htonl(INADDR_LOOPBACK)}, {}};
  EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  // The clock 10 s after the epoch, network 192.168.1.10/192.168.1.1/
  // 255.255.255.0 port 8080, module 3 code 77 and frame 2, a restart.
  const std::pair<Bytes, Bytes> exchanges[] = {
      {{0xA4, 0x05, 0x03, 0, 0, 0, 0x0A}, {0xA4, 0x02, 0x03, 0x00}},
      {{0xA4, 0x11, 0x02, 10, 1, 168, 192, 1, 1, 168, 192, 0, 255, 255, 255, 0, 0, 0x1F, 0x90},
       {0xA4, 0x02, 0x02, 0x00}},
      {{0xA4, 0x08, 0x09, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x4D},
       {0xA4, 0x03, 0x09, 0x03, 0x00}},
      {{0xA4, 0x02, 0x05, 0x00}, {0xA4, 0x02, 0x05, 0x03}},
  };
  for (const auto& [request, reply] : exchanges)
    EXPECT_EQ(exchange(fd, request, reply.size()), std::string(reply.begin(), reply.end()));
  close(fd);
  server.stop();
  thread.join();

  Json::Value state;
  Json::Reader().parse(readFile(dir.path("state.json")), state);
  EXPECT_EQ(state["clock"]["seconds"].asString() + " " + state["network"]["ip"].asString() + ":" +
                state["network"]["portWeb"].asString() + " " +
                state["modules"]["3"]["code"].asString() + " " + state["restarts"].asString() +
                " " + state["packets"].asString(),
            "10 192.168.1.10:8080 77 0 4");
  // One log line per packet, with its decoded fields.
  EXPECT_NE(readFile(dir.path("log")).find("dogCodeFrame port=3 frame=2 code=77"),
            std::string::npos);
  // A mistake on the command line is refused.
  for (const char* bad : {"nosuch=1", "time", "time=256"}) {
    EXPECT_FALSE(switchsim::parseOptions({"--ret", bad}, error)) << bad;
  }
}

}  // namespace
