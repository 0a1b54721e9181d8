// Binds the CGI start-up to the program's request entry. Kept apart from
// cgic.cpp so that code linking only the CGI layer needs no cgiMain.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "cgi/cgic.h"
#include "ops/forward.h"
#include "util/signal_hold.h"

namespace {

// Ends the reply for the web server: standard output goes to /dev/null, so
// the browser has its answer before anything slow happens.
void closeReply() {
  fflush(stdout);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    close(null);
  } else {
    close(STDOUT_FILENO);
  }
}

}  // namespace

int cgicRun() {
  // A client that has gone must not end the program while it writes the
  // reply: the write fails instead, and the request's records are stored.
  korvan::ignoreBrokenPipe();
  const int status = cgicRunWith(cgiMain);
  closeReply();
  // The web server ends the program soon after its output closed: the
  // delivery then stops sending and stores how far the collectors got.
  korvan::SignalHold hold;
  logfwd::deliverBacklog();
  return status;
}
