#include "common/log_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/text_helpers.h"
#include "platform/global_mutex.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {
constexpr const char* kProgramTitle = "Tessaprint";

// Appends line and CR LF to the file at path; false with the system's reason
// in why. A line that did not go out whole is taken back: the file keeps its
// old length, and a file made for it goes again.
bool AppendLine(const std::string& path, const std::string& line, std::string& why) {
  bool bMade = false;
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    bMade = fd >= 0;
    if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
  }
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  struct stat st {};
  const bool bSized = ::fstat(fd, &st) == 0;
  bool written = WriteAllBytes(fd, line + "\r\n");
  int err = written ? 0 : errno;
  if (!written && !bMade && bSized) (void)::ftruncate(fd, st.st_size);
  if (::close(fd) != 0 && written) {
    written = false;
    err = errno;
  }
  if (written) return true;
  why = std::strerror(err);
  if (bMade) ::unlink(path.c_str());
  return false;
}

// Length of the UTF-8 sequence at text[i], 0 when none starts there.
size_t Utf8Length(const std::string& text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  return IsValidUtf8(std::string_view(text).substr(i, n)) ? n : 0;
}

// text with unprintable bytes escaped; TAB, CR and LF stay when bKeepBreaks.
std::string Escaped(const std::string& text, bool bKeepBreaks) {
  std::string safe;
  safe.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t n = c >= 0x80 ? Utf8Length(text, i) : 1;
    const bool printable =
        c >= 0x80 ? n > 0 : (c >= 0x20 && c != 0x7F) || (bKeepBreaks && (c == '\t' || c == '\r' || c == '\n'));
    if (printable) {
      safe.append(text, i, n);
      i += n;
      continue;
    }
    static const char kHex[] = "0123456789ABCDEF";
    safe += "\\x";
    safe += kHex[c >> 4];
    safe += kHex[c & 15];
    ++i;
  }
  return safe;
}
}  // namespace

std::string LogSafeText(const std::string& text) { return Escaped(text, true); }

std::string LogSafeLine(const std::string& text) { return Escaped(text, false); }

bool WriteToLogFile(const std::string& sLine, const std::string& sLogFile, bool bShowMsg, std::string* psWhy) {
  const std::string line = LogSafeText(sLine);
  bool written = true;
  std::string why;
  AcquireGlobalMutex();
  if (!sLogFile.empty()) written = AppendLine(ToForwardSlashes(sLogFile), line, why);
  if (psWhy) *psWhy = why;
  ReleaseGlobalMutex();
  // The box is shown after the release: a box waiting for a click must not
  // stop the other processes' logging.
  if (bShowMsg) CurrentUserInterface().MsgBox(line, vbInformation | vbOKOnly, kProgramTitle);
  return written;
}

}  // namespace tessa
