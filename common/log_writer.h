// Appending lines to log files that several processes share: each line goes
// out whole, under the program-wide lock, so lines never interleave.
#pragma once

#include <string>

namespace tessa {

// Appends sLine and CR LF to sLogFile (created when missing, its folder
// never; nothing is written when sLogFile is "") in one write while holding
// the global lock; then, with the lock already released, shows sLine in an
// information box when bShowMsg is true. Unprintable bytes of sLine are
// written escaped (LogSafeText). False when sLogFile is set and the line
// could not be written to it, with the system's reason in *psWhy when given;
// a line that did not go out whole is taken back, so a failed write leaves
// the file as it was and makes no empty one.
bool WriteToLogFile(const std::string& sLine, const std::string& sLogFile, bool bShowMsg,
                    std::string* psWhy = nullptr);

// text with every byte that is no printable text shown as "\xNN": control
// characters other than TAB, CR and LF, DEL, and bytes that are not UTF-8.
std::string LogSafeText(const std::string& text);

// text kept on one log line and in one TAB-separated cell: as LogSafeText,
// and CR, LF and TAB shown as "\xNN" too. For the cells of log rows and for
// paths put into multi-line log texts.
std::string LogSafeLine(const std::string& text);

}  // namespace tessa
