// Ending signals that remove the unfinished outputs first.
#include "end_signals.h"

#include <pthread.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

namespace {

void (*g_discard)(void) = nullptr;

void end_on_signal(int sig) {
  if (g_discard != nullptr) g_discard();
  // The handler was reset on entry; once the signal is let through, the
  // default action ends the process, unless it is process 1.
  sigset_t own;
  sigemptyset(&own);
  sigaddset(&own, sig);
  pthread_sigmask(SIG_UNBLOCK, &own, nullptr);
  raise(sig);
  _exit(128 + sig);
}

}  // namespace

void end_on_signals(void (*discard)(void)) {
  // SIGPIPE too: a reader of the messages that went away (2>&1 | head) ends
  // the run as well.
  static const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
  g_discard = discard;
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = end_on_signal;
  sigemptyset(&action.sa_mask);
  // One ending signal at a time: a second one waits for the first's
  // clean-up.
  for (int sig : kSignals) sigaddset(&action.sa_mask, sig);
  action.sa_flags = SA_RESETHAND | SA_NODEFER;
  for (int sig : kSignals) {
    struct sigaction before;
    if (sigaction(sig, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(sig, &action, nullptr);
  }
}
