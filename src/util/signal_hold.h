// Signals that would end the process while the daemon may be acting on a
// packet whose outcome is not yet stored.
//
// A web server ends a CGI program whose client went away with SIGTERM. Between
// the commit of a record (or journal entry) and the commit of its outcome the
// process must not die of it: the daemon would act with the record saying
// less than happened. SignalHold turns SIGTERM, SIGHUP and SIGINT into a flag
// for its lifetime; the request then finishes normally and the process ends
// as it always does once the reply is written (no signal ends it after the
// hold: the web server sends one).
#pragma once

#include <csignal>

namespace korvan {

// Ignores SIGPIPE for the whole process: a reply written to a client that has
// gone fails with EPIPE instead of ending the program half way.
void ignoreBrokenPipe();

// Puts back the default disposition of every signal this file changes
// (SIGPIPE, SIGTERM, SIGHUP, SIGINT), for a process about to start another
// program: an ignored signal stays ignored across exec.
void restoreDefaultSignals();

// Whether a held signal came since the process started: work that may stop
// early (the delivery after the reply) stops then, and stores what it did.
bool heldSignalCame();

// While alive, SIGTERM, SIGHUP and SIGINT only set a flag. The destructor puts
// back the dispositions found at construction. Holds do not nest: an inner
// hold changes nothing and restores nothing.
class SignalHold {
 public:
  SignalHold();
  ~SignalHold();
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

 private:
  bool outer_ = false;
  struct sigaction saved_[3];
};

}  // namespace korvan
