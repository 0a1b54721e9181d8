// The request entry and page shell, the program run as the web server runs it.
#include <sys/stat.h>

#include <regex>

#include "testroot.h"

using korvantest::CgiRequest;
using korvantest::readFile;
using korvantest::runCgi;
using korvantest::TempRoot;

namespace {

const std::string kHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";
// The page may not be framed, sniffed or named to the sites it links.
const std::string kPageHeader =
    "X-Frame-Options: DENY\r\nContent-Security-Policy: frame-ancestors 'none'\r\n"
    "X-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n" +
    kHeader;
const std::string kSeededBody = "<div id='app'>\n \n</div>\n \n";

// The body fragment as the shell of a whole page embeds it.
std::string embedded(const korvantest::CgiResult& page) {
  const std::string open = "<BODY>\n \n", close = "</BODY></HTML>\n \n", &out = page.out;
  const size_t begin = out.find(open);
  if (page.exitStatus != 0 || out.rfind(kPageHeader + " <!DOCTYPE", 0) != 0 ||
      out.find("<script src='../lib/language.js'") == std::string::npos ||
      begin == std::string::npos || out.size() < begin + open.size() + close.size() ||
      out.compare(out.size() - close.size(), close.size(), close) != 0) {
    return "<no shell> " + out;
  }
  return out.substr(begin + open.size(), out.size() - close.size() - begin - open.size());
}

TEST(PageShell, EmbedsTheBodyFragmentLineByLine) {
  const std::string longLine(102399, 'x');
  const std::pair<std::string, std::string> cases[] = {
      // fragment ("" : none), shown
      {"<div id='app'>\r\n</div>\n<p>no newline at end</p>",
       "<div id='app'>\r\n \n</div>\n \n<p>no newline at end</p> \n"},
      {longLine + "0123456789\n", longLine + " \n0123456789\n \n"},
      {"", ""},
  };
  for (const auto& [fragment, shown] : cases) {
    TempRoot root;
    const std::string body = root.path("usr/app/yal/www/HtmlBody.html");
    if (fragment.empty()) {
      std::remove(body.c_str());
    } else {
      korvantest::writeFile(body, fragment);
    }
    EXPECT_EQ(embedded(runCgi(root, CgiRequest{})), shown) << fragment.substr(0, 20);
    // What the program creates is its own: the trace log starts with this run.
    struct stat st {};
    ASSERT_EQ(stat(root.path("usr/app/yal/www/cgi/log.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
}

TEST(PageShell, WritesTheStoredLanguageOnlyWhenItIsACode) {
  const auto file = [](const std::string& code) {
    return "// UI texts\nvar siteLang " + code + ";\nvar texts = {};\n";
  };
  const std::pair<std::string, std::string> cases[] = {
      // stored ("-": no row), language.js
      {"en", file("='en'")},
      {"zh-Hans_CN-12345", file("='zh-Hans_CN-12345'")},
      {"-", file("=''")},
      {"abcdefghijklmnopq", file("= 'zz'")},  // 17 characters
      {"en\"; touch pwned; \"", file("= 'zz'")},
  };
  for (const auto& [stored, written] : cases) {
    TempRoot root;
    root.exec(stored == "-" ? "delete from secureConf;"
                            : "update secureConf set f_language='" + stored + "';");
    EXPECT_EQ(embedded(runCgi(root, CgiRequest{})), kSeededBody) << stored;
    EXPECT_EQ(readFile(root.path("usr/app/yal/www/lib/language.js")), written) << stored;
    EXPECT_FALSE(korvantest::fileExists(root.cgiDir() + "/pwned"));
    // The edit command, when it runs, is recorded under the site language's id.
    const bool edited = written != file("= 'zz'");
    EXPECT_EQ(std::regex_search(root.traceLog(), std::regex("(^|\n)4276_Time:[^\n]*Msg:::sed -i")),
              edited)
        << stored;
  }
}

TEST(PageShell, MissingTable) {
  TempRoot root;
  root.exec("drop table secureConf;");
  const std::string language = readFile(root.path("usr/app/yal/www/lib/language.js"));
  EXPECT_EQ(embedded(runCgi(root, CgiRequest{})), kSeededBody);
  EXPECT_EQ(readFile(root.path("usr/app/yal/www/lib/language.js")), language);
  // An AJAX call gets the error envelope instead of the page.
  Json::Value doc = korvantest::ajax(root, Json::Value(Json::objectValue));
  EXPECT_EQ(doc["ret"], "err");
  EXPECT_NE(doc["retMsg"].asString().find("no such table: secureConf"), std::string::npos);
}

// A body that is short ends the request without output; one larger than the
// program takes is refused unread with the error reply.
TEST(Request, BodyShortOrTooLarge) {
  const std::string refused = "Status: 413 Payload Too Large\r\n" + kHeader +
                              "{\"ret\":\"err\",\"retMsg\":\"request too large\"}\n \n";
  const struct {
    std::string contentType, contentLength;
    int status;
    std::string out;
  } cases[] = {
      {"application/x-www-form-urlencoded", "100", 255, ""},
      {"application/x-www-form-urlencoded", "1048576", 255, ""},
      {"application/x-www-form-urlencoded; charset=utf-8", "1048577", 0, refused},
      {"application/json", "99999999999999999999999", 0, refused},
  };
  for (const auto& c : cases) {
    TempRoot root;
    auto result =
        runCgi(root, {"POST", "", c.contentType, "postKey=abc", c.contentLength, "127.0.0.1", {}});
    EXPECT_EQ(result.exitStatus, c.status) << c.contentLength;
    EXPECT_EQ(result.out, c.out) << c.contentLength;
    EXPECT_EQ(root.traceLog().find("before cgiMain"), std::string::npos) << root.traceLog();
  }
}

}  // namespace
