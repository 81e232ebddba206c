// Appending lines to log files that several processes share: each line goes
// out whole, under the program-wide lock, so lines never interleave.
#pragma once

#include <string>

namespace tessa {

// Appends sLine and CR LF to sLogFile (created when missing, its folder
// never; nothing is written when sLogFile is "") in one write while holding
// the global lock; then, with the lock already released, shows sLine in an
// information box when bShowMsg is true. A line that cannot be written is
// lost without a message.
void WriteToLogFile(const std::string& sLine, const std::string& sLogFile, bool bShowMsg);

}  // namespace tessa
