// The local reboot, run in a child process under a moved root whose reboot
// program only leaves a mark.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <fstream>
#include <sstream>
#include <string>

#include "daemon/reboot.h"
#include "daemon_test_env.h"

namespace korvantest {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs localReboot() in a child whose working directory is `dir`; returns the
// child's exit status (3 when localReboot returned false).
int rebootInChild(const std::string& dir) {
  if (korvan::resolvePath(korvan::kRebootPath) == korvan::kRebootPath) {
    ADD_FAILURE() << "refusing to run the machine's own reboot";
    return -1;
  }
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(4);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    dup2(devnull, STDERR_FILENO);
    bool started = localReboot();
    _exit(started ? 5 : 3);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DaemonReboot, RunsThePipelineThenBecomesTheRebootProgram) {
  ScopedRoot root;
  const std::string program = korvan::resolvePath(korvan::kRebootPath);
  const std::string marks = root.dir() + "/marks";
  mkdir((root.dir() + "/sbin").c_str(), 0755);
  {
    std::ofstream script(program);
    script << "#!/bin/sh\n"
           << "echo \"args=$#\" >> " << marks << "\n"
           << "echo \"reboot output\"\n"
           << "exit 7\n";
  }
  chmod(program.c_str(), 0755);

  // The exit status is the reboot program's own: the process was replaced.
  EXPECT_EQ(rebootInChild(root.dir()), 7);
  // Run twice, both times without arguments: once in the pipeline, once by
  // replacing the process.
  EXPECT_EQ(readFile(marks), "args=0\nargs=0\n");
  // The pipeline's output went to xxx.log in the working directory.
  EXPECT_EQ(readFile(root.dir() + "/xxx.log"), "reboot output\n");
}

TEST(DaemonReboot, ReturnsFalseWhenTheRebootProgramIsMissing) {
  ScopedRoot root;
  EXPECT_EQ(rebootInChild(root.dir()), 3);
}

}  // namespace
}  // namespace korvantest
