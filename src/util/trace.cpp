// The trace log, opened and closed for every record so that concurrent
// processes append whole lines.
#include "util/trace.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "util/paths.h"

namespace {

constexpr off_t kTraceLogLimit = 1024 * 1024;

// Keeps the log below its limit: a record that would take it past the limit
// first moves the file aside to log.txt.1 (replacing an older one).
void rotateIfFull(const std::string& path, size_t recordSize) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return;
  if (st.st_size + static_cast<off_t>(recordSize) <= kTraceLogLimit) return;
  std::rename(path.c_str(), (path + ".1").c_str());
}

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
  std::string record =
      std::to_string(line) + "_Time:" + timeText + "Msg:::" + (msg ? msg : "") + "\n";
  const std::string path = korvan::resolvePath(korvan::kTraceLogPath);
  rotateIfFull(path, record.size());
  FILE* f = fopen(path.c_str(), "a+");
  if (f == nullptr) return;
  fwrite(record.data(), 1, record.size(), f);
  fclose(f);
}
