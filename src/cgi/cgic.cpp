// The CGI layer: process start-up with its body limits, and the lookups and
// response header over the process's one Form.
#include "cgi/cgic.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "cgi/reply.h"
#include "form/spool.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

constexpr char kUrlEncodedType[] = "application/x-www-form-urlencoded";
constexpr char kMultipartType[] = "multipart/form-data";

// The largest body taken that is not an upload: a call's document is far
// smaller, and an URL-encoded body is held whole while it is decoded.
constexpr unsigned long long kMaxPlainBody = korvan::kMaxFieldBytes;
// Room an upload must leave on the spool folder's file system, for the
// uploads and database writes of other requests.
constexpr unsigned long long kSpoolReserve = 4 * 1024 * 1024;

korvan::CgiEnvironment& environment() {
  static korvan::CgiEnvironment env;
  return env;
}

// Deletes the spool files when the request entry ends, also by an exception.
struct FreeResourcesOnExit {
  FreeResourcesOnExit() = default;
  FreeResourcesOnExit(const FreeResourcesOnExit&) = delete;
  FreeResourcesOnExit& operator=(const FreeResourcesOnExit&) = delete;
  ~FreeResourcesOnExit() { cgiFreeResources(); }
};

// The handles cgiFormFileOpen gave out; each is released by cgiFormFileClose,
// or with the process.
std::vector<std::unique_ptr<cgiFile>>& openFiles() {
  static std::vector<std::unique_ptr<cgiFile>> files;
  return files;
}

void writeTooLargeStatus() { fputs("Status: 413 Payload Too Large\r\n", cgiOut); }

// A body refused unread: the reply the request would have got in its form.
void refuseBody() {
  writeTooLargeStatus();
  cgiHeaderContentType("text/html;charset=utf-8");
  Json::Value reply;
  setErrorReply(reply, CMyErr(CMyErr::err, "request too large"));
  writeJsonReply(reply);
}

void refuseUpload() {
  writeTooLargeStatus();
  cgiHeaderContentType("text/html;charset=utf-8");
  fputs("upload too large \n", cgiOut);
}

bool uploadFits(unsigned long long declared) {
  const std::optional<unsigned long long> free = korvan::spoolFreeBytes();
  // When the free space cannot be told, a full disk fails the decoding.
  if (!free) return true;
  return *free > kSpoolReserve && declared <= *free - kSpoolReserve;
}

}  // namespace

// ---- Process-wide state ------------------------------------------------------
const char* cgiRemoteAddr = "";
const char* cgiRequestMethod = "";
FILE* cgiIn = stdin;
FILE* cgiOut = stdout;

korvan::Form& requestForm() {
  static korvan::Form form;
  return form;
}

void cgiFreeResources() { requestForm().clear(); }

// ---- Start-up ------------------------------------------------------------------
int cgicRunWith(int (*entry)()) {
  // Before anything is created: the trace log, spools and uploads are the
  // device's own.
  umask(077);
  setLog(trace::kCgicEnter, "cgic main enter....");
  korvan::CgiEnvironment& env = environment();
  env = korvan::CgiEnvironment::capture();
  cgiRemoteAddr = env.remoteAddr.c_str();
  cgiRequestMethod = env.requestMethod.c_str();
  cgiFreeResources();
  cgiIn = stdin;
  cgiOut = stdout;
  setLog(trace::kRequestMethod, env.requestMethod.c_str());

  korvan::Form& form = requestForm();
  korvan::ParseResult result = korvan::ParseResult::kSuccess;
  if (korvan::equalsNoCase(env.requestMethod, "post")) {
    const bool multipart = korvan::equalsNoCase(env.mediaType, kMultipartType);
    if (multipart ? !uploadFits(env.declaredLength) : env.declaredLength > kMaxPlainBody) {
      multipart ? refuseUpload() : refuseBody();
      fflush(cgiOut);
      return 0;
    }
    if (multipart) {
      result = form.parseMultipart(cgiIn, env.contentLength, env.boundary);
    } else if (korvan::equalsNoCase(env.mediaType, kUrlEncodedType)) {
      result = form.parseUrlEncodedBody(cgiIn, env.contentLength);
    }
  } else if (korvan::equalsNoCase(env.requestMethod, "get")) {
    setLog(trace::kRequestMethodRead, "get cgiRequestMethod");
    result = form.parsePairs(env.queryString);
  }
  if (result == korvan::ParseResult::kTooLarge) {
    // The fields of a multipart body passed the bound of a plain body: the
    // rest is left unread, as a plain body over it would be.
    cgiFreeResources();
    refuseBody();
    fflush(cgiOut);
    return 0;
  }
  if (result != korvan::ParseResult::kSuccess) {
    cgiFreeResources();
    return -1;
  }

  setLog(trace::kBeforeCgiMain, "before cgiMain()");
  FreeResourcesOnExit freeOnExit;
  // An exception that left the entry would end the process without
  // unwinding, leaving the spool files behind.
  try {
    return entry();
  } catch (...) {
    setLog(trace::kCgiMainException, "cgiMain ended by an exception");
    return -1;
  }
}

// ---- Lookups ---------------------------------------------------------------------
cgiFormResultType cgiFormStringNoNewlines(const char* name, char* result, int max) {
  const korvan::FormEntry* entry = name != nullptr ? requestForm().find(name) : nullptr;
  if (entry == nullptr) {
    if (result != nullptr && max > 0) result[0] = '\0';
    return cgiFormNotFound;
  }
  if (result == nullptr || max <= 0) return cgiFormTruncated;
  int copied = 0;
  for (const char* p = entry->value.c_str(); *p != '\0'; ++p) {
    if (*p == '\r' || *p == '\n') continue;
    if (copied == max - 1) {
      result[copied] = '\0';
      return cgiFormTruncated;
    }
    result[copied++] = *p;
  }
  result[copied] = '\0';
  return copied > 0 ? cgiFormSuccess : cgiFormEmpty;
}

cgiFormResultType cgiFormCheckboxSingle(const char* name) {
  return name != nullptr && requestForm().find(name) != nullptr ? cgiFormSuccess : cgiFormNotFound;
}

cgiFormResultType cgiFormFileName(const char* name, char* result, int max) {
  const korvan::FormEntry* entry = name != nullptr ? requestForm().find(name) : nullptr;
  const std::string empty;
  const std::string& fileName = entry != nullptr ? entry->fileName : empty;
  bool truncated = false;
  if (result != nullptr && max > 0) {
    size_t copy = fileName.size();
    if (copy > static_cast<size_t>(max - 1)) {
      copy = static_cast<size_t>(max - 1);
      truncated = true;
    }
    memcpy(result, fileName.data(), copy);
    result[copy] = '\0';
  } else {
    truncated = !fileName.empty();
  }
  if (entry == nullptr) return cgiFormNotFound;
  if (fileName.empty()) return cgiFormNoFileName;
  return truncated ? cgiFormTruncated : cgiFormSuccess;
}

cgiFormResultType cgiFormFileOpen(const char* name, cgiFile** cfpp) {
  if (cfpp == nullptr) return cgiFormOpenFailed;
  *cfpp = nullptr;
  const korvan::FormEntry* entry = name != nullptr ? requestForm().find(name) : nullptr;
  if (entry == nullptr) return cgiFormNotFound;
  if (entry->tfileName().empty()) return cgiFormNotAFile;
  try {
    auto handle = std::make_unique<cgiFile>();
    handle->in.reset(fopen(entry->tfileName().c_str(), "rb"));
    if (!handle->in) return cgiFormIO;
    openFiles().push_back(std::move(handle));
  } catch (const std::bad_alloc&) {
    return cgiFormMemory;
  }
  *cfpp = openFiles().back().get();
  return cgiFormSuccess;
}

cgiFormResultType cgiFormFileRead(cgiFile* cfp, char* buffer, int bufferSize, int* gotP) {
  if (cfp == nullptr || !cfp->in) return cgiFormOpenFailed;
  if (gotP != nullptr) *gotP = 0;
  if (buffer == nullptr || bufferSize <= 0) return cgiFormEOF;
  const size_t got = fread(buffer, 1, static_cast<size_t>(bufferSize), cfp->in.get());
  if (got == 0) return cgiFormEOF;
  if (gotP != nullptr) *gotP = static_cast<int>(got);
  return cgiFormSuccess;
}

cgiFormResultType cgiFormFileClose(cgiFile* cfp) {
  auto& files = openFiles();
  const auto it = std::find_if(files.begin(), files.end(),
                               [cfp](const std::unique_ptr<cgiFile>& f) { return f.get() == cfp; });
  if (cfp == nullptr || it == files.end()) return cgiFormOpenFailed;
  files.erase(it);
  return cgiFormSuccess;
}

// ---- Response ---------------------------------------------------------------------
void cgiHeaderContentType(const char* mediaType) {
  fprintf(cgiOut, "Content-type: %s\r\n\r\n", mediaType != nullptr ? mediaType : "");
}
