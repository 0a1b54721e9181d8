// Shared set-up of the daemon-link unit tests: a moved root for the trace log
// (so nothing is written under /usr/app), the daemon port pointed at a test
// daemon, and readers for what a builder wrote.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "store/myerr.h"
#include "util/paths.h"

namespace korvantest {

// Sets KORVAN_ROOT to a fresh directory holding the trace log's folder, and
// removes both again.
class ScopedRoot {
 public:
  ScopedRoot() {
    char tmpl[] = "/tmp/korvan-daemon-XXXXXX";
    const char* made = mkdtemp(tmpl);
    EXPECT_NE(made, nullptr);
    dir_ = made ? made : "";
    setenv("KORVAN_ROOT", dir_.c_str(), 1);
    std::filesystem::create_directories(
        std::filesystem::path(korvan::resolvePath(korvan::kTraceLogPath)).parent_path());
  }
  ~ScopedRoot() {
    unsetenv("KORVAN_ROOT");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  ScopedRoot(const ScopedRoot&) = delete;
  ScopedRoot& operator=(const ScopedRoot&) = delete;

  const std::string& dir() const { return dir_; }

  // The trace log's whole text ("" when nothing was written).
  std::string traceLog() const {
    std::ifstream in(dir_ + std::string(korvan::kTraceLogPath));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::string dir_;
};

// A connected socket pair: the code under test uses `near`, the test plays
// the daemon on `far`.
class SocketPair {
 public:
  SocketPair() {
    int fds[2];
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    near = fds[0];
    far = fds[1];
  }
  ~SocketPair() {
    if (near >= 0) close(near);
    if (far >= 0) close(far);
  }
  SocketPair(const SocketPair&) = delete;
  SocketPair& operator=(const SocketPair&) = delete;

  // Every byte waiting on `far` now.
  std::vector<uint8_t> sent() const {
    std::vector<uint8_t> out;
    uint8_t buf[256];
    pollfd p = {far, POLLIN, 0};
    while (poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
      ssize_t n = read(far, buf, sizeof buf);
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }
  // Plays the daemon's reply.
  void reply(const std::vector<uint8_t>& bytes) const {
    ASSERT_EQ(write(far, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void closeFar() {
    close(far);
    far = -1;
  }

  int near = -1;
  int far = -1;
};

// Runs `call` and returns the CMyErr it throws; fails the test when it throws
// nothing.
template <typename Call>
CMyErr thrownBy(Call call) {
  try {
    call();
  } catch (const CMyErr& e) {
    return e;
  }
  ADD_FAILURE() << "no CMyErr thrown";
  return CMyErr(CMyErr::err, "<nothing thrown>");
}

}  // namespace korvantest
