#include "util/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace korvan {

TempFile::~TempFile() { discard(); }

bool TempFile::create(std::string pattern) {
  discard();
  path_ = std::move(pattern);
  const int fd = mkstemp(path_.data());
  if (fd < 0) {
    path_.clear();
    return false;
  }
  if (fchmod(fd, S_IRUSR | S_IWUSR) != 0) {
    ::close(fd);
    return false;
  }
  file_ = fdopen(fd, "w+b");
  if (file_ == nullptr) {
    ::close(fd);
    return false;
  }
  return true;
}

bool TempFile::closeFile() {
  if (file_ == nullptr) return true;
  const int rc = fclose(file_);
  file_ = nullptr;
  return rc == 0;
}

bool TempFile::renameTo(const std::string& destination) {
  if (rename(path_.c_str(), destination.c_str()) != 0) return false;
  path_.clear();
  return true;
}

void TempFile::discard() {
  if (file_ != nullptr) fclose(file_);
  file_ = nullptr;
  if (!path_.empty()) unlink(path_.c_str());
  path_.clear();
}

}  // namespace korvan
