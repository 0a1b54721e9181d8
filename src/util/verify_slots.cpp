#include "util/verify_slots.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "util/myerr.h"
#include "util/paths.h"

namespace korvan {

namespace {

// Tries the write lock on byte `slot`; true when it was taken.
bool lockByte(int fd, int slot) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = slot;
  lock.l_len = 1;
  for (;;) {
    if (fcntl(fd, F_SETLK, &lock) == 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace

VerifySlot::VerifySlot() {
  const std::string path = resolvePath(kVerifySlotsPath);
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) throw CMyErr(CMyErr::err, "cannot open the verification slots: " + path);
  for (int slot = 0; slot < kVerifySlots; ++slot) {
    // The lock is released when the descriptor closes.
    if (lockByte(fd_, slot)) return;
  }
  close(fd_);
  fd_ = -1;
  throw CMyErr(CMyErr::err, kVerifyBusy);
}

VerifySlot::~VerifySlot() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace korvan
