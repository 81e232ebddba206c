#include "pdfcontrol/temp_work_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace quirepane {

std::string GetTempFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string folder = (env && *env) ? env : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

TempWorkFile::TempWorkFile(const std::string& extension) {
  std::string pattern = GetTempFolder() + "/PCRXXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) {
    throw std::runtime_error("Cannot create a temporary file in " + GetTempFolder() + ": " + std::strerror(errno));
  }
  close(fd);
  placeholder_ = buffer.data();
  working_ = placeholder_ + extension;
}

TempWorkFile::~TempWorkFile() { Remove(); }

void TempWorkFile::Remove() {
  if (!working_.empty()) std::remove(working_.c_str());
  if (!placeholder_.empty()) std::remove(placeholder_.c_str());
}

}  // namespace quirepane
