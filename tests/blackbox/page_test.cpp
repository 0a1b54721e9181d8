// The request entry and page shell, seen from outside: the program run as the
// web server runs it, against a throw-away root.
#include <gtest/gtest.h>

#include <regex>

#include "testroot.h"

using korvantest::CgiRequest;
using korvantest::runCgi;
using korvantest::TempRoot;

namespace {

// The shell as the browser must receive it, with the body fragment `body`
// (already in its written form) in the middle.
std::string expectedShell(const std::string& body) {
  const char* lines[] = {
      " <!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\t",
      " <html xmlns=\"http://www.w3.org/1999/xhtml\"> ",
      "<HEAD>",
      "<meta http-equiv='Content-Type' content='text/html; charset=utf-8' />",
      "<link href='../lib/ligerUILib/ligerUI/skins/Aqua/css/ligerui-all.css' rel='stylesheet' type='text/css' />\t",
      "<link href='../lib/dark/jquery-ui.css' rel='stylesheet' />\t\t",
      "<script src='../md5.js' type='text/javascript'></script>",
      "<script src='../lib/jquery-1.11.1.js' type='text/javascript'></script>",
      "<script src='../lib/jquery-ui.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/core/base.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/core/inject.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerLayout.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerGrid.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerResizable.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerDialog.js' type='text/javascript'></script>\t  ",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerCheckBox.js' type='text/javascript'></script>  ",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerButton.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerListBox.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerTab.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerDateEditor.js' type='text/javascript'></script>",
      "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerDrag.js' type='text/javascript'></script>",
      "<script src='../lib/language.js' type='text/javascript'></script>",
      "<link href='../my.css' rel='stylesheet' type='text/css' />\t ",
      "<script src='../HtmlJS.js' type='text/javascript'></script>",
      "</HEAD>",
      "<BODY>",
  };
  std::string out = "Content-type: text/html;charset=utf-8\r\n\r\n";
  for (const char* line : lines) out += std::string(line) + "\n \n";
  out += body;
  out += "</BODY></HTML>\n \n";
  return out;
}

TEST(PageShell, ByteForByteWithLanguageEdit) {
  TempRoot root;
  korvantest::writeFile(root.path("usr/app/yal/www/HtmlBody.html"),
                        "<div id='app'>\r\n</div>\n<p>no newline at end</p>");
  auto result = runCgi(root, CgiRequest{});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, expectedShell("<div id='app'>\r\n \n</div>\n \n<p>no newline at end</p> \n"));
  EXPECT_EQ(korvantest::readFile(root.path("usr/app/yal/www/lib/language.js")),
            "// UI texts\nvar siteLang ='en';\nvar texts = {};\n");
  std::string log = root.traceLog();
  for (const char* record :
       {"144_Time:", "Msg:::cgic main enter....\n", "222_Time:", "Msg:::GET\n",
        "242_Time:", "Msg:::get cgiRequestMethod\n", "312_Time:", "Msg:::before cgiMain()\n",
        "4276_Time:", "Msg:::en\n", "3628_Time:", "Msg:::cgiMain enter....\n\n",
        "304_Time:", "Msg:::setHtml enter...\n", "4273_Time:", "Msg:::setHtmlLink enter...\n",
        "Msg:::sed -i \"/var siteLang = */c\\var siteLang ='en';\" ../lib/language.js\n"}) {
    EXPECT_NE(log.find(record), std::string::npos) << record << "\n--- log:\n" << log;
  }
}

TEST(PageShell, MissingBodyFragmentAndEmptyLanguage) {
  TempRoot root;
  root.exec("delete from secureConf;");
  std::remove(root.path("usr/app/yal/www/HtmlBody.html").c_str());
  auto result = runCgi(root, CgiRequest{});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, expectedShell(""));
  EXPECT_NE(root.traceLog().find("Msg:::open HtmlBody.html failed.\n"), std::string::npos);
  EXPECT_NE(korvantest::readFile(root.path("usr/app/yal/www/lib/language.js")).find("var siteLang ='';\n"),
            std::string::npos);
}

TEST(PageShell, LongBodyLineComesInPieces) {
  TempRoot root;
  std::string longLine(102399 + 10, 'x');
  korvantest::writeFile(root.path("usr/app/yal/www/HtmlBody.html"), longLine + "\n");
  auto result = runCgi(root, CgiRequest{});
  std::string pieces = std::string(102399, 'x') + " \n" + std::string(10, 'x') + "\n \n";
  EXPECT_EQ(result.out, expectedShell(pieces));
}

TEST(PageShell, HostileStoredLanguageRunsNothing) {
  TempRoot root;
  std::string marker = root.path("pwned");
  root.exec("update secureConf set f_language='en\"; touch " + marker + "; \"';");
  std::string before = korvantest::readFile(root.path("usr/app/yal/www/lib/language.js"));
  auto result = runCgi(root, CgiRequest{});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.out, expectedShell("<div id='app'>\n \n</div>\n \n"));
  EXPECT_FALSE(korvantest::fileExists(marker));
  EXPECT_EQ(korvantest::readFile(root.path("usr/app/yal/www/lib/language.js")), before);
  // Codes of up to 16 letters, digits, '-' and '_' are still written.
  root.exec("update secureConf set f_language='zh-Hans_CN-12345';");
  runCgi(root, CgiRequest{});
  EXPECT_NE(korvantest::readFile(root.path("usr/app/yal/www/lib/language.js")).find("var siteLang ='zh-Hans_CN-12345';"),
            std::string::npos);
  root.exec("update secureConf set f_language='abcdefghijklmnopq';");  // 17 characters
  runCgi(root, CgiRequest{});
  EXPECT_EQ(korvantest::readFile(root.path("usr/app/yal/www/lib/language.js")).find("abcdefghijklmnopq"),
            std::string::npos);
}

TEST(PageShell, DatabaseFailureStillAnswers) {
  TempRoot root;
  root.exec("drop table secureConf;");
  std::string before = korvantest::readFile(root.path("usr/app/yal/www/lib/language.js"));
  auto page = runCgi(root, CgiRequest{});
  EXPECT_EQ(page.exitStatus, 0);
  EXPECT_EQ(page.out, expectedShell("<div id='app'>\n \n</div>\n \n"));
  EXPECT_EQ(korvantest::readFile(root.path("usr/app/yal/www/lib/language.js")), before);

  // An AJAX call gets the error envelope instead of the page.
  CgiRequest call;
  call.method = "POST";
  call.contentType = "application/x-www-form-urlencoded";
  call.body = "postKey=" + korvantest::urlEncode("{\"type\":\"ref\"}");
  auto reply = runCgi(root, call);
  EXPECT_EQ(reply.exitStatus, 0);
  EXPECT_EQ(reply.header(), "Content-type: text/html;charset=utf-8\r\n\r\n");
  Json::Value doc = korvantest::replyOf(reply);
  EXPECT_EQ(doc["ret"], "err");
  EXPECT_NE(doc["retMsg"].asString().find("no such table: secureConf"), std::string::npos);
}

TEST(PageShell, LockedDatabaseGivesLockErrToAjax) {
  TempRoot root;
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(root.dbPath().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "begin exclusive;", nullptr, nullptr, nullptr), SQLITE_OK);
  auto reply = korvantest::ajax(root, Json::Value(Json::objectValue));
  EXPECT_EQ(reply["ret"], "lockErr");
  EXPECT_EQ(reply["retMsg"].asString().rfind("database temporary lock,retry later", 0), 0u);
  sqlite3_exec(holder, "rollback;", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
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
}

TEST(Request, TraceLogRotatesAtOneMebibyte) {
  TempRoot root;
  std::string big(1024 * 1024 - 10, '.');
  korvantest::writeFile(root.path("usr/app/yal/www/cgi/log.txt"), big);
  runCgi(root, CgiRequest{});
  EXPECT_EQ(korvantest::readFile(root.path("usr/app/yal/www/cgi/log.txt.1")), big);
  std::string fresh = root.traceLog();
  EXPECT_EQ(fresh.rfind("144_Time:", 0), 0u);
  EXPECT_LT(fresh.size(), 4096u);
}

TEST(Request, TraceRecordsInOrderWithTimeOfDay) {
  // Every record is "<number>_Time:HH:MM:SSMsg:::<message>\n"; a message that
  // ends in a line feed leaves an empty line behind it.
  const std::string t = "_Time:([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]Msg:::";
  TempRoot root;
  runCgi(root, CgiRequest{});
  EXPECT_TRUE(std::regex_match(
      root.traceLog(),
      std::regex("144" + t + "cgic main enter\\.\\.\\.\\.\n" + "222" + t + "GET\n" + "242" + t +
                 "get cgiRequestMethod\n" + "312" + t + "before cgiMain\\(\\)\n" + "4276" + t +
                 "en\n" + "3628" + t + "cgiMain enter\\.\\.\\.\\.\n\n" + "304" + t +
                 "setHtml enter\\.\\.\\.\n" + "4273" + t + "setHtmlLink enter\\.\\.\\.\n" + "4276" +
                 t + "sed -i [^\n]*\n")))
      << root.traceLog();

  // A POST with an AJAX call: no GET record, the AJAX route's record.
  TempRoot ajaxRoot;
  korvantest::ajax(ajaxRoot, korvantest::sessionRequest(ajaxRoot, "ref"));
  EXPECT_TRUE(std::regex_search(
      ajaxRoot.traceLog(),
      std::regex("^144" + t + "cgic main enter\\.\\.\\.\\.\n" + "222" + t + "POST\n" + "312" + t +
                 "before cgiMain\\(\\)\n" + "4276" + t + "en\n" + "3628" + t +
                 "cgiMain enter\\.\\.\\.\\.\n\n" + "2914" + t + "isAjax\n")))
      << ajaxRoot.traceLog();

  // A decoding failure stops after the method record.
  TempRoot failRoot;
  CgiRequest shortBody;
  shortBody.method = "POST";
  shortBody.contentType = "application/x-www-form-urlencoded";
  shortBody.body = "a=1";
  shortBody.contentLength = "10";
  runCgi(failRoot, shortBody);
  EXPECT_TRUE(std::regex_match(failRoot.traceLog(), std::regex("144" + t + "cgic main enter\\.\\.\\.\\.\n" +
                                                               "222" + t + "POST\n")))
      << failRoot.traceLog();
}

}  // namespace
