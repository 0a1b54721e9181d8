// Spool files: where the body of an uploaded file part lies while its request
// runs. Each is a private file named "cgic" and six random characters in the
// spool folder, held by an exclusive flock for as long as its owner lives.
// A spool whose request was killed is left behind unheld; a later transfer
// removes it (removeAbandonedSpools), never one that a live request holds.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace korvan {

// The spool folder: /tmp, or KORVAN_SPOOL_DIR when that is set and not empty
// (a test seam; nothing else reads that variable).
std::string spoolDir();

// Bytes an unprivileged process may still write in the spool folder's file
// system; nullopt when that cannot be told.
std::optional<unsigned long long> spoolFreeBytes();

// Removes every unheld spool file of the spool folder.
void removeAbandonedSpools();

// One spool file, removed (then let go) when its owner goes.
class SpoolFile {
 public:
  SpoolFile() = default;
  ~SpoolFile() { reset(); }
  SpoolFile(SpoolFile&& other) noexcept;
  SpoolFile& operator=(SpoolFile&& other) noexcept;
  SpoolFile(const SpoolFile&) = delete;
  SpoolFile& operator=(const SpoolFile&) = delete;

  // Makes a new, empty, locked spool file, mode 0600. False when it cannot be
  // made; nothing is then left on disk.
  bool create();
  // Opens the spool for writing its content; nullptr on failure. Closing the
  // stream keeps the lock.
  FILE* openForWriting() const;
  // The file's path; empty when there is no file.
  const std::string& path() const { return path_; }
  // Removes the file and lets go of it.
  void reset();

 private:
  std::string path_;
  int lock_ = -1;  // the descriptor that holds the flock
};

}  // namespace korvan
