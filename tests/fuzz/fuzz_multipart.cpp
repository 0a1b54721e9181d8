// Fuzzes the multipart decoder and the uploaded-file lookups.
//
// Input: one control byte, a CONTENT_TYPE line ended by LF, then the body.
// The control byte's bits 0-2 make CONTENT_LENGTH shorter or longer than the
// body, bits 3-7 size the lookup buffers. Every iteration deletes the
// temporary files it made (checked).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cgi/cgic.h"
#include "form/form.h"

namespace {

void check(bool condition) {
  if (!condition) abort();
}

// Reads a whole uploaded file through the lookups; returns its size.
long readUpload(const char* name, int bufferSize) {
  cgiFile* file = nullptr;
  if (cgiFormFileOpen(name, &file) != cgiFormSuccess) {
    check(file == nullptr);
    return -1;
  }
  std::vector<char> buffer(static_cast<size_t>(bufferSize));
  long total = 0;
  int got = 0;
  while (cgiFormFileRead(file, buffer.data(), bufferSize, &got) == cgiFormSuccess) {
    check(got > 0 && got <= bufferSize);
    total += got;
  }
  check(cgiFormFileClose(file) == cgiFormSuccess);
  return total;
}

bool isFirstOfItsName(const korvan::FormEntry& entry) {
  return requestForm().find(entry.attr) == &entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1 << 20) return 0;
  const uint8_t control = data[0];
  const char* rest = reinterpret_cast<const char*>(data + 1);
  const size_t restSize = size - 1;
  const char* newline = static_cast<const char*>(memchr(rest, '\n', restSize));
  if (newline == nullptr) return 0;
  const std::string contentType(rest, newline);
  std::vector<char> body(newline + 1, rest + restSize);
  const int length = static_cast<int>(body.size());
  const int skew = control & 7;
  int contentLength = skew < 4 ? length - skew : length + skew - 3;
  if (contentLength < 0) contentLength = 0;

  setenv("CONTENT_TYPE", contentType.c_str(), 1);
  setenv("CONTENT_LENGTH", std::to_string(contentLength).c_str(), 1);
  const korvan::CgiEnvironment env = korvan::CgiEnvironment::capture();
  FILE* in = body.empty() ? fopen("/dev/null", "rb") : fmemopen(body.data(), body.size(), "rb");
  if (in == nullptr) return 0;

  requestForm().parseMultipart(in, env.contentLength, env.boundary);
  check(ftell(in) <= env.contentLength);

  const int bufferSize = 1 + (control >> 3) * 7;
  std::vector<char> buffer(static_cast<size_t>(bufferSize));
  std::vector<std::string> tempFiles;
  for (const korvan::FormEntry& e : requestForm().entries()) {
    check(e.valueLength >= 0);
    check(e.attr.find('\0') == std::string::npos && e.fileName.find('\0') == std::string::npos);
    const cgiFormResultType named = cgiFormFileName(e.attr.c_str(), buffer.data(), bufferSize);
    check(strlen(buffer.data()) < static_cast<size_t>(bufferSize));
    cgiFormStringNoNewlines(e.attr.c_str(), buffer.data(), bufferSize);
    if (e.tfileName().empty()) {
      check(e.value.size() == static_cast<size_t>(e.valueLength));
    } else {
      tempFiles.push_back(e.tfileName());
      struct stat st {};
      check(stat(e.tfileName().c_str(), &st) == 0 && (st.st_mode & 0777) == 0600);
      check(st.st_size == e.valueLength);
    }
    // The lookups see the first entry of each name.
    if (!isFirstOfItsName(e)) continue;
    check((named == cgiFormNoFileName) == e.fileName.empty());
    const long read = readUpload(e.attr.c_str(), bufferSize);
    check(read == (e.tfileName().empty() ? -1 : e.valueLength));
  }
  cgiFreeResources();
  for (const std::string& path : tempFiles) check(access(path.c_str(), F_OK) != 0);

  fclose(in);
  return 0;
}
