// Fuzzes URL-encoded decoding and the field lookups over its entries.
//
// Input: one control byte, then the text. The control byte's low bit chooses
// between decoding the text directly and reading it as a POST body from
// cgiIn; bits 1-3 make CONTENT_LENGTH shorter or longer than the body; bits
// 4-7 size the lookup buffer.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cgi/cgic.h"

namespace {

void check(bool condition) {
  if (!condition) abort();
}

void exerciseLookups(int max) {
  std::vector<char> buffer(static_cast<size_t>(max));
  for (const cgiFormEntry* e = cgiFormEntryFirst; e != nullptr; e = e->next) {
    check(e->valueLength == static_cast<int>(strlen(e->value)));
    check(e->fileName[0] == '\0' && e->contentType[0] == '\0' && e->tfileName[0] == '\0');
    check(cgiFormCheckboxSingle(e->attr) == cgiFormSuccess);
    const cgiFormResultType result = cgiFormStringNoNewlines(e->attr, buffer.data(), max);
    check(result == cgiFormSuccess || result == cgiFormTruncated || result == cgiFormEmpty);
    check(strlen(buffer.data()) < static_cast<size_t>(max));
    check(strchr(buffer.data(), '\r') == nullptr && strchr(buffer.data(), '\n') == nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1 << 20) return 0;
  cgiSetupConstants();
  const uint8_t control = data[0];
  // An exact-size heap copy, so that a read past the text is caught.
  std::vector<char> text(data + 1, data + size);
  const int length = static_cast<int>(text.size());

  if ((control & 1) == 0) {
    cgiParseFormInput(text.data(), length);
  } else if (!text.empty()) {
    FILE* in = fmemopen(text.data(), text.size(), "rb");
    if (in == nullptr) return 0;
    const int skew = (control >> 1) & 7;
    cgiIn = in;
    cgiContentLength = skew < 4 ? length - skew : length + skew - 3;
    if (cgiContentLength < 0) cgiContentLength = 0;
    const cgiParseResultType result = cgiParsePostFormInput();
    check(result == (cgiContentLength > length ? cgiParseIO : cgiParseSuccess));
    check(ftell(in) <= cgiContentLength);
    cgiIn = stdin;
    fclose(in);
  }
  exerciseLookups(1 + (control >> 4) * 3);
  cgiFreeResources();
  check(cgiFormEntryFirst == nullptr);
  return 0;
}
