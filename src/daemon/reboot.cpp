#include "daemon/reboot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "util/paths.h"
#include "util/signal_hold.h"

namespace {

// `text` as one shell word between single quotes.
std::string shellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

// Points standard output at /dev/null for its lifetime, then puts it back.
// Standard output carries the HTTP response: what the reboot pipeline prints
// (a shell complaint when there is no reboot program, for one) belongs in
// the reboot log, not in front of the error reply that follows a failed reboot.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && devnull >= 0) dup2(devnull, STDOUT_FILENO);
    if (devnull >= 0) close(devnull);
  }
  ~QuietStdout() {
    if (saved_ < 0) return;
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }
  QuietStdout(const QuietStdout&) = delete;
  QuietStdout& operator=(const QuietStdout&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

bool localReboot() {
  const std::string rebootPath = korvan::resolvePath(korvan::kRebootPath);
  // On the device the command is plain "reboot", found on the shell's path;
  // a moved root (tests, development runs) names its own reboot program.
  const bool moved = rebootPath != korvan::kRebootPath;
  const std::string logPath = korvan::resolvePath(korvan::kRebootLogPath);
  // A moved root may lack the run folder; the device has it.
  for (size_t slash = logPath.find('/', 1); slash != std::string::npos;
       slash = logPath.find('/', slash + 1)) {
    mkdir(logPath.substr(0, slash).c_str(), 0700);
  }
  const std::string command = (moved ? shellQuoted(rebootPath) : std::string("reboot")) +
                              " 2>&1 | tee -a " + shellQuoted(logPath);
  // The reboot command and its pipeline start with the default signal
  // settings: an ignored SIGPIPE or a held SIGTERM would pass to them.
  korvan::restoreDefaultSignals();
  {
    QuietStdout quiet;
    int status = std::system(command.c_str());
    (void)status;  // the reboot below follows whatever the pipeline did
  }
  execl(rebootPath.c_str(), "reboot", static_cast<char*>(nullptr));
  return false;
}
