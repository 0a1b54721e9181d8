// Owners of open files and temporary files: each closes or removes what it
// holds when it goes, so that no way out of a function leaves a descriptor
// open or a temporary file behind.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace korvan {

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};

// An open stdio file, closed with its owner.
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// A temporary file: made private to its owner, open for writing and reading,
// and removed (after closing it) when the object goes, unless it was renamed
// into place or handed over.
class TempFile {
 public:
  TempFile() = default;
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Makes a new file from the mkstemp() template `pattern` (ending in
  // "XXXXXX"), mode 0600. False when it cannot be made or opened; what was
  // made is then removed with the object.
  bool create(std::string pattern);

  FILE* file() const { return file_; }
  const std::string& path() const { return path_; }

  // Closes the file, keeping it on disk. False when its last bytes failed.
  bool closeFile();
  // Renames the file to `destination`, after which it is no longer removed.
  // False, keeping the file where it was, when the rename fails.
  bool renameTo(const std::string& destination);
  // Closes and removes the file now.
  void discard();
  // The file now belongs to someone else: it is no longer removed here.
  void release() { path_.clear(); }

 private:
  FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace korvan
