// Fuzzes URL-encoded decoding and the field lookups over its entries.
//
// Input: one control byte, then the text. The control byte's low bit chooses
// between decoding the text directly and reading it as a POST body from
// a stream; bits 1-3 make CONTENT_LENGTH shorter or longer than the body; bits
// 4-7 size the lookup buffer.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "cgi/cgic.h"
#include "form/form.h"

namespace {

void check(bool condition) {
  if (!condition) abort();
}

void exerciseLookups(int max) {
  std::vector<char> buffer(static_cast<size_t>(max));
  for (const korvan::FormEntry& e : requestForm().entries()) {
    check(e.valueLength == static_cast<int>(strlen(e.value.c_str())));
    check(e.valueLength == static_cast<int>(e.value.size()));
    check(e.attr.find('\0') == std::string::npos);
    check(e.fileName.empty() && e.contentType.empty() && e.tfileName().empty());
    check(cgiFormCheckboxSingle(e.attr.c_str()) == cgiFormSuccess);
    const cgiFormResultType result = cgiFormStringNoNewlines(e.attr.c_str(), buffer.data(), max);
    check(result == cgiFormSuccess || result == cgiFormTruncated || result == cgiFormEmpty);
    check(strlen(buffer.data()) < static_cast<size_t>(max));
    check(strchr(buffer.data(), '\r') == nullptr && strchr(buffer.data(), '\n') == nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1 << 20) return 0;
  const uint8_t control = data[0];
  // An exact-size heap copy, so that a read past the text is caught.
  std::vector<char> text(data + 1, data + size);
  const int length = static_cast<int>(text.size());

  if ((control & 1) == 0) {
    requestForm().parsePairs(std::string_view(text.data(), text.size()));
  } else if (!text.empty()) {
    FILE* in = fmemopen(text.data(), text.size(), "rb");
    if (in == nullptr) return 0;
    const int skew = (control >> 1) & 7;
    int contentLength = skew < 4 ? length - skew : length + skew - 3;
    if (contentLength < 0) contentLength = 0;
    const korvan::ParseResult result = requestForm().parseUrlEncodedBody(in, contentLength);
    check(result ==
          (contentLength > length ? korvan::ParseResult::kIO : korvan::ParseResult::kSuccess));
    check(ftell(in) <= contentLength);
    fclose(in);
  }
  exerciseLookups(1 + (control >> 4) * 3);
  cgiFreeResources();
  check(requestForm().entries().empty());
  return 0;
}
