// Reading a daemon reply that arrives in pieces: whole replies are accepted
// however they are split, and a reply cut short by a close or by the limit
// is told apart from none at all.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "daemon/socket_io.h"
#include "testroot.h"
#include "util/myerr.h"

namespace {

struct Case {
  const char* name;
  std::string first;   // sent at once
  std::string second;  // sent after the pause
  bool closeAfter;     // the daemon closes after sending
  const char* error;   // expected failure, nullptr for success
};

TEST(DaemonReply, ReadUntilWholeOrTold) {
  korvantest::TempRoot root(false);  // the trace log goes here
  setenv("KORVAN_ROOT", root.dir().c_str(), 1);
  setenv("KORVAN_REPLY_TIMEOUT_MS", "600", 1);
  const Case cases[] = {
      {"two parts with a pause", "\xA4\x05", "\x01\x02", false, nullptr},
      {"part, then close", "\xA4\x05", "", true, "arm read ack short"},
      {"part, then silence past the limit", "\xA4\x05", "", false, "arm read ack short"},
      {"close without a byte", "", "", true, "arm read ack closed"},
      {"silence past the limit", "", "", false, "arm read ack timeout"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    std::thread daemon([&c, fd = fds[1]] {
      if (!c.first.empty()) {
        EXPECT_GT(write(fd, c.first.data(), c.first.size()), 0);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      if (!c.second.empty()) {
        EXPECT_GT(write(fd, c.second.data(), c.second.size()), 0);
      }
      if (c.closeAfter) shutdown(fd, SHUT_WR);
    });
    char reply[4] = {};
    std::string error;
    try {
      socketReadTimeout(fds[0], reply, sizeof reply);
    } catch (const CMyErr& e) {
      EXPECT_EQ(e.type, CMyErr::armErr);
      error = e.what();
    }
    daemon.join();
    EXPECT_EQ(error, c.error != nullptr ? c.error : "");
    if (c.error == nullptr) {
      EXPECT_EQ(std::string(reply, 4), c.first + c.second);
    }
    close(fds[0]);
    close(fds[1]);
  }
  unsetenv("KORVAN_REPLY_TIMEOUT_MS");
  unsetenv("KORVAN_ROOT");
}

}  // namespace
