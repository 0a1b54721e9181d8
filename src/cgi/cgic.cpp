// The CGI layer: process start-up, the captured environment, URL-encoded form
// decoding, the form entry list with its lookups, and the response header.
// The multipart decoder and the uploaded-file lookups are in multipart.cpp.
#include "cgi/cgic.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "cgi/cgic_entries.h"
#include "util/trace.h"

namespace {

// What every environment string points at when its variable is unset.
char cgiEmptyString[] = "";
// CONTENT_TYPE, cut to the bare media type; the boundary points into it.
char cgiContentTypeData[1024];

constexpr char kUrlEncodedType[] = "application/x-www-form-urlencoded";
constexpr char kMultipartType[] = "multipart/form-data";

// A URL-encoded body is read in pieces of this size, so that a CONTENT_LENGTH
// larger than the body that actually arrives costs no more memory than the body.
constexpr size_t kBodyChunk = 64 * 1024;

char* envOrEmpty(const char* name) {
  char* value = getenv(name);
  return value != nullptr ? value : cgiEmptyString;
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// CONTENT_LENGTH: the leading decimal digits, 0 when there are none; a value
// past INT_MAX is held at INT_MAX (the body then turns out short).
int parseContentLength(const char* text) {
  long long n = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    n = n * 10 + (*text - '0');
    if (n > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(n);
}

// Cuts the parameters off the content type copy and finds the boundary. The
// boundary ends at white space or ";", and may be given as a quoted string.
void splitContentType() {
  char* p = strchr(cgiContentTypeData, ';');
  while (p != nullptr) {
    *p++ = '\0';
    while (isSpace(*p)) ++p;
    if (cgiStrBeginsNc(p, "boundary=")) {
      p += strlen("boundary=");
      if (*p == '"') {
        ++p;
        cgiMultipartBoundary = p;
        p += strcspn(p, "\"");
      } else {
        cgiMultipartBoundary = p;
        while (*p != '\0' && !isSpace(*p) && *p != ';') ++p;
      }
      *p = '\0';
      return;
    }
    p = strchr(p, ';');
  }
}

// Decodes `len` bytes of URL-encoded text: "+" is a space, "%" and two bytes
// are the byte of those hex digits (non-hex digits count as 0), a "%" cut off
// by the end yields nothing. Returns a new NUL-terminated string, or nullptr
// when memory runs out.
char* cgiUnescapeChars(const char* cp, size_t len) {
  char* out = static_cast<char*>(malloc(len + 1));
  if (out == nullptr) return nullptr;
  size_t o = 0;
  for (size_t i = 0; i < len; ++i) {
    const unsigned char c = static_cast<unsigned char>(cp[i]);
    if (c == '+') {
      out[o++] = ' ';
    } else if (c == '%') {
      if (len - i < 3) break;
      const unsigned char hi = static_cast<unsigned char>(cp[i + 1]);
      const unsigned char lo = static_cast<unsigned char>(cp[i + 2]);
      out[o++] = static_cast<char>(cgiHexValue[hi] * 16 + cgiHexValue[lo]);
      i += 2;
    } else {
      out[o++] = static_cast<char>(c);
    }
  }
  out[o] = '\0';
  return out;
}

char* copyText(std::string_view text) {
  char* out = static_cast<char*>(malloc(text.size() + 1));
  if (out == nullptr) return nullptr;
  if (!text.empty()) memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  return out;
}

// Releases the list from `entry` on, deleting temporary files.
void freeList(cgiFormEntry* entry) {
  while (entry != nullptr) {
    cgiFormEntry* next = entry->next;
    if (entry->tfileName != nullptr && entry->tfileName[0] != '\0') unlink(entry->tfileName);
    cgiFreeEntry(entry);
    entry = next;
  }
}

// Frees the entry list when the request entry ends, also by an exception.
struct FreeResourcesOnExit {
  FreeResourcesOnExit() = default;
  FreeResourcesOnExit(const FreeResourcesOnExit&) = delete;
  FreeResourcesOnExit& operator=(const FreeResourcesOnExit&) = delete;
  ~FreeResourcesOnExit() { cgiFreeResources(); }
};

}  // namespace

// ---- Process-wide state ------------------------------------------------------
char* cgiRequestMethod = cgiEmptyString;
char* cgiQueryString = cgiEmptyString;
char* cgiRemoteAddr = cgiEmptyString;
char* cgiContentType = cgiContentTypeData;
char* cgiMultipartBoundary = cgiEmptyString;
int cgiContentLength = 0;
FILE* cgiIn = stdin;
FILE* cgiOut = stdout;
cgiFormEntry* cgiFormEntryFirst = nullptr;
int cgiHexValue[256];

// ---- Entry list ----------------------------------------------------------------
cgiFormEntry* cgiNewEntry(std::string_view attr, std::string_view value, int valueLength,
                          std::string_view fileName, std::string_view contentType,
                          std::string_view tfileName) {
  auto* entry = static_cast<cgiFormEntry*>(calloc(1, sizeof(cgiFormEntry)));
  if (entry == nullptr) return nullptr;
  entry->attr = copyText(attr);
  entry->value = copyText(value);
  entry->valueLength = valueLength;
  entry->fileName = copyText(fileName);
  entry->contentType = copyText(contentType);
  entry->tfileName = copyText(tfileName);
  if (entry->attr == nullptr || entry->value == nullptr || entry->fileName == nullptr ||
      entry->contentType == nullptr || entry->tfileName == nullptr) {
    cgiFreeEntry(entry);
    return nullptr;
  }
  return entry;
}

void cgiFreeEntry(cgiFormEntry* entry) {
  if (entry == nullptr) return;
  free(entry->attr);
  free(entry->value);
  free(entry->fileName);
  free(entry->contentType);
  free(entry->tfileName);
  free(entry);
}

cgiFormEntry** cgiEntryListTail() {
  cgiFormEntry** tail = &cgiFormEntryFirst;
  while (*tail != nullptr) tail = &(*tail)->next;
  return tail;
}

cgiFormEntry* cgiFindEntry(const char* name) {
  if (name == nullptr) return nullptr;
  for (cgiFormEntry* e = cgiFormEntryFirst; e != nullptr; e = e->next) {
    if (strcmp(e->attr, name) == 0) return e;
  }
  return nullptr;
}

void cgiFreeResources() {
  cgiFormEntry* first = cgiFormEntryFirst;
  cgiFormEntryFirst = nullptr;
  freeList(first);
}

// ---- Start-up ------------------------------------------------------------------
void cgiSetupConstants() {
  for (int i = 0; i < 256; ++i) cgiHexValue[i] = 0;
  for (int i = 0; i < 10; ++i) cgiHexValue['0' + i] = i;
  for (int i = 0; i < 6; ++i) {
    cgiHexValue['A' + i] = 10 + i;
    cgiHexValue['a' + i] = 10 + i;
  }
}

void cgiCaptureEnvironment() {
  cgiRequestMethod = envOrEmpty("REQUEST_METHOD");
  cgiQueryString = envOrEmpty("QUERY_STRING");
  cgiRemoteAddr = envOrEmpty("REMOTE_ADDR");

  const char* contentType = envOrEmpty("CONTENT_TYPE");
  const size_t typeLength = std::min(strlen(contentType), sizeof(cgiContentTypeData) - 1);
  memcpy(cgiContentTypeData, contentType, typeLength);
  cgiContentTypeData[typeLength] = '\0';
  cgiContentType = cgiContentTypeData;
  cgiMultipartBoundary = cgiEmptyString;
  splitContentType();

  cgiContentLength = parseContentLength(envOrEmpty("CONTENT_LENGTH"));

  cgiFreeResources();
  cgiIn = stdin;
  cgiOut = stdout;
}

int cgicRunWith(int (*entry)()) {
  setLog(144, "cgic main enter....");
  cgiSetupConstants();
  cgiCaptureEnvironment();
  setLog(222, cgiRequestMethod);

  cgiParseResultType result = cgiParseSuccess;
  if (cgiStrEqNc(cgiRequestMethod, "post")) {
    if (cgiStrEqNc(cgiContentType, kUrlEncodedType)) {
      result = cgiParsePostFormInput();
    } else if (cgiStrEqNc(cgiContentType, kMultipartType)) {
      result = cgiParsePostMultipartInput();
    }
  } else if (cgiStrEqNc(cgiRequestMethod, "get")) {
    setLog(242, "get cgiRequestMethod");
    result = cgiParseGetFormInput();
  }
  if (result != cgiParseSuccess) {
    cgiFreeResources();
    return -1;
  }

  setLog(312, "before cgiMain()");
  FreeResourcesOnExit freeOnExit;
  // An exception that left the entry would end the process without
  // unwinding, leaving the uploads' temporary files behind.
  try {
    return entry();
  } catch (...) {
    setLog(313, "cgiMain ended by an exception");
    return -1;
  }
}

// ---- URL-encoded input -----------------------------------------------------------
cgiParseResultType cgiParseFormInput(char* data, int length) {
  if (data == nullptr || length <= 0) return cgiParseSuccess;
  cgiFormEntry** tail = cgiEntryListTail();
  const char* const end = data + length;
  const char* pos = data;
  while (pos < end) {
    const auto* eq = static_cast<const char*>(memchr(pos, '=', end - pos));
    if (eq == nullptr) break;
    const char* valueStart = eq + 1;
    const auto* amp = static_cast<const char*>(memchr(valueStart, '&', end - valueStart));
    const char* valueEnd = amp != nullptr ? amp : end;

    char* attr = cgiUnescapeChars(pos, eq - pos);
    char* value = cgiUnescapeChars(valueStart, valueEnd - valueStart);
    cgiFormEntry* entry = nullptr;
    if (attr != nullptr && value != nullptr) {
      const size_t valueLength = strlen(value);
      entry = cgiNewEntry(attr, std::string_view(value, valueLength), static_cast<int>(valueLength),
                          "", "", "");
    }
    free(attr);
    free(value);
    if (entry == nullptr) return cgiParseMemory;
    *tail = entry;
    tail = &entry->next;

    if (amp == nullptr) break;
    pos = amp + 1;
  }
  return cgiParseSuccess;
}

cgiParseResultType cgiParseGetFormInput() {
  const size_t length = strlen(cgiQueryString);
  if (length > static_cast<size_t>(INT_MAX)) return cgiParseMemory;
  cgiContentLength = static_cast<int>(length);
  return cgiParseFormInput(cgiQueryString, cgiContentLength);
}

cgiParseResultType cgiParsePostFormInput() {
  if (cgiContentLength <= 0) return cgiParseSuccess;
  const size_t total = static_cast<size_t>(cgiContentLength);
  std::string body;
  try {
    while (body.size() < total) {
      const size_t have = body.size();
      const size_t want = std::min(kBodyChunk, total - have);
      body.resize(have + want);
      const size_t got = fread(&body[have], 1, want, cgiIn);
      if (got < want) return cgiParseIO;
    }
  } catch (const std::bad_alloc&) {
    return cgiParseMemory;
  }
  return cgiParseFormInput(body.data(), cgiContentLength);
}

// ---- Text comparison -------------------------------------------------------------
int cgiStrEqNc(const char* s1, const char* s2) {
  for (;; ++s1, ++s2) {
    if (lowerAscii(*s1) != lowerAscii(*s2)) return 0;
    if (*s1 == '\0') return 1;
  }
}

int cgiStrBeginsNc(const char* s1, const char* s2) {
  for (; *s2 != '\0'; ++s1, ++s2) {
    if (lowerAscii(*s1) != lowerAscii(*s2)) return 0;
  }
  return 1;
}

// ---- Lookups ---------------------------------------------------------------------
cgiFormResultType cgiFormStringNoNewlines(const char* name, char* result, int max) {
  const cgiFormEntry* entry = cgiFindEntry(name);
  if (entry == nullptr) {
    if (result != nullptr && max > 0) result[0] = '\0';
    return cgiFormNotFound;
  }
  if (result == nullptr || max <= 0) return cgiFormTruncated;
  int copied = 0;
  for (const char* p = entry->value; *p != '\0'; ++p) {
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
  return cgiFindEntry(name) != nullptr ? cgiFormSuccess : cgiFormNotFound;
}

// ---- Response ---------------------------------------------------------------------
void cgiHeaderContentType(const char* mediaType) {
  fprintf(cgiOut, "Content-type: %s\r\n\r\n", mediaType != nullptr ? mediaType : "");
}
