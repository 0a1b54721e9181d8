// The request entry and the HTML page shell.
#pragma once

#include <string>

// cgiMain() is declared in cgi/cgic.h.

// Writes the whole page shell: header, head lines, body fragment. Without
// `editLanguage` (the language could not be read) the script is left alone.
void setHtml(std::string siteLanguage, bool editLanguage = true);
// Edits the language script to the stored language (when it is a safe code
// and `editLanguage` is set) and writes the head lines.
void setHtmlLink(std::string siteLanguage, bool editLanguage = true);
// Copies the body fragment file into the response, line by line.
void setHtmlBody();
