#include "form/spool.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace korvan {

namespace {

constexpr char kPrefix[] = "cgic";
constexpr size_t kRandomPart = 6;  // what mkstemp puts in place of "XXXXXX"

}  // namespace

std::string spoolDir() {
  const char* dir = getenv("KORVAN_SPOOL_DIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

std::optional<unsigned long long> spoolFreeBytes() {
  struct statvfs fs {};
  if (statvfs(spoolDir().c_str(), &fs) != 0) return std::nullopt;
  return static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
}

void removeAbandonedSpools() {
  const std::string dir = spoolDir();
  std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(dir.c_str()), closedir);
  if (!listing) return;
  while (const dirent* entry = readdir(listing.get())) {
    const size_t length = strlen(entry->d_name);
    if (length != sizeof kPrefix - 1 + kRandomPart ||
        strncmp(entry->d_name, kPrefix, sizeof kPrefix - 1) != 0) {
      continue;
    }
    const std::string path = dir + "/" + entry->d_name;
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    // Only this program's plain files; the lock of a live request is what
    // keeps its spool.
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
        flock(fd, LOCK_EX | LOCK_NB) == 0) {
      unlink(path.c_str());
    }
    close(fd);
  }
}

SpoolFile::SpoolFile(SpoolFile&& other) noexcept
    : path_(std::move(other.path_)), lock_(std::exchange(other.lock_, -1)) {
  other.path_.clear();
}

SpoolFile& SpoolFile::operator=(SpoolFile&& other) noexcept {
  if (this != &other) {
    reset();
    path_ = std::move(other.path_);
    other.path_.clear();
    lock_ = std::exchange(other.lock_, -1);
  }
  return *this;
}

bool SpoolFile::create() {
  reset();
  // Another request's sweep may remove a new file before it is locked here:
  // such a file is let go and another made.
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::string path = spoolDir() + "/" + kPrefix + "XXXXXX";
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fchmod(fd, S_IRUSR | S_IWUSR) != 0 || flock(fd, LOCK_EX) != 0 || fstat(fd, &st) != 0) {
      unlink(path.c_str());
      close(fd);
      return false;
    }
    if (st.st_nlink > 0) {
      path_ = std::move(path);
      lock_ = fd;
      return true;
    }
    close(fd);
  }
  return false;
}

FILE* SpoolFile::openForWriting() const {
  if (lock_ < 0) return nullptr;
  // Close-on-exec like the lock itself: no child may keep a spool held.
  const int fd = fcntl(lock_, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, "wb");
  if (file == nullptr) close(fd);
  return file;
}

void SpoolFile::reset() {
  // Removed before it is let go, so that no sweep finds it unheld.
  if (!path_.empty()) unlink(path_.c_str());
  if (lock_ >= 0) close(lock_);
  path_.clear();
  lock_ = -1;
}

}  // namespace korvan
