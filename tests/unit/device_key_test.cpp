// The device key file and the secrets sealed with it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <fstream>
#include <set>

#include "testroot.h"
#include "util/device_key.h"
#include "util/myerr.h"

namespace {

struct KeyRoot {
  korvantest::TempRoot root;
  std::string keyPath;
  KeyRoot() {
    setenv("KORVAN_ROOT", root.dir().c_str(), 1);
    keyPath = root.path("usr/app/korvan.key");
  }
  ~KeyRoot() { unsetenv("KORVAN_ROOT"); }
};

TEST(DeviceKey, CreatedOnceOwnerOnlyAndSharedByRacingProcesses) {
  KeyRoot r;
  // Eight processes ask for the key at once: exactly one file comes of it,
  // and every process got the key that file holds.
  constexpr int kProcs = 8;
  int fds[kProcs][2];
  for (auto& fd : fds) {
    ASSERT_EQ(pipe(fd), 0);
    if (fork() == 0) {
      std::string key;
      try {
        key = korvan::deviceKey();
      } catch (...) {
      }
      ssize_t n = write(fd[1], key.data(), key.size());
      _exit(n == static_cast<ssize_t>(korvan::kDeviceKeyBytes) ? 0 : 1);
    }
    close(fd[1]);
  }
  std::set<std::string> seen;
  for (auto& fd : fds) {
    std::string key(64, '\0');
    ssize_t n = read(fd[0], key.data(), key.size());
    close(fd[0]);
    ASSERT_EQ(n, static_cast<ssize_t>(korvan::kDeviceKeyBytes));
    key.resize(static_cast<size_t>(n));
    seen.insert(key);
  }
  for (int i = 0; i < kProcs; ++i) {
    int status = 0;
    wait(&status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(korvan::deviceKey(), *seen.begin());
  struct stat st {};
  ASSERT_EQ(stat(r.keyPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_size, static_cast<off_t>(korvan::kDeviceKeyBytes));
  // No temporary file is left beside it.
  EXPECT_EQ(std::system(("test $(ls '" + r.root.dir() + "/usr/app' | grep -c korvan.key) -eq 1").c_str()), 0);
}

TEST(DeviceKey, ADamagedKeyIsAnErrorNeverReplaced) {
  for (const std::string& content : {std::string(), std::string(31, 'k'), std::string(33, 'k')}) {
    KeyRoot r;
    { std::ofstream(r.keyPath, std::ios::binary) << content; }
    EXPECT_THROW(korvan::deviceKey(), CMyErr) << content.size() << " bytes";
    EXPECT_THROW(korvan::sealSecret("x", "c"), CMyErr);
    std::ifstream in(r.keyPath, std::ios::binary);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, content);
  }
}

TEST(DeviceKey, ASealedSecretOpensOnlyWithItsKeyAndContext) {
  KeyRoot r;
  const std::string secret = std::string("bind pw \0 with a nul", 20);
  const std::string sealed = korvan::sealSecret(secret, "ldap:bind");
  EXPECT_EQ(sealed.find("bind pw"), std::string::npos);
  EXPECT_EQ(korvan::openSecret(sealed, "ldap:bind"), secret);
  EXPECT_EQ(korvan::openSecret(korvan::sealSecret("", "c"), "c"), std::string());
  // Two seals of one secret differ (fresh nonce), both open.
  const std::string again = korvan::sealSecret(secret, "ldap:bind");
  EXPECT_NE(again, sealed);
  EXPECT_EQ(korvan::openSecret(again, "ldap:bind"), secret);

  std::string flipped = sealed;
  flipped[10] = flipped[10] == 'A' ? 'B' : 'A';
  const std::pair<std::string, std::string> refused[] = {
      {sealed, "totp:1"},                          // another context
      {flipped, "ldap:bind"},                      // altered
      {sealed.substr(0, sealed.size() - 4), "ldap:bind"},  // cut short
      {"plain text", "ldap:bind"},                 // never sealed
      {"k1:", "ldap:bind"},
      {"k1:!!!!", "ldap:bind"},
  };
  for (const auto& [value, context] : refused)
    EXPECT_EQ(korvan::openSecret(value, context), std::nullopt) << value << " / " << context;

  // Another device: a new key opens nothing sealed under the old one.
  ASSERT_EQ(unlink(r.keyPath.c_str()), 0);
  EXPECT_EQ(korvan::openSecret(sealed, "ldap:bind"), std::nullopt);
}

}  // namespace
