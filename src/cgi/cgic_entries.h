// The form entry list as the decoders and lookups of the CGI layer use it:
// making, appending, finding and releasing entries. Internal to src/cgi.
#pragma once

#include <string_view>

#include "cgi/cgic.h"

// A new entry owning copies of the given texts, each NUL-terminated (`value`
// may itself hold NUL bytes; all of them are kept). `next` is null.
// Returns nullptr when memory runs out, with nothing left allocated.
cgiFormEntry* cgiNewEntry(std::string_view attr, std::string_view value, int valueLength,
                          std::string_view fileName, std::string_view contentType,
                          std::string_view tfileName);

// Releases an entry and its strings. Its temporary file, if any, is left alone.
void cgiFreeEntry(cgiFormEntry* entry);

// The link that an entry appended now must be stored in: &cgiFormEntryFirst for
// an empty list, else the `next` of the last entry. A decoder appends with
//   *tail = entry; tail = &entry->next;
cgiFormEntry** cgiEntryListTail();

// The first entry, in arrival order, whose attr equals `name` byte for byte;
// nullptr when there is none or `name` is null.
cgiFormEntry* cgiFindEntry(const char* name);
