#include "pdfcontrol/temp_work_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "platform/text_file.h"

namespace quirepane {

std::string GetTempFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string folder = (env && *env) ? env : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

namespace {

constexpr const char* kPrefix = "PCR";
constexpr size_t kPlaceholderLength = 9;  // "PCR" and the six characters mkstemp chose

// Removes the placeholders nobody claims, with their working images, and
// working images whose placeholder is gone.
void RemoveAbandonedWorkFiles(const std::string& folder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() < kPlaceholderLength || name.rfind(kPrefix, 0) != 0) continue;
    const std::string placeholder = folder + "/" + name.substr(0, kPlaceholderLength);
    if (name.size() == kPlaceholderLength) {
      if (!tessa::RemoveIfAbandoned(placeholder)) continue;
      for (const char* extension : {".bmp", ".jpg"}) std::remove((placeholder + extension).c_str());
    } else if ((name.size() == kPlaceholderLength + 4) &&
               (name.compare(kPlaceholderLength, 4, ".bmp") == 0 || name.compare(kPlaceholderLength, 4, ".jpg") == 0) &&
               !std::filesystem::exists(placeholder, ec)) {
      std::remove(it->path().c_str());
    }
  }
}

}  // namespace

void RemoveAbandonedWorkFilesOnce() {
  static std::once_flag swept;
  std::call_once(swept, [] { RemoveAbandonedWorkFiles(GetTempFolder()); });
}

TempWorkFile::TempWorkFile(const std::string& extension) {
  RemoveAbandonedWorkFilesOnce();
  std::string pattern = GetTempFolder() + "/PCRXXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error(tessa::SystemError(GetTempFolder(), "Cannot create a temporary file in"));
  claim_ = tessa::TempFileClaim::Adopt(fd);
  placeholder_ = pattern;
  working_ = placeholder_ + extension;
}

TempWorkFile::~TempWorkFile() { Remove(); }

void TempWorkFile::Remove() {
  if (!working_.empty()) std::remove(working_.c_str());
  if (!placeholder_.empty()) std::remove(placeholder_.c_str());
}

}  // namespace quirepane
