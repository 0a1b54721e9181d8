#include "util/signal_hold.h"

#include "util/trace.h"
#include "util/trace_ids.h"

namespace korvan {

namespace {

constexpr int kHeld[3] = {SIGTERM, SIGHUP, SIGINT};

// Set by a held signal; the request goes on either way, and the process
// ends when it has answered. The trace notes that it came.
volatile sig_atomic_t caught = 0;
bool holding = false;

extern "C" void noteSignal(int) { caught = 1; }

void setDisposition(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // Restarted calls keep reads and writes going; the daemon link's waits
  // retry after EINTR with the time that is left.
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
}

}  // namespace

bool heldSignalCame() { return caught != 0; }

void ignoreBrokenPipe() { setDisposition(SIGPIPE, SIG_IGN); }

void restoreDefaultSignals() {
  setDisposition(SIGPIPE, SIG_DFL);
  for (int signal : kHeld) setDisposition(signal, SIG_DFL);
}

SignalHold::SignalHold() : saved_{} {
  if (holding) return;
  holding = true;
  outer_ = true;
  struct sigaction action {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kHeld) sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(kHeld[i], &action, &saved_[i]);
}

SignalHold::~SignalHold() {
  if (!outer_) return;
  for (int i = 0; i < 3; ++i) sigaction(kHeld[i], &saved_[i], nullptr);
  holding = false;
  if (caught != 0)
    setLog(trace::kSignalHeld, "termination signal held until the outcome was stored");
}

}  // namespace korvan
