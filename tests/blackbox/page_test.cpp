// The request entry and page shell, the program run as the web server runs it.
#include "testroot.h"

using korvantest::CgiRequest;
using korvantest::readFile;
using korvantest::runCgi;
using korvantest::TempRoot;

namespace {

const std::string kHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";
const std::string kSeededBody = "<div id='app'>\n \n</div>\n \n";

// The body fragment as the shell of a whole page embeds it.
std::string embedded(const korvantest::CgiResult& page) {
  const std::string open = "<BODY>\n \n", close = "</BODY></HTML>\n \n", &out = page.out;
  const size_t begin = out.find(open);
  if (page.exitStatus != 0 || out.rfind(kHeader + " <!DOCTYPE", 0) != 0 ||
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

TEST(Request, ShortBodyEndsWithoutOutput) {
  TempRoot root;
  auto result = runCgi(
      root,
      {"POST", "", "application/x-www-form-urlencoded", "postKey=abc", "100", "127.0.0.1", {}});
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(root.traceLog().find("before cgiMain"), std::string::npos) << root.traceLog();
}

}  // namespace
