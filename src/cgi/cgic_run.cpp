// Binds the CGI start-up to the program's request entry. Kept apart from
// cgic.cpp so that code linking only the CGI layer needs no cgiMain.
#include "cgi/cgic.h"
#include "util/signal_hold.h"

int cgicRun() {
  // A client that has gone must not end the program while it writes the
  // reply: the write fails instead, and the request's records are stored.
  korvan::ignoreBrokenPipe();
  return cgicRunWith(cgiMain);
}
