#include "common/log_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include "common/text_helpers.h"
#include "platform/global_mutex.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {
constexpr const char* kProgramTitle = "Tessaprint";

void AppendLine(const std::string& path, const std::string& line) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return;
  WriteAllBytes(fd, line + "\r\n");
  ::close(fd);
}
}  // namespace

void WriteToLogFile(const std::string& sLine, const std::string& sLogFile, bool bShowMsg) {
  AcquireGlobalMutex();
  if (!sLogFile.empty()) AppendLine(ToForwardSlashes(sLogFile), sLine);
  ReleaseGlobalMutex();
  // The box is shown after the release: a box waiting for a click must not
  // stop the other processes' logging.
  if (bShowMsg) CurrentUserInterface().MsgBox(sLine, vbInformation | vbOKOnly, kProgramTitle);
}

}  // namespace tessa
