// The trace log. Each process keeps the file open from its first record to
// its exit and appends every record with one write: with O_APPEND the kernel
// puts each record whole at the end, however many processes write at once.
#include "util/trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "util/paths.h"

namespace {

constexpr off_t kTraceLogLimit = 1024 * 1024;

// The log file this process appends to. It follows the log's path (which a
// test root can change) and the rotation, and is closed when the process
// ends; children started by exec do not inherit it.
class TraceFile {
 public:
  TraceFile() = default;
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;
  ~TraceFile() { reset(); }

  // Appends `record`; a log that cannot be opened drops it. The size is
  // asked of the file when it is opened and when this process's own records
  // would take it past the limit; in between, records of other processes can
  // take it past by what they append meanwhile.
  void append(const std::string& record) {
    const std::string path = korvan::resolvePath(korvan::kTraceLogPath);
    if (fd_ < 0 || path != path_) open(path);
    if (fd_ < 0) return;
    if (size_ + static_cast<off_t>(record.size()) > kTraceLogLimit) {
      struct stat full {};
      if (fstat(fd_, &full) == 0 &&
          full.st_size + static_cast<off_t>(record.size()) > kTraceLogLimit) {
        rotate(full);
        if (fd_ < 0) return;
      }
    }
    const ssize_t written = write(fd_, record.data(), record.size());
    if (written > 0) size_ += written;
  }

 private:
  void open(const std::string& path) {
    reset();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    struct stat opened {};
    if (fd_ >= 0) {
      path_ = path;
      size_ = fstat(fd_, &opened) == 0 ? opened.st_size : 0;
    }
  }

  // Keeps the log below its limit: the full file is moved aside to log.txt.1
  // (replacing an older one) and a new one started. When another process
  // has moved it already, the file at the path is a new one and stays.
  void rotate(const struct stat& full) {
    const std::string path = path_;
    struct stat named {};
    if (stat(path.c_str(), &named) == 0 && named.st_dev == full.st_dev &&
        named.st_ino == full.st_ino) {
      std::rename(path.c_str(), (path + ".1").c_str());
    }
    open(path);
  }

  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    path_.clear();
  }

  int fd_ = -1;
  std::string path_;
  off_t size_ = 0;  // the file's size as this process last knew it
};

TraceFile traceFile;

}  // namespace

void getCurTime_forLog(char* buf) {
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  snprintf(buf, 9, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
}

void setLog(int line, const char* msg) {
  char timeText[9];
  getCurTime_forLog(timeText);
  traceFile.append(std::to_string(line) + "_Time:" + timeText + "Msg:::" + (msg ? msg : "") + "\n");
}
