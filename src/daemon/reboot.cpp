#include "daemon/reboot.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "util/paths.h"

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

}  // namespace

bool localReboot() {
  const std::string rebootPath = korvan::resolvePath(korvan::kRebootPath);
  // On the device the command is plain "reboot", found on the shell's path;
  // a moved root (tests, development runs) names its own reboot program.
  const bool moved = rebootPath != korvan::kRebootPath;
  const std::string command = (moved ? shellQuoted(rebootPath) : std::string("reboot")) +
                              " 2>&1 | tee -a xxx.log";
  int status = std::system(command.c_str());
  (void)status;  // the reboot below follows whatever the pipeline did
  execl(rebootPath.c_str(), "reboot", static_cast<char*>(nullptr));
  return false;
}
