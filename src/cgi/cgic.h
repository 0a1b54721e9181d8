// The CGI layer: the process entry, the captured CGI environment, the decoded
// form entries and the lookups over them, and the response header.
// Plain functions and process-wide variables; one request per process.
#pragma once

#include <cstdio>

// ---- Result codes ---------------------------------------------------------
typedef enum {
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
} cgiFormResultType;

typedef enum {
  cgiParseSuccess = 0,
  cgiParseMemory = 1,
  cgiParseIO = 2,
} cgiParseResultType;

// One decoded form field. The list owns every string and temporary file.
typedef struct cgiFormEntryStruct {
  char* attr;         // field name, unescaped
  char* value;        // NUL-terminated value; empty for a file part
  int valueLength;    // see the decoders
  char* fileName;     // client's file name (multipart only), else ""
  char* contentType;  // part media type (multipart only), else ""
  char* tfileName;    // temporary file of a file part, else ""
  struct cgiFormEntryStruct* next;
} cgiFormEntry;

// An open uploaded file, handed out by cgiFormFileOpen.
typedef struct cgiFileStruct {
  FILE* in;
} cgiFile;

// ---- Process-wide state, filled once at start-up ----------------------------
extern char* cgiRequestMethod;
extern char* cgiQueryString;
extern char* cgiRemoteAddr;
extern char* cgiContentType;
extern char* cgiMultipartBoundary;
extern int cgiContentLength;
extern FILE* cgiIn;
extern FILE* cgiOut;
extern cgiFormEntry* cgiFormEntryFirst;
extern int cgiHexValue[256];

// ---- Entry and exit --------------------------------------------------------
// The request entry (request/page.cpp). Called once by main after decoding.
int cgiMain();
// The whole of main's work: start-up, decoding, cgiMain(), clean-up. Returns
// cgiMain()'s result, or -1 when decoding failed (nothing is then written).
int cgicRun();
// cgicRun with `entry` called in place of cgiMain, so that tests can drive the
// start-up in-process without the request code.
int cgicRunWith(int (*entry)());
// Deletes the temporary files and empties the entry list.
void cgiFreeResources();

// ---- Start-up pieces (exposed for tests and fuzzers) -------------------------
void cgiSetupConstants();
// Captures the environment: method, query, address, content type, boundary,
// length; empties the entry list; cgiIn/cgiOut = stdin/stdout.
void cgiCaptureEnvironment();
cgiParseResultType cgiParseFormInput(char* data, int length);
cgiParseResultType cgiParseGetFormInput();
cgiParseResultType cgiParsePostFormInput();
cgiParseResultType cgiParsePostMultipartInput();
int cgiStrEqNc(const char* s1, const char* s2);
int cgiStrBeginsNc(const char* s1, const char* s2);

// ---- Lookups ---------------------------------------------------------------
cgiFormResultType cgiFormStringNoNewlines(const char* name, char* result, int max);
cgiFormResultType cgiFormCheckboxSingle(const char* name);
cgiFormResultType cgiFormFileName(const char* name, char* result, int max);
cgiFormResultType cgiFormFileOpen(const char* name, cgiFile** cfpp);
cgiFormResultType cgiFormFileRead(cgiFile* cfp, char* buffer, int bufferSize, int* gotP);
cgiFormResultType cgiFormFileClose(cgiFile* cfp);

// ---- Response ----------------------------------------------------------------
// Writes "Content-type: <mediaType>\r\n\r\n" to cgiOut.
void cgiHeaderContentType(const char* mediaType);
