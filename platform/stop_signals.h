// Ending a run cleanly on SIGINT, SIGTERM and SIGHUP: the handlers only note
// the signal; the run loops ask for it between files and stop as a pause
// does, so the file being converted completes or is undone and every
// temporary file goes by the ordinary road.
#pragma once

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Installs the handlers (without restarting interrupted calls, so a wait for
// a lock ends too). Safe to call more than once.
void InstallStopSignalHandlers();

// The first stop signal received since the handlers were installed; 0 when
// none.
int StopSignalReceived();

// Notes sig as received, as the handler does (for tests and callers that
// stop a run on their own).
void NoteStopSignal(int sig);

}  // namespace tessa
