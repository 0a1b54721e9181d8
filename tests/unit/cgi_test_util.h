// Helpers for the CGI layer's tests: the request environment, a body on cgiIn,
// and a snapshot of the decoded form entries.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cgi/cgic.h"

namespace cgitest {

inline void setOrUnset(const char* name, const char* value) {
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

// One request's CGI variables; nullptr leaves a variable unset.
struct CgiEnv {
  const char* method = nullptr;
  const char* contentType = nullptr;
  const char* contentLength = nullptr;
  const char* query = nullptr;
  const char* remoteAddr = nullptr;

  void apply() const {
    setOrUnset("REQUEST_METHOD", method);
    setOrUnset("CONTENT_TYPE", contentType);
    setOrUnset("CONTENT_LENGTH", contentLength);
    setOrUnset("QUERY_STRING", query);
    setOrUnset("REMOTE_ADDR", remoteAddr);
  }
};

// An anonymous temporary file holding `bytes`, positioned at its start.
inline FILE* fileWith(const std::string& bytes) {
  FILE* f = tmpfile();
  if (f == nullptr) return nullptr;
  if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
  fflush(f);
  rewind(f);
  return f;
}

inline std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A copy of one form entry.
struct Entry {
  std::string attr;
  std::string value;  // valueLength bytes when held in memory
  int valueLength = 0;
  std::string fileName;
  std::string contentType;
  std::string tfileName;
};

inline std::vector<Entry> entries() {
  std::vector<Entry> out;
  for (const cgiFormEntry* e = cgiFormEntryFirst; e != nullptr; e = e->next) {
    Entry copy;
    copy.attr = e->attr;
    copy.valueLength = e->valueLength;
    copy.value = e->tfileName[0] == '\0' ? std::string(e->value, e->valueLength) : e->value;
    copy.fileName = e->fileName;
    copy.contentType = e->contentType;
    copy.tfileName = e->tfileName;
    out.push_back(copy);
  }
  return out;
}

// Starts and ends every test with an empty entry list, no CGI variables and
// the hex table filled; owns the file put on cgiIn.
class CgiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CgiEnv{}.apply();
    cgiSetupConstants();
    cgiFreeResources();
  }
  void TearDown() override {
    cgiFreeResources();
    CgiEnv{}.apply();
    cgiIn = stdin;
    cgiOut = stdout;
    if (input_ != nullptr) fclose(input_);
  }

  // Applies `env`, captures it, and puts `body` on cgiIn.
  void capture(const CgiEnv& env, const std::string& body) {
    env.apply();
    cgiCaptureEnvironment();
    if (input_ != nullptr) fclose(input_);
    input_ = fileWith(body);
    ASSERT_NE(input_, nullptr);
    cgiIn = input_;
  }

  FILE* input_ = nullptr;
};

}  // namespace cgitest
