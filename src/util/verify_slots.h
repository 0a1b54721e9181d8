// The bound on password verifications running at once. Each costs tens of
// milliseconds of CPU and some memory on purpose; a burst of logins must not
// run the device out of either. A verification holds one of kVerifySlots
// byte locks of one file beside the database (fcntl record locks, so a
// process that dies frees its slot); when all are held the login is refused
// at once with kVerifyBusy rather than queued.
#pragma once

#include <string_view>

namespace korvan {

inline constexpr int kVerifySlots = 4;
inline constexpr std::string_view kVerifySlotsPath = "/usr/app/korvan.verify";
inline constexpr const char* kVerifyBusy = "busy, try again";

// Holds one slot for its lifetime. Throws CMyErr(err, kVerifyBusy) when every
// slot is held, CMyErr(err) when the file cannot be opened.
class VerifySlot {
 public:
  VerifySlot();
  ~VerifySlot();
  VerifySlot(const VerifySlot&) = delete;
  VerifySlot& operator=(const VerifySlot&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace korvan
