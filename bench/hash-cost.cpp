// The time and memory of one password hash for each libxcrypt method and
// cost that could store the program's passwords: yescrypt ("$y$") and bcrypt
// ("$2b$"). Each setting is measured in a child process of its own, so that
// its peak resident memory is its own. Built and run by bench/hash-cost.
#include <crypt.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kRounds = 7;

void measure(const char* method, unsigned long cost) {
  const pid_t child = fork();
  if (child != 0) {
    waitpid(child, nullptr, 0);
    return;
  }
  char setting[CRYPT_GENSALT_OUTPUT_SIZE];
  const char salt[16] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  if (crypt_gensalt_rn(method, cost, salt, sizeof salt, setting, sizeof setting) == nullptr) {
    std::printf("%-4s cost %2lu  refused by the library\n", method, cost);
    std::fflush(stdout);
    _exit(0);
  }
  auto data = std::make_unique<crypt_data>();
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  std::vector<double> ms;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const char* out = crypt_r("correct horse battery", setting, data.get());
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (out == nullptr || out[0] == '*') _exit(1);
  }
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  std::sort(ms.begin(), ms.end());
  std::printf("%-4s cost %2lu  setting %-10.10s  median %7.1f ms  memory added %6ld KiB\n", method,
              cost, setting, ms[kRounds / 2], after.ru_maxrss - before.ru_maxrss);
  std::fflush(stdout);
  _exit(0);
}

}  // namespace

int main() {
  for (unsigned long cost = 1; cost <= 6; ++cost) measure("$y$", cost);
  for (unsigned long cost = 8; cost <= 12; ++cost) measure("$2b$", cost);
  return 0;
}
