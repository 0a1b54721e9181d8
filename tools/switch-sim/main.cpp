// switch-sim: a stand-in for the switch daemon, for development and tests.
// See options.cpp for the command line.
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "options.h"
#include "server.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  std::optional<switchsim::Options> options = switchsim::parseOptions(args, error);
  if (!options) {
    if (!error.empty()) fprintf(stderr, "switch-sim: %s\n", error.c_str());
    fputs(switchsim::kUsage, error.empty() ? stdout : stderr);
    return error.empty() ? 0 : 2;
  }

  // The signals are taken only while the server waits, so none is lost
  // between its checks.
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  sigaddset(&blocked, SIGUSR1);
  sigprocmask(SIG_BLOCK, &blocked, nullptr);
  switchsim::installSignalHandlers();

  switchsim::Server server(*options);
  if (!server.start()) return 1;
  printf("port %d\n", server.port());
  fflush(stdout);
  server.run();
  return 0;
}
