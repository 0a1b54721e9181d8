// The request entry and page shell, seen from outside: the program run as the
// web server runs it, against a throw-away root.
#include <gtest/gtest.h>

#include <regex>

#include "testroot.h"

using korvantest::CgiRequest;
using korvantest::readFile;
using korvantest::runCgi;
using korvantest::TempRoot;

namespace {

const char* const kHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";

// The body fragment as the shell embeds it: after the head, before the end.
std::string embedded(const std::string& out) {
  const std::string open = "<BODY>\n \n";
  const std::string close = "</BODY></HTML>\n \n";
  size_t begin = out.find(open);
  if (begin == std::string::npos || out.size() < close.size() ||
      out.compare(out.size() - close.size(), close.size(), close) != 0) {
    return "<no shell>";
  }
  begin += open.size();
  return out.substr(begin, out.size() - close.size() - begin);
}

std::string languageFile(const TempRoot& root) {
  return readFile(root.path("usr/app/yal/www/lib/language.js"));
}

TEST(PageShell, EmbedsTheBodyFragmentLineByLine) {
  struct Case {
    const char* what;
    std::string fragment;  // empty: no HtmlBody.html at all
    std::string shown;
  };
  const std::string longLine(102399 + 10, 'x');
  const Case cases[] = {
      {"line ends", "<div id='app'>\r\n</div>\n<p>no newline at end</p>",
       "<div id='app'>\r\n \n</div>\n \n<p>no newline at end</p> \n"},
      {"long line in pieces", longLine + "\n",
       std::string(102399, 'x') + " \n" + std::string(10, 'x') + "\n \n"},
      {"missing fragment", "", ""},
  };
  for (const Case& c : cases) {
    TempRoot root;
    const std::string body = root.path("usr/app/yal/www/HtmlBody.html");
    if (c.fragment.empty()) {
      std::remove(body.c_str());
    } else {
      korvantest::writeFile(body, c.fragment);
    }
    auto result = runCgi(root, CgiRequest{});
    EXPECT_EQ(result.exitStatus, 0) << c.what;
    EXPECT_EQ(result.out.rfind(std::string(kHeader) + " <!DOCTYPE", 0), 0u) << c.what;
    EXPECT_NE(result.out.find("<script src='../lib/language.js'"), std::string::npos) << c.what;
    EXPECT_EQ(embedded(result.out), c.shown) << c.what;
  }
}

TEST(PageShell, WritesTheStoredLanguageOnlyWhenItIsACode) {
  const std::string untouched = "// UI texts\nvar siteLang = 'zz';\nvar texts = {};\n";
  struct Case {
    std::string stored;  // "-" : no secureConf row
    std::string file;    // language.js afterwards
  };
  const Case cases[] = {
      {"en", "// UI texts\nvar siteLang ='en';\nvar texts = {};\n"},
      {"zh-Hans_CN-12345", "// UI texts\nvar siteLang ='zh-Hans_CN-12345';\nvar texts = {};\n"},
      {"-", "// UI texts\nvar siteLang ='';\nvar texts = {};\n"},
      {"abcdefghijklmnopq", untouched},  // 17 characters
      {"en\"; touch pwned; \"", untouched},
  };
  for (const Case& c : cases) {
    TempRoot root;
    root.exec(c.stored == "-" ? "delete from secureConf;"
                              : "update secureConf set f_language='" + c.stored + "';");
    auto result = runCgi(root, CgiRequest{});
    EXPECT_EQ(result.exitStatus, 0) << c.stored;
    EXPECT_EQ(embedded(result.out), "<div id='app'>\n \n</div>\n \n") << c.stored;
    EXPECT_EQ(languageFile(root), c.file) << c.stored;
    EXPECT_FALSE(korvantest::fileExists(root.path("usr/app/yal/www/cgi/pwned")));
  }
}

TEST(PageShell, DatabaseFailures) {
  TempRoot root;
  root.exec("drop table secureConf;");
  const std::string before = languageFile(root);
  auto page = runCgi(root, CgiRequest{});
  EXPECT_EQ(page.exitStatus, 0);
  EXPECT_EQ(embedded(page.out), "<div id='app'>\n \n</div>\n \n");
  EXPECT_EQ(languageFile(root), before);

  // An AJAX call gets the error envelope instead of the page.
  auto reply = korvantest::postAjax(root, Json::Value(Json::objectValue));
  EXPECT_EQ(reply.exitStatus, 0);
  EXPECT_EQ(reply.header(), kHeader);
  Json::Value doc = korvantest::replyOf(reply);
  EXPECT_EQ(doc["ret"], "err");
  EXPECT_NE(doc["retMsg"].asString().find("no such table: secureConf"), std::string::npos);

  // Another connection holding the database: lockErr.
  TempRoot locked;
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(locked.dbPath().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "begin exclusive;", nullptr, nullptr, nullptr), SQLITE_OK);
  doc = korvantest::ajax(locked, Json::Value(Json::objectValue));
  sqlite3_exec(holder, "rollback;", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(doc["ret"], "lockErr");
  EXPECT_EQ(doc["retMsg"].asString().rfind("database temporary lock,retry later", 0), 0u);
}

TEST(Request, ShortBodyEndsWithoutOutput) {
  TempRoot root;
  CgiRequest r;
  r.method = "POST";
  r.contentType = "application/x-www-form-urlencoded";
  r.body = "postKey=abc";
  r.contentLength = "100";
  auto result = runCgi(root, r);
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.out, "");
  // The trace stops after the method record.
  EXPECT_EQ(root.traceLog().find("before cgiMain"), std::string::npos) << root.traceLog();
}

TEST(Request, TraceLogRecordsAndRotation) {
  TempRoot root;
  std::string big(1024 * 1024 - 10, '.');
  korvantest::writeFile(root.path("usr/app/yal/www/cgi/log.txt"), big);
  runCgi(root, CgiRequest{});
  EXPECT_EQ(readFile(root.path("usr/app/yal/www/cgi/log.txt.1")), big);
  // Every record is "<number>_Time:HH:MM:SSMsg:::<message>\n".
  const std::string log = root.traceLog();
  EXPECT_LT(log.size(), 4096u);
  EXPECT_TRUE(std::regex_search(
      log, std::regex("^144_Time:([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]Msg:::cgic main "
                      "enter\\.\\.\\.\\.\n222_Time:[0-9:]{8}Msg:::GET\n")))
      << log;
}

}  // namespace
