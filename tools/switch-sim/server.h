// The simulator's server: one poll loop that serves every connection at once,
// frames requests by their length byte, answers them as the options say and
// keeps the switch state. The program runs it on its main thread; tests run
// it on a thread of their own, record what arrives through the observers and
// change the behaviours while it serves.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>

#include "options.h"
#include "state.h"

namespace switchsim {

class Server {
 public:
  explicit Server(Options options) : options_(std::move(options)) {}
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds 127.0.0.1 and opens the log; false with a message on stderr when
  // either fails. port() is valid afterwards.
  bool start();
  int port() const { return port_; }
  // Serves until SIGINT, SIGTERM or stop(). The signals SIGINT, SIGTERM and
  // SIGUSR1 must be blocked by the caller when it relies on them; they are
  // taken only while waiting.
  void run();
  // Ends run() from another thread; safe to call at any time after start().
  void stop();

  // Replaces how packets of `type` are answered; safe while run() serves.
  void setBehaviour(uint8_t type, const Behaviour& behaviour);

  // Observers, set before run(): every accepted connection, and every request
  // as received (a well-formed packet, or the bytes of a connection dropped
  // for garbage or closed in the middle of a packet).
  std::function<void()> onAccept;
  std::function<void(const Bytes&)> onPacket;

 private:
  using Clock = std::chrono::steady_clock;

  struct Pending {
    Bytes reply;
    Behaviour behaviour;
    Clock::time_point due;
  };
  struct Conn {
    int id = 0;
    Bytes in;
    bool hasPending = false;
    Pending pending;
  };

  void acceptOne();
  // Reads what is waiting; false when the connection must be dropped.
  bool readFrom(int fd, Conn& conn);
  // Handles every complete request in the buffer; false to drop.
  bool handleInput(int fd, Conn& conn);
  void handlePacket(Conn& conn, const Bytes& packet);
  // Sends, cuts short or closes as the pending reply says; false to drop.
  bool finish(int fd, Conn& conn);
  void drop(int fd);
  Behaviour behaviourFor(uint8_t type);
  void notePacket(const Bytes& bytes);
  void logLine(const std::string& line);
  void writeState();
  void printState();

  Options options_;
  std::mutex behavioursMutex_;  // guards options_.behaviours
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  int port_ = 0;
  int nextConnId_ = 1;
  FILE* log_ = nullptr;
  bool ownLog_ = false;
  std::map<int, Conn> conns_;  // by descriptor
  SwitchState state_;
};

// Installs the handlers of SIGINT and SIGTERM (stop), SIGUSR1 (print the
// state) and ignores SIGPIPE.
void installSignalHandlers();

}  // namespace switchsim
