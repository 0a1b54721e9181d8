// A daemon reply that arrives in pieces is read whole, not taken as short.
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "daemon/socket_io.h"
#include "testroot.h"
#include "util/myerr.h"

TEST(DaemonReply, ReplyInTwoPiecesIsReadWhole) {
  korvantest::TempRoot root(false);  // the trace log goes here
  setenv("KORVAN_ROOT", root.dir().c_str(), 1);
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  std::thread daemon([fd = fds[1]] {
    EXPECT_EQ(write(fd, "\xA4\x05", 2), 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(write(fd, "\x01\x02", 2), 2);
  });
  char reply[4] = {};
  EXPECT_NO_THROW(socketReadTimeout(fds[0], reply, sizeof reply));
  daemon.join();
  EXPECT_EQ(std::string(reply, 4), "\xA4\x05\x01\x02");
  close(fds[0]);
  close(fds[1]);
  unsetenv("KORVAN_ROOT");
}
