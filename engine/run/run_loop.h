// The run loop: runs the to-do rows from the first one without a pass mark,
// pauses between files and tasks, resumes an interrupted multi-file task at
// its own next file, and rewinds. Its commands are members of MainForm; this
// header holds the few values they share with their callers.
#pragma once

#include "engine/result_codes.h"  // kReloadFailed
