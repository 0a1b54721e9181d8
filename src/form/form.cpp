// Start-up's reading of the CGI environment, URL-encoded decoding and the
// entry lookup. The multipart decoder is in multipart.cpp.
#include "form/form.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace korvan {

namespace {

// CONTENT_TYPE is kept to this many bytes.
constexpr size_t kContentTypeMax = 1023;

// A URL-encoded body is read in pieces of this size, so that a CONTENT_LENGTH
// larger than the body that actually arrives costs no more memory than the body.
constexpr size_t kBodyChunk = 64 * 1024;

std::string envOrEmpty(const char* name) {
  const char* value = getenv(name);
  return value != nullptr ? value : "";
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The value of a hex digit; every other byte counts 0.
int hexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// `text` up to its first NUL byte.
std::string_view upToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// Unescapes `text` as a name or value of a pair, up to the first NUL byte
// that the unescaping yields.
std::string unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      if (text.size() - i < 3) break;
      out += static_cast<char>(hexValue(static_cast<unsigned char>(text[i + 1])) * 16 +
                               hexValue(static_cast<unsigned char>(text[i + 2])));
      i += 2;
    } else {
      out += c;
    }
  }
  out.resize(upToNul(out).size());
  return out;
}

}  // namespace

CgiEnvironment CgiEnvironment::capture() {
  CgiEnvironment env;
  env.requestMethod = envOrEmpty("REQUEST_METHOD");
  env.queryString = envOrEmpty("QUERY_STRING");
  env.remoteAddr = envOrEmpty("REMOTE_ADDR");
  env.setContentType(envOrEmpty("CONTENT_TYPE"));
  const std::string length = envOrEmpty("CONTENT_LENGTH");
  for (const char c : length) {
    if (c < '0' || c > '9') break;
    const unsigned digit = static_cast<unsigned>(c - '0');
    env.declaredLength = env.declaredLength > (ULLONG_MAX - digit) / 10
                             ? ULLONG_MAX
                             : env.declaredLength * 10 + digit;
  }
  // Past INT_MAX the body turns out short.
  env.contentLength = static_cast<int>(std::min<unsigned long long>(env.declaredLength, INT_MAX));
  return env;
}

void CgiEnvironment::setContentType(std::string_view contentType) {
  contentType = upToNul(contentType.substr(0, kContentTypeMax));
  boundary.clear();
  // Every parameter is cut off the media type; the first boundary= found
  // among them is kept.
  const size_t semicolon = contentType.find(';');
  mediaType = std::string(contentType.substr(0, semicolon));
  size_t p = semicolon;
  while (p != std::string_view::npos) {
    ++p;
    while (p < contentType.size() && isSpace(contentType[p])) ++p;
    const std::string_view rest = contentType.substr(p);
    if (beginsNoCase(rest, "boundary=")) {
      std::string_view value = rest.substr(strlen("boundary="));
      if (!value.empty() && value[0] == '"') {
        value.remove_prefix(1);
        boundary = std::string(value.substr(0, value.find('"')));
      } else {
        size_t end = 0;
        while (end < value.size() && !isSpace(value[end]) && value[end] != ';') ++end;
        boundary = std::string(value.substr(0, end));
      }
      return;
    }
    p = contentType.find(';', p);
  }
}

const FormEntry* Form::find(std::string_view name) const {
  for (const FormEntry& entry : entries_) {
    if (entry.attr == name) return &entry;
  }
  return nullptr;
}

ParseResult Form::parsePairs(std::string_view text) {
  try {
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t eq = text.find('=', pos);
      if (eq == std::string_view::npos) break;
      const size_t amp = text.find('&', eq + 1);
      const size_t valueEnd = amp == std::string_view::npos ? text.size() : amp;
      FormEntry entry;
      entry.attr = unescape(text.substr(pos, eq - pos));
      entry.value = unescape(text.substr(eq + 1, valueEnd - eq - 1));
      entry.valueLength = static_cast<int>(entry.value.size());
      entries_.push_back(std::move(entry));
      if (amp == std::string_view::npos) break;
      pos = amp + 1;
    }
  } catch (const std::bad_alloc&) {
    return ParseResult::kMemory;
  }
  return ParseResult::kSuccess;
}

ParseResult Form::parseUrlEncodedBody(FILE* in, int length) {
  if (length <= 0) return ParseResult::kSuccess;
  const size_t total = static_cast<size_t>(length);
  std::string body;
  try {
    while (body.size() < total) {
      const size_t have = body.size();
      const size_t want = std::min(kBodyChunk, total - have);
      body.resize(have + want);
      const size_t got = fread(&body[have], 1, want, in);
      if (got < want) return ParseResult::kIO;
    }
  } catch (const std::bad_alloc&) {
    return ParseResult::kMemory;
  }
  return parsePairs(body);
}

bool isSpace(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && beginsNoCase(a, b);
}

bool beginsNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (lowerAscii(text[i]) != lowerAscii(prefix[i])) return false;
  }
  return true;
}

}  // namespace korvan
