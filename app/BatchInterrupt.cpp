#include "app/BatchInterrupt.h"

#include <csignal>

namespace orvex {

static volatile std::sig_atomic_t g_Interrupted = 0;

extern "C" void OnInterrupt(int signal) {
  if (g_Interrupted) {
    // the second Ctrl+C: the user does not want to wait for a safe point
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  g_Interrupted = 1;
}

void InstallInterruptHandler() {
  g_Interrupted = 0;
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() {
  return g_Interrupted != 0;
}

} // namespace orvex
