// The form input of one request: what start-up takes from the CGI
// environment, and the decoded form fields (URL-encoded pairs from a query
// string or a body, or the parts of a multipart body) in arrival order.
//
// A Form owns its entries: their texts, and the spool file of every file part,
// which is held locked while the entry lives and removed with it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "form/spool.h"

namespace korvan {

// How decoding ended. Any failure means the request is not served;
// kTooLarge when the fields held in memory would pass their bound.
enum class ParseResult { kSuccess, kMemory, kIO, kTooLarge };

// The most a request's fields may hold in memory: an URL-encoded body, or
// the fields of a multipart body other than its files, together.
inline constexpr size_t kMaxFieldBytes = 1024 * 1024;

// The CGI variables that start-up reads.
struct CgiEnvironment {
  std::string requestMethod;  // REQUEST_METHOD
  std::string queryString;    // QUERY_STRING
  std::string remoteAddr;     // REMOTE_ADDR
  // CONTENT_TYPE (at most its first 1,023 bytes) without its parameters.
  std::string mediaType;
  // The boundary= parameter of CONTENT_TYPE (name ignoring case, value bare
  // up to white space or ";", or quoted); empty when there is none.
  std::string boundary;
  // CONTENT_LENGTH's leading decimal digits, 0 when there are none, held at
  // INT_MAX: the most a decoder asks of standard input.
  int contentLength = 0;
  // The same digits held at the largest 64-bit value instead, for comparing
  // the declared size with a limit.
  unsigned long long declaredLength = 0;

  // Reads the process environment; unset variables give empty texts.
  static CgiEnvironment capture();
  // Sets mediaType and boundary from a CONTENT_TYPE text.
  void setContentType(std::string_view contentType);
};

// One decoded form field.
struct FormEntry {
  std::string attr;  // the field name, unescaped, up to its first NUL byte
  // The value: URL-encoded, up to its first NUL byte; a multipart field's
  // body bytes as they came (NUL bytes included); empty for a file part.
  std::string value;
  // URL-encoded: value.size(); multipart: the body's byte count (in value or
  // in the spool file).
  int valueLength = 0;
  std::string fileName;     // the part's filename parameter (multipart), else ""
  std::string contentType;  // the part's media type (multipart), else ""
  SpoolFile spool;          // where a file part's body lies; no path otherwise

  const std::string& tfileName() const { return spool.path(); }
};

class Form {
 public:
  Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::vector<FormEntry>& entries() const { return entries_; }
  // The first entry, in arrival order, whose name equals `name` byte for byte.
  const FormEntry* find(std::string_view name) const;
  // Drops every entry, removing the spool files.
  void clear() { entries_.clear(); }

  // Appends the name=value pairs of `text`: "&" separates pairs, a pair
  // without "=" ends the text (the name takes every byte up to "=", "&"
  // included); names and values are unescaped ("+" is a space, "%" and two
  // bytes the byte of those hex digits, non-hex digits counting 0; a "%" cut
  // off by the end yields nothing).
  ParseResult parsePairs(std::string_view text);
  // Reads exactly `length` bytes of `in` and appends their pairs: kIO when
  // fewer arrive. Never asks `in` for more than `length` bytes.
  ParseResult parseUrlEncodedBody(FILE* in, int length);
  // Decodes a multipart/form-data body of `length` bytes from `in`, split at
  // `boundary`: ordinary fields into memory, parts with a file name into spool
  // files. A body without any boundary yields nothing and succeeds; a part
  // that no boundary ends fails (kIO). The entries' texts (names, values,
  // file names, media types, each entry also counting kEntryBytes) may take
  // `fieldBytes` together: reading stops at the byte that would pass it
  // (kTooLarge). Never asks `in` for more than `length` bytes. On failure the
  // entries decoded so far stay.
  static constexpr size_t kEntryBytes = 64;
  ParseResult parseMultipart(FILE* in, int length, std::string_view boundary,
                             size_t fieldBytes = kMaxFieldBytes);

 private:
  std::vector<FormEntry> entries_;
};

// Equality and prefix test of ASCII texts ignoring the case of letters.
bool equalsNoCase(std::string_view a, std::string_view b);
bool beginsNoCase(std::string_view text, std::string_view prefix);
// The ASCII white-space bytes: space, tab, CR, LF, form feed, vertical tab.
bool isSpace(int c);

}  // namespace korvan
