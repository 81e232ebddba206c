#include "platform/stop_signals.h"

#include <signal.h>

#include <csignal>
#include <initializer_list>

namespace tessa {

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int sig) {
  if (g_stopSignal == 0) g_stopSignal = sig;
}

}  // namespace

void InstallStopSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

int StopSignalReceived() { return g_stopSignal; }

void NoteStopSignal(int sig) { OnStopSignal(sig); }

}  // namespace tessa
