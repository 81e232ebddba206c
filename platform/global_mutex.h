// The one lock that every process of the program (and of its helpers) takes
// around appending a line to a log file: an exclusive advisory lock on the
// file /tmp/Vellumite_Global_Mutex. The system drops it when its holder dies.
#pragma once

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Opens (creating it when missing, mode 0666, never through a link) the
// lock file and waits without time-out until this process holds its lock.
// Any failure ends silently: the caller then goes on without the lock.
// Not nested: call ReleaseGlobalMutex before acquiring again.
void AcquireGlobalMutex();

// Releases the lock and closes the lock file; does nothing when not held.
void ReleaseGlobalMutex();

// The lock file's path.
const char* GlobalMutexPath();

}  // namespace tessa
