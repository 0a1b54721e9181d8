// The multipart/form-data decoder.
//
// The body is split at the boundary named by CONTENT_TYPE. Ordinary fields are
// kept in memory; a part that carries a file name streams into a spool file
// of its own, which its entry owns. Standard input is never asked for more
// than CONTENT_LENGTH bytes: the web server may keep the pipe open after the
// body.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "form/form.h"
#include "util/files.h"

namespace korvan {

namespace {

constexpr int kPutBackSize = 1024;
// Header and parameter names are cut to this.
constexpr size_t kFieldMax = 1023;
// Header values and the values inside them are kept longer than any buffer of
// the lookups, so that an over-long file name reaches cgiFormFileName whole
// enough to be reported as truncated instead of being cut to a name that fits.
constexpr size_t kValueMax = 8191;

// The reader of a multipart body: `in`, limited to `length` bytes, with a
// ring of bytes that were read and given back.
struct mpStream {
  FILE* in = nullptr;
  int length = 0;
  char putback[kPutBackSize];
  int readPos = 0;   // next ring position to read
  int writePos = 0;  // next ring position to write; empty ring when equal
  int offset = 0;    // body bytes handed out, less those given back
};

int ringCount(const mpStream& s) { return (s.writePos - s.readPos + kPutBackSize) % kPutBackSize; }

// Next byte of the body, or -1 at its end. The ring is read first; every byte
// from standard input is then either handed out (counted in offset) or back in
// the ring, so offset is also how much of the body standard input has given.
int mpGetc(mpStream& s) {
  if (s.readPos != s.writePos) {
    const unsigned char c = static_cast<unsigned char>(s.putback[s.readPos]);
    s.readPos = (s.readPos + 1) % kPutBackSize;
    ++s.offset;
    return c;
  }
  if (s.offset >= s.length) return -1;
  const int c = getc_unlocked(s.in);
  if (c == EOF) return -1;
  ++s.offset;
  return c;
}

// Hands out up to n bytes; returns how many there were.
int mpRead(mpStream& s, char* buffer, int n) {
  int got = 0;
  while (got < n) {
    const int c = mpGetc(s);
    if (c < 0) break;
    buffer[got++] = static_cast<char>(c);
  }
  return got;
}

// Gives n bytes back so that they are read next, in their order, before any
// byte given back earlier. False when the ring has no room for them.
bool mpPutBack(mpStream& s, const char* bytes, int n) {
  if (n <= 0) return true;
  if (ringCount(s) + n > kPutBackSize - 1) return false;
  for (int i = n - 1; i >= 0; --i) {
    s.readPos = (s.readPos - 1 + kPutBackSize) % kPutBackSize;
    s.putback[s.readPos] = bytes[i];
  }
  s.offset -= n;
  return true;
}

// A text as a C string compares: up to its first NUL byte.
std::string cText(const std::string& text) { return text.c_str(); }

bool sameNoCase(const std::string& text, std::string_view literal) {
  return equalsNoCase(text.c_str(), literal);
}

bool isAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void appendCapped(std::string& to, char c, size_t limit = kFieldMax) {
  if (to.size() < limit) to.push_back(c);
}

// Reads the body up to and including the next boundary, writing what comes
// before it to `out` when given, else into `value` when given (at most
// `valueRoom` bytes: ParseResult::kTooLarge at the byte past them), else
// nowhere.
// Leaves the stream behind the boundary's line end, or before the "--" of the
// closing boundary. The byte count goes to *bodyLength. ParseResult::kIO when the
// input ends first, when the two bytes after the boundary are missing, or
// when `out` cannot be written.
ParseResult afterNextBoundary(mpStream& s, std::string_view boundary, FILE* out, std::string* value,
                              int* bodyLength, bool first, size_t valueRoom = SIZE_MAX) {
  std::string pattern = first ? "--" : "\r\n--";
  pattern += boundary;
  if (value != nullptr) {
    value->clear();
    value->reserve(256);
  }
  *bodyLength = 0;

  long long count = 0;
  bool writeFailed = false;
  bool tooLarge = false;
  auto sink = [&](char c) {
    ++count;
    if (out != nullptr) {
      if (putc_unlocked(static_cast<unsigned char>(c), out) == EOF) writeFailed = true;
    } else if (value != nullptr) {
      if (value->size() >= valueRoom) {
        tooLarge = true;
      } else {
        value->push_back(c);
      }
    }
  };

  size_t matched = 0;
  while (matched < pattern.size()) {
    if (tooLarge) {
      value->clear();
      return ParseResult::kTooLarge;
    }
    const int c = mpGetc(s);
    if (c < 0) {
      if (value != nullptr) value->clear();
      return ParseResult::kIO;
    }
    if (static_cast<char>(c) == pattern[matched]) {
      ++matched;
    } else if (matched == 0) {
      sink(static_cast<char>(c));
    } else {
      // The match failed part way: only its first byte is surely data. The
      // rest is examined again, followed by the byte that broke the match.
      sink(pattern[0]);
      const char current = static_cast<char>(c);
      if (!mpPutBack(s, &current, 1) ||
          !mpPutBack(s, pattern.data() + 1, static_cast<int>(matched - 1))) {
        return ParseResult::kIO;
      }
      matched = 0;
    }
  }
  if (writeFailed || (out != nullptr && fflush(out) != 0)) return ParseResult::kIO;

  char after[2];
  if (mpRead(s, after, 2) < 2) return ParseResult::kIO;
  // CR LF ends a boundary line; the "--" of the closing boundary is left for
  // the caller; any other pair is dropped.
  if (after[0] == '-') {
    if (!mpPutBack(s, after, 2)) return ParseResult::kIO;
  }
  if (value != nullptr) value->shrink_to_fit();
  *bodyLength = static_cast<int>(count);
  return ParseResult::kSuccess;
}

// Reads one part header line: the name before the first ":" (white space left
// out), the value after it (leading white space skipped), each cut to
// kFieldMax bytes. The line ends at LF or CR (a LF after the CR belongs to
// it). True when the line is a header: name and value both non-empty and the
// input did not end inside the line.
bool readHeaderLine(mpStream& s, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  bool inName = true;
  bool skippingSpace = false;
  for (;;) {
    const int c = mpGetc(s);
    if (c < 0) return false;
    if (c == '\n') break;
    if (c == '\r') {
      const int next = mpGetc(s);
      if (next >= 0 && next != '\n') {
        const char back = static_cast<char>(next);
        if (!mpPutBack(s, &back, 1)) return false;
      }
      break;
    }
    const char ch = static_cast<char>(c);
    if (inName) {
      if (ch == ':' && !name.empty()) {
        inName = false;
        skippingSpace = true;
      } else if (!isSpace(c)) {
        appendCapped(name, ch);
      }
    } else {
      if (skippingSpace && isSpace(c)) continue;
      skippingSpace = false;
      appendCapped(value, ch, kValueMax);
    }
  }
  return !name.empty() && !value.empty();
}

// Reads a bare value up to ";" or a quoted one up to its closing quote (the
// rest up to ";" skipped), starting at `i`; keeps at most kFieldMax bytes.
size_t readHeaderWord(const std::string& text, size_t i, std::string& word) {
  word.clear();
  if (i < text.size() && text[i] == '"') {
    for (++i; i < text.size() && text[i] != '"'; ++i) appendCapped(word, text[i], kValueMax);
    while (i < text.size() && text[i] != ';') ++i;
  } else {
    for (; i < text.size() && text[i] != ';'; ++i) appendCapped(word, text[i], kValueMax);
  }
  return i;
}

size_t skipSpace(const std::string& text, size_t i) {
  while (i < text.size() && isSpace(static_cast<unsigned char>(text[i]))) ++i;
  return i;
}

// Splits a header value into its main value and its parameters. The
// parameters `name` and `filename` (names ignoring case) go to *name and
// *fileName when those are given; every other parameter is skipped.
void decomposeValue(const std::string& text, std::string& mainValue, std::string* name,
                    std::string* fileName) {
  size_t i = readHeaderWord(text, skipSpace(text, 0), mainValue);
  std::string param;
  std::string paramValue;
  while (i < text.size() && text[i] == ';') {
    i = skipSpace(text, i + 1);
    param.clear();
    for (; i < text.size() && isAlnum(text[i]); ++i) appendCapped(param, text[i]);
    i = skipSpace(text, i);
    if (i >= text.size() || text[i] != '=') return;
    i = readHeaderWord(text, skipSpace(text, i + 1), paramValue);
    if (name != nullptr && sameNoCase(param, "name")) {
      *name = paramValue;
    } else if (fileName != nullptr && sameNoCase(param, "filename")) {
      *fileName = paramValue;
    }
  }
}

ParseResult decodeMultipart(mpStream& stream, std::string_view boundary,
                            std::vector<FormEntry>& entries, size_t fieldBytes) {
  size_t used = 0;  // what the entries kept so far count against fieldBytes
  int length = 0;
  const ParseResult first = afterNextBoundary(stream, boundary, nullptr, nullptr, &length, true);
  if (first == ParseResult::kIO) return ParseResult::kSuccess;  // no boundary: an empty submission
  if (first != ParseResult::kSuccess) return first;

  std::string name, fileName, contentType, disposition, headerName, headerValue, value;
  for (;;) {
    name.clear();
    fileName.clear();
    contentType.clear();
    disposition.clear();

    char two[2];
    if (mpRead(stream, two, 2) < 2) return ParseResult::kSuccess;
    if (two[0] == '-' && two[1] == '-') return ParseResult::kSuccess;  // the closing boundary
    if (!mpPutBack(stream, two, 2)) return ParseResult::kIO;

    while (readHeaderLine(stream, headerName, headerValue)) {
      if (sameNoCase(headerName, "content-disposition")) {
        name.clear();
        fileName.clear();
        decomposeValue(headerValue, disposition, &name, &fileName);
      } else if (sameNoCase(headerName, "content-type")) {
        decomposeValue(headerValue, contentType, nullptr, nullptr);
      }
    }

    if (!sameNoCase(disposition, "form-data")) {
      // Not a form field: its body is passed over, never read as headers.
      const ParseResult skipped =
          afterNextBoundary(stream, boundary, nullptr, nullptr, &length, false);
      if (skipped != ParseResult::kSuccess) return skipped;
      continue;
    }

    // A file part's spool is removed unless its entry is kept.
    SpoolFile spool;
    FilePtr out;
    if (!fileName.empty()) {
      if (!spool.create()) return ParseResult::kIO;
      out.reset(spool.openForWriting());
      if (!out) return ParseResult::kIO;
    }
    // The entry's texts other than the value, and its own cost.
    const size_t overhead = Form::kEntryBytes + cText(name).size() + cText(fileName).size() +
                            cText(contentType).size();
    if (used + overhead > fieldBytes) return ParseResult::kTooLarge;
    const ParseResult body =
        afterNextBoundary(stream, boundary, out.get(), fileName.empty() ? &value : nullptr,
                          &length, false, fieldBytes - used - overhead);
    if (body != ParseResult::kSuccess) return body;
    used += overhead + (fileName.empty() ? value.size() : 0);
    if (out && fclose(out.release()) != 0) return ParseResult::kIO;
    if (!fileName.empty()) value.clear();

    FormEntry entry;
    entry.attr = cText(name);
    entry.value = value;
    entry.valueLength = length;
    entry.fileName = cText(fileName);
    entry.contentType = cText(contentType);
    entry.spool = std::move(spool);
    entries.push_back(std::move(entry));
  }
}

}  // namespace

ParseResult Form::parseMultipart(FILE* in, int length, std::string_view boundary,
                                 size_t fieldBytes) {
  if (length <= 0) return ParseResult::kSuccess;
  try {
    mpStream stream;
    stream.in = in;
    stream.length = length;
    return decodeMultipart(stream, boundary, entries_, fieldBytes);
  } catch (const std::bad_alloc&) {
    return ParseResult::kMemory;
  }
}

}  // namespace korvan
