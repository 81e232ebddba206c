#include "pdfcontrol/temp_work_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/text_file.h"

namespace quirepane {

std::string GetTempFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string folder = (env && *env) ? env : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

TempWorkFile::TempWorkFile(const std::string& extension) {
  std::string pattern = GetTempFolder() + "/PCRXXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error(tessa::SystemError(GetTempFolder(), "Cannot create a temporary file in"));
  close(fd);
  placeholder_ = pattern;
  working_ = placeholder_ + extension;
}

TempWorkFile::~TempWorkFile() { Remove(); }

void TempWorkFile::Remove() {
  if (!working_.empty()) std::remove(working_.c_str());
  if (!placeholder_.empty()) std::remove(placeholder_.c_str());
}

}  // namespace quirepane
