// Binds the CGI start-up to the program's request entry. Kept apart from
// cgic.cpp so that code linking only the CGI layer needs no cgiMain.
#include "cgi/cgic.h"

int cgicRun() { return cgicRunWith(cgiMain); }
