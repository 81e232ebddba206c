// The run loop: runs the to-do rows from the first one without a pass mark,
// pauses between files and tasks, resumes an interrupted multi-file task at
// its own next file, and rewinds. Its commands are members of MainForm; this
// header holds the few values they share with their callers.
#pragma once

#include <cstdint>

namespace tessa {

// Run code of a reload row whose job file brought no tasks.
inline constexpr int32_t kReloadFailed = -1;

}  // namespace tessa
