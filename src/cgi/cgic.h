// The CGI layer as the rest of the front end uses it: the process start-up,
// the client's address, the lookups over the request's decoded form fields
// and the response header. The decoding itself is form/form.h; these
// functions work on the one Form of the process (requestForm()).
#pragma once

#include <cstdio>

#include "cgi/cgi_out.h"
#include "form/form.h"
#include "util/files.h"

// ---- Result codes ---------------------------------------------------------
enum cgiFormResultType {
  cgiFormSuccess = 0,
  cgiFormTruncated = 1,
  cgiFormBadType = 2,
  cgiFormEmpty = 3,
  cgiFormNotFound = 4,
  cgiFormConstrained = 5,
  cgiFormNoSuchChoice = 6,
  cgiFormMemory = 7,
  cgiFormNoFileName = 8,
  cgiFormNoContentType = 9,
  cgiFormNotAFile = 10,
  cgiFormOpenFailed = 11,
  cgiFormIO = 12,
  cgiFormEOF = 13,
};

// An open uploaded file, handed out by cgiFormFileOpen and owned by the CGI
// layer until cgiFormFileClose.
struct cgiFile {
  korvan::FilePtr in;
};

// ---- Process-wide state, set once at start-up --------------------------------
// REMOTE_ADDR, "" when unset; never null.
extern const char* cgiRemoteAddr;
// REQUEST_METHOD, "" when unset; never null.
extern const char* cgiRequestMethod;
// Where the body is read from (standard input); the response goes to cgiOut
// (cgi/cgi_out.h).
extern FILE* cgiIn;

// The request's decoded form fields.
korvan::Form& requestForm();

// ---- Entry and exit --------------------------------------------------------
// The request entry (page.cpp). Called once by main after decoding.
int cgiMain();
// The whole of main's work: start-up, decoding, cgiMain(), clean-up. Returns
// cgiMain()'s result, or -1 when decoding failed (nothing is then written).
// A body larger than the program takes is refused unread, with 0:
//  - a POST that is not multipart/form-data, over 1 MiB: "Status: 413" and
//    the JSON error reply "request too large";
//  - a multipart/form-data POST over the spool folder's free space less
//    4 MiB: "Status: 413" and the transfer refusal text "upload too large";
//  - a multipart/form-data POST whose fields other than files pass 1 MiB
//    together (form/form.h kMaxFieldBytes): read up to that point, then
//    "Status: 413" and "request too large" as for a plain body.
// Files the process creates get no group or world access (umask 077).
int cgicRun();
// cgicRun with `entry` called in place of cgiMain.
int cgicRunWith(int (*entry)());
// Deletes the spool files and empties the entry list.
void cgiFreeResources();

// ---- Lookups ---------------------------------------------------------------
// Each finds the first field, in arrival order, of that exact name.
// The value without CR and LF bytes, up to its first NUL byte, into `result`
// of `max` bytes: cgiFormTruncated when it does not fit, cgiFormEmpty when
// nothing is left, cgiFormNotFound (and "") when there is no such field.
cgiFormResultType cgiFormStringNoNewlines(const char* name, char* result, int max);
// cgiFormSuccess when a field of that name exists, whatever its value.
cgiFormResultType cgiFormCheckboxSingle(const char* name);
// The client's file name of the field into `result` of `max` bytes:
// cgiFormNoFileName when it has none, cgiFormTruncated when it does not fit.
cgiFormResultType cgiFormFileName(const char* name, char* result, int max);
// Opens the field's uploaded file: cgiFormNotAFile for a field held in
// memory, cgiFormIO when the spool cannot be opened; *cfpp is null then.
cgiFormResultType cgiFormFileOpen(const char* name, cgiFile** cfpp);
// The next bytes of an uploaded file: cgiFormEOF when there are none.
cgiFormResultType cgiFormFileRead(cgiFile* cfp, char* buffer, int bufferSize, int* gotP);
// Closes and releases a handle of cgiFormFileOpen; cgiFormOpenFailed for
// any other pointer.
cgiFormResultType cgiFormFileClose(cgiFile* cfp);

// ---- Response ----------------------------------------------------------------
// Writes "Content-type: <mediaType>\r\n\r\n" to cgiOut.
void cgiHeaderContentType(const char* mediaType);
