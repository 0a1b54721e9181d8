// The request entry (cgiMain) and the page shell that loads the browser UI.
#include "cgi/page.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "cgi/ajax.h"
#include "cgi/cgic.h"
#include "cgi/filetransfer.h"
#include "cgi/reply.h"
#include "ops/language.h"
#include "store/db.h"
#include "util/files.h"
#include "util/paths.h"
#include "util/trace.h"
#include "util/trace_ids.h"

namespace {

// Head lines: each text already carries the bytes that precede its line feed.
const char* const kHeadLines[] = {
    "<meta http-equiv='Content-Type' content='text/html; charset=utf-8' />\n",
    "<meta name='viewport' content='width=device-width, initial-scale=1' />\n",
    "<link href='../lib/ligerUILib/ligerUI/skins/Aqua/css/ligerui-all.css' rel='stylesheet' "
    "type='text/css' />\t\n",
    "<link href='../lib/dark/jquery-ui.css' rel='stylesheet' />\t\t\n",
    "<script src='../md5.js' type='text/javascript'></script>\n",
    "<script src='../lib/jquery-1.11.1.js' type='text/javascript'></script>\n",
    "<script src='../lib/jquery-ui.js' type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/core/base.js' type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/core/inject.js' type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerLayout.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerGrid.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerResizable.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerDialog.js' "
    "type='text/javascript'></script>\t  \n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerCheckBox.js' "
    "type='text/javascript'></script>  \n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerButton.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerListBox.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerTab.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerDateEditor.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/ligerUILib/ligerUI/js/plugins/ligerDrag.js' "
    "type='text/javascript'></script>\n",
    "<script src='../lib/language.js' type='text/javascript'></script>\n",
    "<link href='../my.css' rel='stylesheet' type='text/css' />\t \n",
    "<script src='../HtmlJS.js' type='text/javascript'></script>\n",
};

constexpr size_t kBodyLineBuffer = 102400;

// The page holds the session's controls: no other site may frame it (against
// click-jacking), the browser must not guess its type, and its address (which
// may carry form fields) is not passed on to the sites it links.
constexpr char kPageSecurityHeaders[] =
    "X-Frame-Options: DENY\r\n"
    "Content-Security-Policy: frame-ancestors 'none'\r\n"
    "X-Content-Type-Options: nosniff\r\n"
    "Referrer-Policy: no-referrer\r\n";

// Every line of the page is followed by a line holding a single blank.
void writeLine(const char* text) { fprintf(cgiOut, "%s \n", text); }

// Reads the stored UI language. An empty secureConf gives the empty language.
std::string readSiteLanguage() {
  const Json::Value row = CDB::sel(false, "select f_language from secureConf;", {"language"});
  return row["language"].asString();
}

}  // namespace

int cgiMain() {
  std::string siteLanguage;
  std::optional<CMyErr> databaseError;
  try {
    CDB::cnn();
    siteLanguage = readSiteLanguage();
  } catch (const CMyErr& e) {
    databaseError = e;
  }
  setLog(trace::kSiteLanguage, siteLanguage.c_str());
  setLog(trace::kCgiMainEnter, "cgiMain enter....\n");

  if (isOperaFile()) return operaFile();
  if (CAjax::isAjax()) {
    setLog(trace::kIsAjax, "isAjax");
    if (databaseError) {
      // The database failed before the dispatcher could run: answer the call
      // with the error envelope rather than leave the browser without a reply.
      cgiHeaderContentType("text/html;charset=utf-8");
      Json::Value reply;
      setErrorReply(reply, *databaseError);
      writeJsonReply(reply);
      return 0;
    }
    return CAjax::main2(siteLanguage);
  }
  setHtml(siteLanguage, !databaseError);
  return 0;
}

void setHtml(std::string siteLanguage, bool editLanguage) {
  setLog(trace::kPageShell, "setHtml enter...");
  fputs(kPageSecurityHeaders, cgiOut);
  cgiHeaderContentType("text/html;charset=utf-8");
  writeLine(
      " <!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
      "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\t\n");
  writeLine(" <html xmlns=\"http://www.w3.org/1999/xhtml\"> \n");
  writeLine("<HEAD>\n");
  setHtmlLink(siteLanguage, editLanguage);
  writeLine("</HEAD>\n");
  writeLine("<BODY>\n");
  setHtmlBody();
  writeLine("</BODY></HTML>\n");
}

void setHtmlLink(std::string siteLanguage, bool editLanguage) {
  setLog(trace::kPageShellHead, "setHtmlLink enter...");
  // The language goes into a shell command line: only plain codes are let
  // through, anything else leaves the script as it is.
  if (editLanguage && isSafeLanguageCode(siteLanguage)) {
    std::string command =
        "sed -i \"/var siteLang = */c\\var siteLang ='" + siteLanguage + "';\" ../lib/language.js";
    setLog(trace::kLanguageCommand, command.c_str());
    fflush(cgiOut);  // the shell's output must not overtake ours
    int status = system(command.c_str());
    (void)status;  // a failed edit leaves the earlier language; the page goes on
  }
  for (const char* line : kHeadLines) writeLine(line);
}

void setHtmlBody() {
  korvan::FilePtr file(fopen(korvan::resolvePath(korvan::kHtmlBodyPath).c_str(), "r"));
  if (!file) {
    setLog(trace::kPageBodyMissing, "open HtmlBody.html failed.\n");
    return;
  }
  std::vector<char> buffer(kBodyLineBuffer);
  while (fgets(buffer.data(), static_cast<int>(buffer.size()), file.get()) != nullptr) {
    writeLine(buffer.data());
  }
}
